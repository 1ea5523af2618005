#include "songs/ui/BrowseCategories.h"

#include "songs/ui/BrowseLookup.h"
#include "songs/ui/UpdateCategories.h"

namespace td {

namespace {

LookupListDesign categoriesDesign()
{
    LookupListDesign d;
    d.table = TableId::Categories;
    d.procedure = QStringLiteral("BrowseCategories");
    d.caption = QStringLiteral("Categories");
    d.key = QStringLiteral("CAT:KeyCategory");
    d.field = QStringLiteral("Category");
    d.format = QStringLiteral("80L(2)|M~Category~L(2)@s30@");
    d.addText = QStringLiteral("&Insert");
    d.closeText = QStringLiteral("Cl&ose");
    d.selectFirst = true;
    d.minimumDialogUnits = QSize(50, 50);
    return d;
}

class CategoriesList : public LookupBrowse {
public:
    CategoriesList(AppState& state, bool selectMode)
        : LookupBrowse(state, categoriesDesign(), selectMode)
    {
    }

protected:
    Response runForm(Request request, const Row& record, qint64* position) override
    {
        Categories c = recordFromRow<Categories>(record);
        return UpdateCategories(state(), request, c, this, position);
    }
};

} // namespace

bool BrowseCategories(AppState& state, Request request, QWidget* parent, Categories* chosen)
{
    auto* list = new CategoriesList(state, request == Request::Select);
    Row row;
    if (!selectFromLookup(list, parent, &row, chosen ? chosen->Category : QString()))
        return false;
    if (request != Request::Select)
        return false;
    if (chosen)
        fromRow(row, *chosen);
    return true;
}

QWidget* createBrowseCategories(AppState& state)
{
    auto* list = new CategoriesList(state, false);
    QObject::connect(list, &LookupBrowse::closeRequested, list, [list] { closeLookupWindow(list); });
    if (!list->open()) {
        delete list;
        return nullptr;
    }
    return list;
}

} // namespace td

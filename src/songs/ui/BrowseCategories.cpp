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
    void runForm(Request request, const Row& record, NameFormAnswer answered) override
    {
        UpdateCategories(state(), request, recordFromRow<Categories>(record), this, std::move(answered));
    }
};

} // namespace

void BrowseCategories(AppState& state, QWidget* caller, const QString& start, CategoryAnswer answered)
{
    selectFromLookup(new CategoriesList(state, true), caller, start, [answered](const Row& row) {
        if (row.isEmpty()) {
            answered(nullptr);
            return;
        }
        Categories chosen;
        fromRow(row, chosen);
        answered(&chosen);
    });
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

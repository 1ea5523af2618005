#include "songs/ui/UpdateCategories.h"

#include "common/AppState.h"
#include "songs/CategoryForm.h"

namespace td {

void UpdateCategories(
    AppState& state, Request request, const Categories& buffer, QWidget* caller, NameFormAnswer answered)
{
    const TableDef& t = tableDef(TableId::Categories);
    NameFormDesign design { QStringLiteral("UpdateCategories"),
        request == Request::Insert ? QStringLiteral("Add Category") : QStringLiteral("Change Category"),
        QStringLiteral("&Category:"), t.field(t.fieldIndex(QStringLiteral("Category"))).width };
    openNameForm(caller, std::make_unique<CategoryForm>(state.db, request, buffer), std::move(design),
        std::move(answered));
}

} // namespace td

#include "songs/ui/UpdateCategories.h"

#include "common/AppState.h"
#include "common/ui/WidgetPosition.h"
#include "songs/CategoryForm.h"
#include "songs/ui/BrowseLookup.h"

namespace td {

Response UpdateCategories(
    AppState& state, Request request, Categories& buffer, QWidget* parent, qint64* position)
{
    CategoryForm form(state.db, request, buffer);
    if (!form.open()) {
        form.close();
        return form.response();
    }
    const TableDef& t = tableDef(TableId::Categories);
    NameFormDialog::Design design { QStringLiteral("UpdateCategories"),
        request == Request::Insert ? QStringLiteral("Add Category") : QStringLiteral("Change Category"),
        QStringLiteral("&Category:"), t.field(t.fieldIndex(QStringLiteral("Category"))).width };
    NameFormDialog dialog(
        design,
        [&form](const QString& text) {
            form.record().Category = text;
            return form.save();
        },
        [&form] { return form.record().Category; }, parent);
    restorePosition(&dialog, design.procedure);
    if (dialog.exec() != QDialog::Accepted)
        form.cancel();
    savePosition(&dialog, design.procedure);
    form.close();
    if (form.response() == Response::Completed) {
        buffer = form.record();
        if (position)
            *position = form.position();
    }
    return form.response();
}

} // namespace td

#include "songs/ui/UpdateMedia.h"

#include "common/AppState.h"
#include "common/ui/WidgetPosition.h"
#include "songs/MediaForm.h"
#include "songs/ui/BrowseLookup.h"

namespace td {

Response UpdateMedia(AppState& state, Request request, Media& buffer, QWidget* parent, qint64* position)
{
    MediaForm form(state.db, request, buffer);
    if (!form.open()) {
        form.close();
        return form.response();
    }
    const TableDef& t = tableDef(TableId::Media);
    NameFormDialog::Design design { QStringLiteral("UpdateMedia"),
        request == Request::Insert ? QStringLiteral("Adding Media Format")
                                   : QStringLiteral("Changing Media Format"),
        QStringLiteral("&Media:"), t.field(t.fieldIndex(QStringLiteral("Media"))).width };
    NameFormDialog dialog(
        design,
        [&form](const QString& text) {
            form.record().Media = text;
            return form.save();
        },
        [&form] { return form.record().Media; }, parent);
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

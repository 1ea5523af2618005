#include "songs/ui/UpdateMedia.h"

#include "common/AppState.h"
#include "songs/MediaForm.h"

namespace td {

void UpdateMedia(
    AppState& state, Request request, const Media& buffer, QWidget* caller, NameFormAnswer answered)
{
    const TableDef& t = tableDef(TableId::Media);
    NameFormDesign design { QStringLiteral("UpdateMedia"),
        request == Request::Insert ? QStringLiteral("Adding Media Format")
                                   : QStringLiteral("Changing Media Format"),
        QStringLiteral("&Media:"), t.field(t.fieldIndex(QStringLiteral("Media"))).width };
    openNameForm(caller, std::make_unique<MediaForm>(state.db, request, buffer), std::move(design),
        std::move(answered));
}

} // namespace td

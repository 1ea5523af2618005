#include "songs/ui/BrowseMedia.h"

#include "songs/ui/BrowseLookup.h"
#include "songs/ui/UpdateMedia.h"

namespace td {

namespace {

LookupListDesign mediaDesign()
{
    LookupListDesign d;
    d.table = TableId::Media;
    d.procedure = QStringLiteral("BrowseMedia");
    d.caption = QStringLiteral("Browse Media Formats");
    d.key = QStringLiteral("MED:KeyMedia");
    d.field = QStringLiteral("Media");
    d.format = QStringLiteral("80L(2)|M~Media~L(2)@s20@");
    d.addText = QStringLiteral("&Add");
    d.closeText = QStringLiteral("E&xit");
    d.selectFirst = false;
    d.rememberColumns = true;
    d.columnKeys = ColumnFormatKeys { QStringLiteral("BrowseMedia"), QStringLiteral(":1") };
    return d;
}

class MediaList : public LookupBrowse {
public:
    MediaList(AppState& state, bool selectMode)
        : LookupBrowse(state, mediaDesign(), selectMode)
    {
    }

protected:
    Response runForm(Request request, const Row& record, qint64* position) override
    {
        Media m = recordFromRow<Media>(record);
        return UpdateMedia(state(), request, m, this, position);
    }
};

} // namespace

bool BrowseMedia(AppState& state, Request request, QWidget* parent, QString* chosen)
{
    auto* list = new MediaList(state, request == Request::Select);
    Row row;
    if (!selectFromLookup(list, parent, &row, chosen ? *chosen : QString()))
        return false;
    if (request != Request::Select)
        return false;
    if (chosen)
        *chosen = recordFromRow<Media>(row).Media;
    return true;
}

QWidget* createBrowseMedia(AppState& state)
{
    auto* list = new MediaList(state, false);
    QObject::connect(list, &LookupBrowse::closeRequested, list, [list] { closeLookupWindow(list); });
    if (!list->open()) {
        delete list;
        return nullptr;
    }
    return list;
}

} // namespace td

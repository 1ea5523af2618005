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
    void runForm(Request request, const Row& record, NameFormAnswer answered) override
    {
        UpdateMedia(state(), request, recordFromRow<Media>(record), this, std::move(answered));
    }
};

} // namespace

void BrowseMedia(AppState& state, QWidget* caller, const QString& start, MediaAnswer answered)
{
    selectFromLookup(new MediaList(state, true), caller, start, [answered](const Row& row) {
        answered(row.isEmpty() ? QString() : recordFromRow<Media>(row).Media);
    });
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

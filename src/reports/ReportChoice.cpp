#include "reports/ReportChoice.h"

#include <QHash>

namespace td {

QString songReportFor(const QString& keyOrField)
{
    static const QHash<QString, QString> reports {
        { QStringLiteral("MUS:SONGSBYARTIST"), QStringLiteral("PrintMUS:SongsByArtist") },
        { QStringLiteral("MUS:ARTIST"), QStringLiteral("PrintMUS:SongsByArtist") },
        { QStringLiteral("MUS:SONGSBYTITLE"), QStringLiteral("PrintMUS:SongsByTitle") },
        { QStringLiteral("MUS:TITLE"), QStringLiteral("PrintMUS:SongsByTitle") },
        { QStringLiteral("MUS:SONGSBYALBUM"), QStringLiteral("PrintMUS:SongsByAlbum") },
        { QStringLiteral("MUS:ALBUM"), QStringLiteral("PrintMUS:SongsByAlbum") },
        { QStringLiteral("MUS:SONGSBYMEDIA"), QStringLiteral("PrintMUS:SongsByMedia") },
        { QStringLiteral("MUS:MEDIA"), QStringLiteral("PrintMUS:SongsByMedia") },
        { QStringLiteral("MUS:SONGSBYCATEGORY"), QStringLiteral("PrintByCategory") },
        { QStringLiteral("MUS:CATEGORYID"), QStringLiteral("PrintByCategory") },
        { QStringLiteral("CAT:CATEGORY"), QStringLiteral("PrintByCategory") },
        { QStringLiteral("MUS:SONGSBYCHARTNUMBER"), QStringLiteral("PrintMUS:SongsByChart") },
        { QStringLiteral("MUS:CHARTNUMBER"), QStringLiteral("PrintMUS:SongsByChart") },
        { QStringLiteral("MUS:KEYBEATSPERMINUTE"), QStringLiteral("PrintMUS:SongsByBPM") },
        { QStringLiteral("MUS:BEATSPERMINUTE"), QStringLiteral("PrintMUS:SongsByBPM") },
        { QStringLiteral("MUS:SONGSBYUSERDEFINEDKEY"), QStringLiteral("PrintMUS:SongsByUDK") },
        { QStringLiteral("MUS:USERDEFINEDKEYFIELD"), QStringLiteral("PrintMUS:SongsByUDK") },
    };
    return reports.value(keyOrField.trimmed().toUpper(), QStringLiteral("PrintMUS:SongsByArtist"));
}

} // namespace td

#include "setup/StartupSteps.h"

#include "core/IniFile.h"
#include "data/Database.h"
#include "data/TableHandle.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace td::startup {

namespace {
const QString kGlobal = QStringLiteral("Global Settings");
} // namespace

QStringList defaultMediaNames()
{
    return {
        QStringLiteral("CD"),
        QStringLiteral("LP"),
        QStringLiteral("EP"),
        QStringLiteral("7\" Single"),
        QStringLiteral("CD Single"),
        QStringLiteral("Cassette (Dolby B)"),
        QStringLiteral("Cassette (Dolby C)"),
        QStringLiteral("Cassette (Dolby S)"),
        QStringLiteral("Cassette (DBX)"),
        QStringLiteral("Cassette (HX Pro)"),
        QStringLiteral("Cassette (Prerecorded)"),
        QStringLiteral("Other"),
    };
}

bool createMissingFiles(Database& db)
{
    for (TableId t : allTables()) {
        if (t == TableId::A_Songs || QFileInfo::exists(db.filePath(t)))
            continue;
        if (!db.useTable(t))
            return false;
        db.releaseTable(t);
    }
    return true;
}

bool fillDefaultMedia(Database& db)
{
    Table<Media> media(db);
    if (media.records() != 0)
        return false;
    TransactionGuard tx(db);
    if (!tx.ok())
        return false;
    for (const QString& name : defaultMediaNames()) {
        media.rec.Media = name;
        if (media.add() != 0)
            return false;   // rolled back: the next start tries again
    }
    return tx.commit() == 0;
}

QString frameLogo(const QString& settingsIni)
{
    return ini::readString(settingsIni, kGlobal, QStringLiteral("FrameLogo"));
}

QString mainLogo(const QString& settingsIni)
{
    return ini::readString(settingsIni, QStringLiteral("Settings"), QStringLiteral("MainLogo"));
}

QString recordVersion(const QString& settingsIni, const QString& version)
{
    const QString previous = ini::readString(settingsIni, kGlobal, QStringLiteral("Version"));
    ini::writeString(settingsIni, kGlobal, QStringLiteral("Version"), version);
    return previous;
}

double versionNumber(const QString& version)
{
    static const QRegularExpression number(QStringLiteral("^\\s*([0-9]+(\\.[0-9]+)?)"));
    const auto m = number.match(version);
    return m.hasMatch() ? m.captured(1).toDouble() : 0.0;
}

bool programMoved(const QString& winIni, const QString& currentDir)
{
    const QString last = ini::readString(winIni, QStringLiteral("Upgrades"), QStringLiteral("TDP"));
    const QString here = QDir::toNativeSeparators(QDir(currentDir).absolutePath());
    if (last == here)
        return false;
    ini::writeString(winIni, QStringLiteral("Upgrades"), QStringLiteral("TDP"), here);
    return true;
}

bool albumCopyWanted(Database& db, const QString& previousVersion)
{
    Table<Album> albums(db);
    if (albums.records() != 0)
        return false;
    Table<Tunedeck> songs(db);
    if (songs.records() == 0)
        return false;
    return versionNumber(previousVersion) < 10.5;
}

} // namespace td::startup

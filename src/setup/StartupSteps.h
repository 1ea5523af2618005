#pragma once
// The checks the main frame makes while it opens, apart from its windows so that they can be tested
// on their own.

#include <QString>
#include <QStringList>

namespace td {
class Database;
}

namespace td::startup {

// Creates, empty, every data file that is missing, so that a new catalogue is complete on disk from
// its first start (the files are opened and closed again; files that exist are not touched).
bool createMissingFiles(Database& db); // false: a file could not be made, the program ends

// The twelve media names an empty media table is filled with, in their order.
QStringList defaultMediaNames();
// Fills an empty media table; a table with even one name is left alone. True when it filled it.
bool fillDefaultMedia(Database& db);

// [Global Settings] "FrameLogo" and [Settings] "MainLogo" of TDPRO97.INI.
QString frameLogo(const QString& settingsIni);
QString mainLogo(const QString& settingsIni);

// Reads [Global Settings] "Version" (the version that ran last) and writes the current one there.
// Returns the previous version.
QString recordVersion(const QString& settingsIni, const QString& version);

// A version text read as a number: "1.8c" is 1.8, "10.5" is 10.5, empty or not a number 0.
double versionNumber(const QString& version);

// WIN.INI [Upgrades] "TDP" against the current directory: when they differ the current directory is
// written there and true returned (the program was moved, or runs for the first time).
bool programMoved(const QString& winIni, const QString& currentDir);

// Whether to offer building the album table from the songs: no albums, at least one song, and a
// previous version below 10.5.
bool albumCopyWanted(Database& db, const QString& previousVersion);

} // namespace td::startup

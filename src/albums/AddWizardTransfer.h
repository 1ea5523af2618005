#pragma once
// The OK of the add-album wizards: the album (when "Add Information to Album Database" is ticked)
// and one song per track row of the wizard's instance, each row removed once its song is stored.
//
// The whole transfer is one transaction; each song is a level of its own inside it, so a song that
// cannot be written is undone alone (its row stays for another try) and the next rows go on. The
// messages come after the commit, in the order their causes were met, so no question is ever asked
// while the files are locked.

#include "data/Records.h"

#include <QList>
#include <QString>

namespace td {

class Database;
struct Message;

struct WizardHeader {
    // The values the songs share: artist (not for a compilation), album title, release date, file
    // number, category, media and notes.
    Tunedeck song;
    QString cdIdentifier; // from the last read of the disc, else what the album buffer held
    bool compilation = false;
    bool addToAlbums = true; // "Add Information to Album Database"
    qint32 firstSongId = 0; // the song number taken when the wizard opened (0: none)
};

struct WizardTransferResult {
    qint32 albumId = 0; // the album the songs were linked to (0: none)
    bool albumAdded = false;
    int songsWritten = 0;
    int songsFailed = 0;
    bool committed = false; // false: nothing was written (the message has been shown)
};

inline constexpr const char* kVariousArtist = "Various";
inline constexpr int kSongNumberTries = 10000;

// Minutes and seconds as the songs' first additional information holds them ("04:23"): the last
// five characters of the time as hours, minutes and seconds.
QString wizardTimeText(int time);

// The album title a copy takes when the title and artist are there already: " (Copy)" after the
// title, cut so that it fits the field.
QString copyTitle(const QString& title);

// The transfer. Shows its messages through the database's message service.
WizardTransferResult transferWizard(Database& db, qint64 instance, const WizardHeader& header);

} // namespace td

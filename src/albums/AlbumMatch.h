#pragma once
// The album lookups of the housekeeping runs: an album by its number, and the album of a title and
// artist (ALB:KeyAlbum), failing that the compilation of that title by "Various". Statements are
// prepared once; the last answer of each kind is kept, since songs of one album come together.
// forget() drops the kept answers (at the start of each slice, and after an album was added).

#include <QString>

namespace td {

class Database;

class AlbumMatch {
public:
    explicit AlbumMatch(Database& db);

    // 0 with the album's artist and title; 33 when there is no such album; else the read error.
    int byNumber(qint32 id, QString* artist, QString* title);
    // 0 with the number of the album of this title and artist, or of this title by "Various"; 33
    // when neither exists; else the read error.
    int byTitle(const QString& album, const QString& artist, qint32* id);
    void forget();

private:
    int lookup(const QString& album, const QString& artist, qint32* id);

    Database& db_;
    QString byNumberSql_;
    QString byTitleSql_;
    bool haveNumber_ = false;
    qint32 lastNumber_ = 0;
    int lastNumberResult_ = 0;
    QString lastArtist_;
    QString lastTitle_;
    bool haveTitle_ = false;
    QString lastAlbumKey_;
    QString lastArtistKey_;
    int lastTitleResult_ = 0;
    qint32 lastId_ = 0;
};

} // namespace td

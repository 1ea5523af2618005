#pragma once
// Builds the album table from the songs: every song without an album is linked to the album of its
// album title and artist (or the compilation of that title by "Various"), which is added when there
// is none. Runs in slices, each slice one transaction.

#include "common/BatchRun.h"
#include "data/Records.h"

#include <memory>

namespace td {

class Database;
template<class R> class Table;

class CopyToAlbum : public BatchRun {
public:
    explicit CopyToAlbum(Database& db);
    ~CopyToAlbum() override;

    bool start() override;
    bool step(int count) override;
    void finish() override;
    int percent() const override;
    QString taskText() const override { return QStringLiteral("Copying..."); }

    int albumsAdded() const { return added_; }
    int songsLinked() const { return linked_; }

private:
    bool linkSong();          // false when the run must stop (a message has been shown)
    bool findAlbum(const QString& album, const QString& artist, qint32* id);

    Database& db_;
    std::unique_ptr<Table<Tunedeck>> songs_;
    std::unique_ptr<Table<Album>> albums_;
    qint64 total_ = 0;
    qint64 done_ = 0;
    int added_ = 0;
    int linked_ = 0;
    bool ended_ = false;
};

} // namespace td

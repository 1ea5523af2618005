#pragma once
// The import run: one song added per line of the file, the assigned targets set from the line's
// fields. Each line starts from a blank song (a target whose field is missing from a shorter line
// stays blank rather than keeping the previous line's value).
//
// Per field: the text is read as ImportValueReader says; text targets take the text cut to their
// width, memos the text, number targets its value; MUS:CategoryID takes the text as a category
// name, found by CAT:KeyCategory or added once with the next number (a blank name means no
// category). The names found are kept for one slice only: a category deleted meanwhile by another
// copy of the program is added again, never pointed to. Media "D", "C" and "B" become
// "Cassette (DBX)", "Cassette (Dolby-C)" and "Cassette (Dolby-B)". A value that cannot be read is
// stored empty; the run ends with a message naming the first of them and their count.
//
// With `link` (the default) each song is numbered and linked as it is added, by the album link
// test's rules: the album of its album title and artist, failing that the compilation of that title
// by "Various", else none; the first free song number counting up from the highest number found
// at the start plus two. Without it songs arrive with MUS:ID and MUS:AlbumID 0 (the link test
// numbers them later).
//
// The run works in slices, each one transaction: about half a second or sliceSize() lines. A
// cancel takes effect after the current line, and that slice is committed; a song that cannot be
// added shows "Cannot ADD to Tunedeck!", keeps the songs before it and stops; a line the layer
// cannot read (too long, not text) stops the run the same way after its message. A kill loses at
// most the slice in progress, never part of a song.

#include "common/BatchRun.h"
#include "core/Messages.h"
#include "exchange/ImportSetup.h"

#include <QElapsedTimer>
#include <QHash>
#include <memory>

namespace td {

class Database;

struct ImportOptions {
    QList<ImportField> fields; // as built and edited in the window (pictures)
    ImportAssignment assignment; // targets to import fields
    bool stripHeader = false; // drop the first line
    bool link = true; // number the songs and link them to their albums
};

class ImportRun : public BatchRun {
public:
    // `reader` is the open file (the window's, kept open since the file was picked); the run
    // rewinds it and closes it in finish().
    ImportRun(Database& db, CsvReader& reader, ImportOptions options);
    ~ImportRun() override;

    bool start() override;
    bool step(int count) override;
    void finish() override;
    int percent() const override;
    int sliceSize() const override { return 20000; }
    static constexpr int kSliceMs = 500;
    // A run without a window to keep answering (the command line) may take longer slices: fewer
    // commits, so faster, and a kill loses at most that much work.
    void setSliceMs(int ms) { sliceMs_ = ms; }
    QString caption() const override { return importtext::kProgressCaption; }
    QString taskText() const override { return QString(); }

    qint64 songsAdded() const { return added_; }
    qint64 categoriesAdded() const { return categoriesAdded_; }
    // An error ended the run before the end of the file (its message has been shown).
    bool stopped() const { return stopped_; }
    // The run reached the end of the file.
    bool completed() const { return completed_; }

    // Values stored empty because they could not be read, and the message that names them (the
    // run shows it in finish(); empty caption when every value was read).
    qint64 unreadable() const { return unreadCount_; }
    Message unreadableSummary() const;
    static constexpr int kUnreadListed = 10;

    // The media name a code stands for ("C" -> "Cassette (Dolby-C)"); other texts unchanged.
    static QString expandMedia(const QString& media);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    Database& db_;
    CsvReader& reader_;
    ImportOptions options_;
    qint64 bytesRead_ = 0;
    qint64 added_ = 0;
    qint64 categoriesAdded_ = 0;
    struct Unread {
        qint64 line = 0;
        QString field;
        QString target;
        QString text;
    };
    QList<Unread> firstUnread_;
    qint64 unreadCount_ = 0;
    bool haveLine_ = false;
    bool stopped_ = false;
    bool completed_ = false;
    int sliceMs_ = kSliceMs;
};

} // namespace td

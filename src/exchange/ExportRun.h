#pragma once
// The export run: every song, in MUS:SongsByArtist order, one line each with the chosen fields in
// the chosen order, each value written by its picture (see CsvWriter::addField), CAT:Category the
// song's category name. An optional first line holds the field names. Songs are read a page at a
// time (never the whole table); the category names are looked up once each.
//
// Works in slices (about half a second or sliceSize() songs). Cancel stops after the current song.
// A line that cannot be written asks Retry/Abort; a read error of the category table shows the
// record retrieval message naming "Categories" and ends the run. The file is closed in finish().
// A write that fails for good (Abort, or the file cannot be closed with all its lines) is shown
// once and the partial file is removed: songsWritten() then counts none.

#include "common/BatchRun.h"

#include <QList>
#include <QString>
#include <memory>

namespace td {

class Database;

struct ExportField {
    QString name; // "MUS:Artist", ..., "CAT:Category"
    QString picture; // "@s40" ...
};

// The 23 entries of "All Fields" with their default pictures, in order; the export list starts
// as all of them.
const QList<ExportField>& allExportFields();

// The list texts and moves the window needs, kept here so the rules are tested without widgets.
namespace exportlist {
// "&Add ->": appends the entries of `marked` not yet in `list` (by name, case ignored).
void add(QList<ExportField>& list, const QList<ExportField>& marked);
// "Shift &Up" / "Shift &Down": the entry at `row` changes place with its neighbour; returns the
// entry's new row (unchanged at the first or last place).
int shiftUp(QList<ExportField>& list, int row);
int shiftDown(QList<ExportField>& list, int row);
} // namespace exportlist

namespace exporttext {
inline const QString kWindowTitle = QStringLiteral("Choose Fields for Export...");
inline const QString kNoFieldsCaption = QStringLiteral("No Fields Selected for Export!");
inline const QString kNoFieldsText = QStringLiteral("You must select one or more fields to export.");
inline const QString kProgressCaption = QStringLiteral("Exporting Records");
inline const QString kProgressTask = QStringLiteral("Exporting");
inline const QString kHeaderCheck = QStringLiteral("Include &header record with field names");
} // namespace exporttext

struct ExportOptions {
    QString fileName; // the file to create (the window asked for it)
    QList<ExportField> fields; // at least one
    bool header = false; // the names line first
};

class ExportRun : public BatchRun {
public:
    ExportRun(Database& db, ExportOptions options);
    ~ExportRun() override;

    // Creates the file (its messages on failure: false, nothing to do) and writes the header line.
    bool start() override;
    bool step(int count) override;
    void finish() override;
    int percent() const override;
    int sliceSize() const override { return 20000; }
    static constexpr int kSliceMs = 500;
    QString caption() const override { return exporttext::kProgressCaption; }
    QString taskText() const override { return exporttext::kProgressTask; }

    // The songs in the file: after finish(), the ones that reached it.
    qint64 songsWritten() const { return written_; }
    bool stopped() const { return stopped_; }
    bool completed() const { return completed_; }

private:
    void discardFile();

    struct Impl;
    std::unique_ptr<Impl> d;
    Database& db_;
    ExportOptions options_;
    bool writeFailed_ = false;
    qint64 total_ = 0;
    qint64 written_ = 0;
    bool stopped_ = false;
    bool completed_ = false;
};

} // namespace td

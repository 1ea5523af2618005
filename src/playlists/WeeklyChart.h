#pragma once
// The weekly chart: a playlist's line order is this week's ranking, and each line's position is
// written into its notes as last week's (" LW:" and the number) for the chart print to compare with.

#include "common/BatchRun.h"

#include <QString>
#include <memory>

namespace td {

class Database;
template<class R> class Table;
struct PlaylistDetails;

// The notes with the old mark taken out and the new one for `position` appended. The mark always
// survives: notes too long to take it are shortened instead.
QString chartNotes(const QString& notes, qint64 position);

// The text of the question asked before the run.
QString chartQuestion();

// Rewrites the marks of the lines of one playlist, in line order, a slice at a time.
class ChartRun : public BatchRun {
public:
    ChartRun(Database& db, qint32 playlistId);
    ~ChartRun() override;

    bool start() override;
    bool step(int count) override;
    void finish() override;
    int percent() const override;
    QString taskText() const override { return QStringLiteral("Updating Chart"); }

    int linesDone() const { return done_; }
    bool failed() const { return failed_; }

    // The percentage is measured against a nominal chart of this many lines.
    static constexpr int kNominalLines = 50;

private:
    Database& db_;
    qint32 playlistId_;
    std::unique_ptr<Table<PlaylistDetails>> lines_;
    int done_ = 0;
    bool failed_ = false;
};

} // namespace td

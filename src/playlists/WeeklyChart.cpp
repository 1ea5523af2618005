#include "playlists/WeeklyChart.h"

#include "data/Database.h"
#include "data/Records.h"
#include "data/StandardWarning.h"
#include "data/TableHandle.h"

namespace td {

namespace {
constexpr int kNotesWidth = 40;
const QString kMark = QStringLiteral("LW:");
} // namespace

QString chartNotes(const QString& notes, qint64 position)
{
    QString text = notes;
    const int at = text.indexOf(kMark);
    if (at >= 0) {
        // The old mark with its whole number (a chart may run past 99 lines).
        int end = at + kMark.size();
        while (end < text.size() && text.at(end).isDigit())
            ++end;
        text.remove(at, end - at);
    }
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    const QString mark = kMark + QString::number(position);
    if (text.isEmpty())
        return mark.left(kNotesWidth);
    // The notes give way to the mark: a mark cut off would read as a new entry on the chart.
    return text.left(kNotesWidth - mark.size() - 1) + QLatin1Char(' ') + mark;
}

QString chartQuestion()
{
    return QStringLiteral("This will copy the current chart standings into the notes field to be used as \"last "
                          "week's chart positions\".");
}

ChartRun::ChartRun(Database& db, qint32 playlistId)
    : db_(db)
    , playlistId_(playlistId)
{
}

ChartRun::~ChartRun() = default;

bool ChartRun::start()
{
    lines_ = std::make_unique<Table<PlaylistDetails>>(db_);
    lines_->stream(true);
    lines_->setFilter(QStringLiteral("PlaylistID = ?"), { playlistId_ });
    if (lines_->set(lines_->key(QStringLiteral("PLA:KeyPlaylistID"))) != 0) {
        db_.saveError(lines_->lastError());
        StandardWarning(db_, StdMsg::ViewOpenError, QStringLiteral("Process:View"));
        lines_.reset();
        return false;
    }
    return true;
}

bool ChartRun::step(int count)
{
    if (!lines_ || failed_)
        return false;
    TransactionGuard slice(db_);
    for (int i = 0; i < count; ++i) {
        const int rc = lines_->next();
        if (rc != 0) {
            if (rc != 33) {
                db_.saveError(lines_->lastError());
                StandardWarning(db_, StdMsg::ProcessError, QStringLiteral("Put"), QStringLiteral("Process:View"));
                failed_ = true;
            }
            slice.commit();
            return false;
        }
        lines_->rec.PlaylistNotes = chartNotes(lines_->rec.PlaylistNotes, lines_->rec.PlaylistSeq);
        if (lines_->put() != 0) {
            db_.saveError(lines_->lastError());
            slice.rollback();
            StandardWarning(db_, StdMsg::ProcessError, QStringLiteral("Put"), QStringLiteral("Process:View"));
            failed_ = true;
            return false;
        }
        ++done_;
    }
    return slice.commit() == 0;
}

void ChartRun::finish()
{
    if (lines_)
        lines_->stream(false);
    lines_.reset();
}

int ChartRun::percent() const { return qMin(100, done_ * 100 / kNominalLines); }

} // namespace td

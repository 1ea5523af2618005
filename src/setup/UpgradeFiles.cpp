#include "setup/UpgradeFiles.h"

#include "common/SliceTransaction.h"
#include "core/Messages.h"
#include "data/Database.h"
#include "data/StandardWarning.h"
#include "data/TableHandle.h"

namespace td {

UpgradeFiles::UpgradeFiles(Database& db)
    : db_(db)
{
}

UpgradeFiles::~UpgradeFiles() = default;

Tunedeck UpgradeFiles::songFrom(const OldTunedeck& old)
{
    Tunedeck s;
    s.Artist = old.Artist;
    s.Title = old.Title;
    s.Album = old.Album;
    s.Media = old.Media;
    s.FileNumber = old.FileNumber;
    s.ReleaseDate = old.ReleaseDate;
    s.Notes = old.Notes;
    return s;
}

bool UpgradeFiles::start()
{
    songs_ = std::make_unique<Table<Tunedeck>>(db_);
    legacy_ = std::make_unique<Table<OldTunedeck>>(db_);
    total_ = legacy_->records();
    if (total_ <= 0) {
        legacy_.reset();
        songs_.reset();
        return false;
    }
    legacy_->quickScan(true);
    legacy_->set(-1); // storage order
    return true;
}

bool UpgradeFiles::step(int count)
{
    if (ended_)
        return false;
    const SliceResult r = runSlice(
        db_, count, QStringLiteral("OldTunedeck"), QStringLiteral("Tunedeck"),
        [this] { return legacy_->next(); },
        [this] {
            ++done_;
            songs_->clear();
            songs_->rec = songFrom(legacy_->rec);
            if (songs_->add() != 0) {
                ++kept_; // stays in the legacy table for a later run
                return true;
            }
            if (legacy_->del() != 0) {
                // The song must not exist twice: the slice goes back, the message is shown, the run ends.
                db_.saveError();
                StandardWarning(db_, StdMsg::ProcessError, QStringLiteral("Process:ViewDelete"), QStringLiteral("OldTunedeck"));
                return false;
            }
            ++moved_;
            return true;
        });
    ended_ = r != SliceResult::More;
    return !ended_;
}

void UpgradeFiles::finish()
{
    if (legacy_)
        legacy_->quickScan(false);
    legacy_.reset();
    songs_.reset();
    if (kept_ > 0) {
        db_.messages().show(QStringLiteral("Upgrading Files"),
            QStringLiteral("%1 song(s) of the old song file could not be added to the song file.|"
                           "They remain in the old file and are tried again at the next upgrade.")
                .arg(kept_));
    }
}

int UpgradeFiles::percent() const
{
    if (total_ <= 0)
        return 100;
    return int(qMin<qint64>(100, done_ * 100 / total_));
}

} // namespace td

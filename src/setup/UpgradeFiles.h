#pragma once
// Moves the songs of the previous release's song table (tdpro) into the song table. Each legacy
// record is deleted once its song is added, in the same transaction, so an interrupted run goes on
// where it stopped and nothing is moved twice. A record whose song cannot be added stays in the
// legacy table.

#include "common/BatchRun.h"
#include "data/Records.h"

#include <memory>

namespace td {

class Database;
template<class R> class Table;

class UpgradeFiles : public BatchRun {
public:
    explicit UpgradeFiles(Database& db);
    ~UpgradeFiles() override;

    bool start() override;   // false when the legacy table is empty or missing: no window
    bool step(int count) override;
    void finish() override;
    int percent() const override;
    int sliceSize() const override { return 1000; }
    QString taskText() const override { return QStringLiteral("Upgrading Files"); }

    int moved() const { return moved_; }
    int kept() const { return kept_; }   // legacy records whose song could not be added

    // The song made from a legacy record.
    static Tunedeck songFrom(const OldTunedeck& old);

private:
    Database& db_;
    std::unique_ptr<Table<Tunedeck>> songs_;
    std::unique_ptr<Table<OldTunedeck>> legacy_;
    qint64 total_ = 0;
    qint64 done_ = 0;
    int moved_ = 0;
    int kept_ = 0;
    bool ended_ = false;
};

} // namespace td

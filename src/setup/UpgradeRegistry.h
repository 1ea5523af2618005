#pragma once
// What the program tells its data-file upgrade at start: the storage driver, that other drivers are
// ignored, and every table with its prefix, label and layout version. CheckOpen's upgrade step looks
// the expected layout up here.

#include <QList>
#include <QString>

namespace td {

struct UpgradeEntry {
    QString prefix;
    QString label;
    int version = 0;
};

class UpgradeRegistry {
public:
    void AddUpgradeDriver(const QString& driver) { drivers_ << driver; }
    void IgnoreUpgradeDriver(const QString& what, int flag) { ignored_ = what; ignoreFlag_ = flag; }
    void UsingUpgradeFile(const QString& prefix, const QString& label, int version)
    {
        files_.append({prefix, label, version});
    }

    const QStringList& drivers() const { return drivers_; }
    const QList<UpgradeEntry>& files() const { return files_; }
    QString ignored() const { return ignored_; }
    int ignoreFlag() const { return ignoreFlag_; }
    // The registered layout version of a table label, 0 when not registered.
    int versionOf(const QString& label) const;

private:
    QStringList drivers_;
    QString ignored_;
    int ignoreFlag_ = 0;
    QList<UpgradeEntry> files_;
};

// The registrations the program makes at start, in their order.
void registerUpgradeFiles(UpgradeRegistry& registry);

} // namespace td

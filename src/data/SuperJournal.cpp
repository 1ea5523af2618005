#include "data/SuperJournal.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace td {

namespace {

// A journal keeps the name of its super-journal in its last record; a tail this long holds it.
constexpr qint64 kJournalTail = 64 * 1024;

bool journalNames(const QString& journal, const QByteArray& superName)
{
    QFile f(journal);
    if (!f.open(QIODevice::ReadOnly))
        return QFileInfo::exists(journal); // unreadable: keep the super-journal to be safe
    const qint64 size = f.size();
    if (size > kJournalTail)
        f.seek(size - kJournalTail);
    return f.readAll().contains(superName);
}

} // namespace

QStringList removeStaleSuperJournals(const QString& mainFile, int minAgeSeconds)
{
    QStringList removed;
    const QFileInfo main(mainFile);
    const QDir dir = main.absoluteDir();
    const QDateTime limit = QDateTime::currentDateTimeUtc().addSecs(-minAgeSeconds);
    const QStringList names
        = dir.entryList({ main.fileName() + QLatin1String("-mj*") }, QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        const QString path = dir.filePath(name);
        const QFileInfo info(path);
        if (info.lastModified().toUTC() > limit)
            continue;
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        // The content: the path of every child journal, each ended by a NUL.
        const QList<QByteArray> children = f.readAll().split('\0');
        f.close();
        const QByteArray superBase = QFile::encodeName(name);
        bool named = false;
        for (const QByteArray& child : children) {
            if (child.isEmpty())
                continue;
            const QString childPath = QFile::decodeName(child);
            // The folder may have moved since: look beside us under the same name too.
            const QString beside = dir.filePath(QFileInfo(childPath).fileName());
            if (journalNames(childPath, superBase)
                || (beside != childPath && journalNames(beside, superBase))) {
                named = true;
                break;
            }
        }
        if (!named && QFile::remove(path))
            removed << path;
    }
    return removed;
}

} // namespace td

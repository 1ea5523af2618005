#include "reports/PageList.h"

#include <QDir>
#include <QFile>

namespace td {

PageList::PageList()
    : dir_(std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/tunedeck-pages-XXXXXX")))
{
    if (!dir_->isValid())
        error_ = dir_->errorString();
}

PageList::~PageList() = default;

bool PageList::isValid() const { return dir_->isValid(); }

bool PageList::append(const PageDoc& page)
{
    if (!dir_->isValid()) {
        error_ = QStringLiteral("No folder for the pages: %1").arg(dir_->errorString());
        return false;
    }
    const QString name = dir_->filePath(QStringLiteral("page%1.tdp").arg(++next_, 6, 10, QLatin1Char('0')));
    QString why;
    if (!writePageFile(name, page, &why)) {
        error_ = QStringLiteral("Could not write the page %1: %2").arg(name, why);
        return false;
    }
    files_ << name;
    return true;
}

bool PageList::read(int index, PageDoc& page, QString* error) const
{
    if (index < 0 || index >= files_.size()) {
        if (error)
            *error = QStringLiteral("There is no page %1.").arg(index + 1);
        return false;
    }
    return readPageFile(files_.at(index), page, error);
}

void PageList::handleCopies(int copies)
{
    if (copies <= 1 || files_.isEmpty())
        return;
    const QStringList one = files_;
    for (int c = 1; c < copies; ++c)
        files_ += one;
}

void PageList::clear()
{
    const QStringList all = files_;
    files_.clear();
    for (const QString& f : all)
        QFile::remove(f);
}

void PageList::removeUnused(const QString& file)
{
    if (!files_.contains(file))
        QFile::remove(file);
}

int fillPageOfPages(const QStringList& files, int count)
{
    const QByteArray marker(kPageOfPagesMarker);
    const QByteArray number = QByteArray::number(count).leftJustified(marker.size(), ' ', true);
    constexpr qint64 chunk = 256;
    constexpr qint64 overlap = 11;
    int changed = 0;
    for (const QString& name : files) {
        QFile file(name);
        if (!file.open(QIODevice::ReadWrite))
            continue;
        qint64 at = 0;
        qint64 found = -1;
        while (found < 0) {
            if (!file.seek(at))
                break;
            const QByteArray part = file.read(chunk);
            if (part.isEmpty())
                break;
            const qsizetype hit = part.indexOf(marker);
            if (hit >= 0)
                found = at + hit;
            else if (part.size() < chunk)
                break;
            else
                at += chunk - overlap;
        }
        if (found >= 0 && file.seek(found) && file.write(number) == number.size())
            ++changed;
    }
    return changed;
}

} // namespace td

#include "cd/DiscToc.h"

#include <QRegularExpression>
#include <QStringList>

namespace td {

int DiscToc::trackStart(int track) const
{
    return hasTrack(track) ? starts.at(track - first) : 0;
}

int DiscToc::trackLength(int track) const
{
    if (!hasTrack(track))
        return 0;
    const int end = track < last ? starts.at(track - first + 1) : leadout;
    return qMax(0, end - starts.at(track - first));
}

int DiscToc::discLength() const
{
    return starts.isEmpty() ? 0 : qMax(0, leadout - starts.first());
}

bool DiscToc::isDataTrack(int track) const
{
    const int i = track - first;
    return hasTrack(track) && i < data.size() && data.at(i);
}

int DiscToc::trackAt(int frame) const
{
    if (starts.isEmpty())
        return 0;
    for (int i = starts.size() - 1; i > 0; --i) {
        if (frame >= starts.at(i))
            return first + i;
    }
    return first;
}

bool DiscToc::isValid() const
{
    if (first < 1 || last < first || last > kMaxTracks || starts.size() != last - first + 1)
        return false;
    if (!data.isEmpty() && data.size() != starts.size())
        return false;
    if (starts.first() < 0)
        return false;
    for (int i = 1; i < starts.size(); ++i) {
        if (starts.at(i) <= starts.at(i - 1))
            return false;
    }
    return leadout > starts.last();
}

bool parseTocLine(const QString& line, DiscToc& toc, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QStringList parts = line.trimmed().split(blanks, Qt::SkipEmptyParts);
    if (parts.size() < 4)
        return fail(QStringLiteral("a table of contents needs first, last, lead-out and one start at least"));
    QList<int> numbers;
    for (const QString& p : parts) {
        bool ok = false;
        const int n = p.toInt(&ok);
        if (!ok || n < 0)
            return fail(QStringLiteral("\"%1\" is not a whole number of frames").arg(p));
        numbers << n;
    }
    DiscToc t;
    t.first = numbers.at(0);
    t.last = numbers.at(1);
    t.leadout = numbers.at(2);
    t.starts = numbers.mid(3);
    if (t.first < 1 || t.last < t.first || t.last > kMaxTracks)
        return fail(QStringLiteral("track numbers %1 to %2 are not possible").arg(t.first).arg(t.last));
    if (t.starts.size() != t.last - t.first + 1)
        return fail(
            QStringLiteral("%1 tracks but %2 start offsets").arg(t.last - t.first + 1).arg(t.starts.size()));
    if (!t.isValid())
        return fail(QStringLiteral("the start offsets must rise and end before the lead-out"));
    toc = t;
    return true;
}

QString tocLine(const DiscToc& toc)
{
    QStringList parts { QString::number(toc.first), QString::number(toc.last), QString::number(toc.leadout) };
    for (int s : toc.starts)
        parts << QString::number(s);
    return parts.join(QLatin1Char(' '));
}

QString framesToMsf(qint64 frames)
{
    if (frames < 0)
        frames = 0;
    const qint64 minutes = frames / (60 * kFramesPerSecond);
    const qint64 seconds = frames / kFramesPerSecond % 60;
    const qint64 ff = frames % kFramesPerSecond;
    return QStringLiteral("%1:%2:%3")
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(seconds, 2, 10, QLatin1Char('0'))
        .arg(ff, 2, 10, QLatin1Char('0'));
}

} // namespace td

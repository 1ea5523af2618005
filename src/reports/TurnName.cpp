#include "reports/TurnName.h"

namespace td {

namespace {

QString chopTrailing(const QString& s)
{
    qsizetype end = s.size();
    while (end > 0 && s.at(end - 1).isSpace())
        --end;
    return s.left(end);
}

QString chopLeading(const QString& s)
{
    qsizetype start = 0;
    while (start < s.size() && s.at(start).isSpace())
        ++start;
    return s.mid(start);
}

} // namespace

QString TurnName(const QString& name)
{
    const qsizetype comma = name.indexOf(QLatin1Char(','));
    if (comma < 0)
        return name;
    const QString surname = chopTrailing(name.left(comma));
    const qsizetype with = name.indexOf(QLatin1String(" with "), comma + 1, Qt::CaseInsensitive);
    QString first;
    QString tail;
    if (with >= 0) {
        first = chopTrailing(chopLeading(name.mid(comma + 1, with - comma - 1)));
        tail = chopTrailing(name.mid(with));
    } else {
        first = name.mid(comma + 1).trimmed();
    }
    // "Smith," has no first name: the surname alone, not a name starting with a blank.
    if (first.isEmpty())
        return surname + tail;
    return first + QLatin1Char(' ') + surname + tail;
}

} // namespace td

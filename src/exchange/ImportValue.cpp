#include "exchange/ImportValue.h"

#include "core/SongTime.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace td {

namespace {

// The range a number field stores (dates and times are never negative).
bool inRange(const FieldDef& f, qint64 n)
{
    switch (f.type) {
    case FieldType::Byte:
        return n >= 0 && n <= 255;
    case FieldType::Date:
    case FieldType::Time:
        return n >= 0 && n <= std::numeric_limits<qint32>::max();
    case FieldType::Decimal: {
        qint64 m = 1;
        for (int i = 0; i < f.digits(); ++i)
            m *= 10;
        return n > -m && n < m;
    }
    default:
        return n >= std::numeric_limits<qint32>::min() && n <= std::numeric_limits<qint32>::max();
    }
}

// A finite double as a whole number, rounded; nothing when it cannot be one.
std::optional<qint64> whole(double v)
{
    if (!std::isfinite(v) || std::fabs(v) > 9.0e15)
        return std::nullopt;
    return qint64(std::llround(v));
}

} // namespace

ImportValueReader::ImportValueReader()
    : date_(QStringLiteral("@d2"))
    , shortDate_(QStringLiteral("@d17"))
    , time_(QStringLiteral("@t4"))
{
}

std::optional<QVariant> ImportValueReader::throughPicture(const Picture& picture, bool keepsText, const QString& text)
{
    if (keepsText)
        return QVariant(text);
    if (text.trimmed().isEmpty())
        return QVariant(QString());
    const Picture::Input in = picture.isDate() ? parseDateValue(picture, text) : picture.parse(text);
    if (!in.ok)
        return std::nullopt;
    return in.value;
}

std::optional<qint64> ImportValueReader::number(const FieldDef& target, const QVariant& value, bool timePicture) const
{
    std::optional<qint64> n;
    bool timeText = timePicture;
    if (value.typeId() != QMetaType::QString) {
        n = whole(value.toDouble());
    } else {
        const QString s = value.toString().trimmed();
        if (s.isEmpty())
            return 0;
        bool plain = false;
        const double v = QLocale::c().toDouble(s, &plain);
        if (plain) {
            n = whole(v);
        } else if (target.type == FieldType::Date) {
            Picture::Input in = parseDateValue(date_, s);
            if (!in.ok)
                in = parseDateValue(shortDate_, s);
            if (in.ok)
                n = in.value.toLongLong();
        } else if (target.type == FieldType::Time) {
            const Picture::Input in = time_.parse(s);
            if (in.ok)
                n = in.value.toLongLong();
            timeText = true;
        }
    }
    if (!n || !inRange(target, *n))
        return std::nullopt;
    if (target.type == FieldType::Time && timeText)
        n = songTimeRule(int(*n));
    return n;
}

} // namespace td

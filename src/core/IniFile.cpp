#include "core/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <algorithm>
#include <limits>

namespace td {

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QString trimBlanks(QStringView s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b).toString();
}

bool hasLineBreak(const QString& s)
{
    return s.contains(QLatin1Char('\n')) || s.contains(QLatin1Char('\r'));
}

// Windows-1252, the code page of old files: bytes 0x80-0x9F; the five it leaves undefined keep
// their C1 control, as Windows reads them, so every byte comes back as it was.
constexpr char16_t kCp1252High[32] = { 0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6,
    0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178 };

QString fromCp1252(const QByteArray& bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar b = uchar(bytes[i]);
        out[i] = QChar(b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char16_t(b));
    }
    return out;
}

// False when a character has no byte in the code page.
bool toCp1252(const QString& text, QByteArray* out)
{
    out->resize(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80 || (c >= 0xA0 && c < 0x100)) {
            (*out)[i] = char(c);
            continue;
        }
        const char16_t* hit = std::find(std::begin(kCp1252High), std::end(kCp1252High), c);
        if (hit == std::end(kCp1252High))
            return false;
        (*out)[i] = char(0x80 + (hit - std::begin(kCp1252High)));
    }
    return true;
}

bool isUtf8(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(bytes); // decoding happens on the conversion to QString
    Q_UNUSED(decoded);
    return !utf8.hasError();
}

bool isAscii(const QByteArray& bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; });
}

} // namespace

IniFile::IniFile(const QString& path)
    : path_(path)
{
    load();
}

bool IniFile::load()
{
    lines_.clear();
    crlf_ = false;
    finalNewline_ = true;
    bom_ = false;
    codePage_ = false;
    modified_ = false;
    error_.clear();

    QFile f(path_);
    if (!f.exists())
        return true;
    if (!f.open(QIODevice::ReadOnly)) {
        error_ = f.errorString();
        return false;
    }
    QByteArray bytes = f.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        bom_ = true;
        bytes.remove(0, 3);
    }
    QString content;
    {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        content = utf8.decode(bytes);
        if (utf8.hasError()) {
            // An old file in a Windows code page: read it byte for byte and write it back the same
            // way, so that no character of another program's lines is lost.
            codePage_ = true;
            content = fromCp1252(bytes);
        }
    }
    if (content.isEmpty())
        return true;
    crlf_ = content.contains(QLatin1String("\r\n"));
    finalNewline_ = content.endsWith(QLatin1Char('\n'));
    if (finalNewline_)
        content.chop(1);
    const QStringList raw = content.split(QLatin1Char('\n'));
    lines_.reserve(raw.size());
    for (QString line : raw) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        lines_.push_back({ line });
    }
    return true;
}

QString IniFile::text() const
{
    const QString eol = crlf_ ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QString out;
    for (size_t i = 0; i < lines_.size(); ++i) {
        out += lines_[i].raw;
        if (i + 1 < lines_.size() || finalNewline_)
            out += eol;
    }
    return out;
}

bool IniFile::save()
{
    error_.clear();
    const QFileInfo info(path_);
    if (!QDir().mkpath(info.absolutePath())) {
        error_ = QStringLiteral("Cannot create the folder %1").arg(info.absolutePath());
        return false;
    }
    QSaveFile f(path_);
    if (!f.open(QIODevice::WriteOnly)) {
        error_ = f.errorString();
        return false;
    }
    QByteArray bytes;
    if (bom_)
        bytes = "\xEF\xBB\xBF";
    bool inCodePage = false;
    bytes += encoded(text(), &inCodePage);
    if (f.write(bytes) != bytes.size() || !f.commit()) {
        error_ = f.errorString();
        return false;
    }
    codePage_ = inCodePage;
    modified_ = false;
    return true;
}

QByteArray IniFile::encoded(const QString& content, bool* inCodePage) const
{
    // A code-page file stays one while every character has its byte and the bytes would not be
    // taken for UTF-8 on the next load (which would change how its other values read). Otherwise
    // the whole file becomes UTF-8: every value, old and new, reads back the same.
    QByteArray cp;
    *inCodePage = codePage_ && toCp1252(content, &cp) && (isAscii(cp) || !isUtf8(cp));
    return *inCodePage ? cp : content.toUtf8();
}

bool IniFile::parseSection(const QString& raw, QString* name)
{
    const QString t = trimBlanks(raw);
    if (!t.startsWith(QLatin1Char('[')))
        return false;
    qsizetype close = t.indexOf(QLatin1Char(']'));
    if (close < 0)
        close = t.size();
    *name = trimBlanks(QStringView(t).mid(1, close - 1));
    return true;
}

bool IniFile::parseKey(const QString& raw, QString* key, QString* value)
{
    const QString t = trimBlanks(raw);
    if (t.isEmpty() || t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('[')))
        return false;
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return false;
    *key = trimBlanks(QStringView(t).left(eq));
    if (key->isEmpty())
        return false;
    if (value) {
        QString v = trimBlanks(QStringView(t).mid(eq + 1));
        if (v.size() >= 2 && v.startsWith(QLatin1Char('"')) && v.endsWith(QLatin1Char('"')))
            v = v.mid(1, v.size() - 2);
        *value = v;
    }
    return true;
}

int IniFile::findSection(const QString& section) const
{
    const QString wanted = trimBlanks(section);
    QString name;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (parseSection(lines_[i].raw, &name) && name.compare(wanted, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

int IniFile::sectionEnd(int header) const
{
    QString name;
    for (size_t i = size_t(header) + 1; i < lines_.size(); ++i) {
        if (parseSection(lines_[i].raw, &name))
            return int(i);
    }
    return int(lines_.size());
}

int IniFile::findKey(int header, const QString& key) const
{
    const QString wanted = trimBlanks(key);
    const int end = sectionEnd(header);
    QString k;
    for (int i = header + 1; i < end; ++i) {
        if (parseKey(lines_[size_t(i)].raw, &k, nullptr) && k.compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool IniFile::contains(const QString& section, const QString& key) const
{
    const int h = findSection(section);
    return h >= 0 && findKey(h, key) >= 0;
}

QString IniFile::value(const QString& section, const QString& key, const QString& def) const
{
    const int h = findSection(section);
    if (h < 0)
        return def;
    const int k = findKey(h, key);
    if (k < 0)
        return def;
    QString name;
    QString v;
    parseKey(lines_[size_t(k)].raw, &name, &v);
    return v;
}

int IniFile::leadingInt(const QString& text, int def)
{
    const QString t = trimBlanks(text);
    if (t.isEmpty())
        return def;
    qsizetype i = 0;
    bool negative = false;
    if (t[0] == QLatin1Char('-') || t[0] == QLatin1Char('+')) {
        negative = t[0] == QLatin1Char('-');
        ++i;
    }
    qint64 n = 0;
    for (; i < t.size() && t[i] >= QLatin1Char('0') && t[i] <= QLatin1Char('9'); ++i) {
        // Saturate instead of overflowing on absurd values.
        if (n <= qint64(std::numeric_limits<int>::max()) + 1)
            n = n * 10 + (t[i].unicode() - '0');
    }
    if (negative)
        n = -n;
    if (n > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (n < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return int(n);
}

int IniFile::intValue(const QString& section, const QString& key, int def) const
{
    return leadingInt(value(section, key), def);
}

bool IniFile::setValue(const QString& section, const QString& key, const QString& value)
{
    const QString k = trimBlanks(key);
    const QString s = trimBlanks(section);
    if (k.isEmpty() || hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value)
        || k.contains(QLatin1Char('=')) || k.startsWith(QLatin1Char('[')) || k.startsWith(QLatin1Char(';'))
        || s.contains(QLatin1Char(']'))) {
        return false;
    }
    const QString line = key + QLatin1Char('=') + value;
    int h = findSection(section);
    if (h < 0) {
        lines_.push_back({ QLatin1Char('[') + section + QLatin1Char(']') });
        lines_.push_back({ line });
        modified_ = true;
        return true;
    }
    const int existing = findKey(h, key);
    if (existing >= 0) {
        if (lines_[size_t(existing)].raw != line) {
            lines_[size_t(existing)].raw = line;
            modified_ = true;
        }
        return true;
    }
    // After the last key of the section, so that blank lines and comments that lead into the next
    // section stay in front of it.
    int insertAt = h + 1;
    const int end = sectionEnd(h);
    QString name;
    for (int i = h + 1; i < end; ++i) {
        if (parseKey(lines_[size_t(i)].raw, &name, nullptr))
            insertAt = i + 1;
    }
    lines_.insert(lines_.begin() + insertAt, { line });
    modified_ = true;
    return true;
}

bool IniFile::removeKey(const QString& section, const QString& key)
{
    const int h = findSection(section);
    if (h < 0)
        return false;
    const int k = findKey(h, key);
    if (k < 0)
        return false;
    lines_.erase(lines_.begin() + k);
    modified_ = true;
    return true;
}

bool IniFile::removeSection(const QString& section)
{
    const int h = findSection(section);
    if (h < 0)
        return false;
    lines_.erase(lines_.begin() + h, lines_.begin() + sectionEnd(h));
    modified_ = true;
    return true;
}

QStringList IniFile::sections() const
{
    QStringList out;
    QString name;
    for (const Line& l : lines_) {
        if (parseSection(l.raw, &name))
            out << name;
    }
    return out;
}

QStringList IniFile::keys(const QString& section) const
{
    QStringList out;
    const int h = findSection(section);
    if (h < 0)
        return out;
    const int end = sectionEnd(h);
    QString k;
    for (int i = h + 1; i < end; ++i) {
        if (parseKey(lines_[size_t(i)].raw, &k, nullptr))
            out << k;
    }
    return out;
}

namespace ini {

QString readString(const QString& path, const QString& section, const QString& key, const QString& def)
{
    return IniFile(path).value(section, key, def);
}

int readInt(const QString& path, const QString& section, const QString& key, int def)
{
    return IniFile(path).intValue(section, key, def);
}

bool writeString(const QString& path, const QString& section, const QString& key, const QString& value)
{
    IniFile f;
    f.setPath(path);
    if (!f.load())
        return false; // an unreadable file is not overwritten with a near-empty one
    if (!f.setValue(section, key, value))
        return false;
    return !f.isModified() || f.save();
}

bool removeKey(const QString& path, const QString& section, const QString& key)
{
    IniFile f;
    f.setPath(path);
    if (!f.load() || !f.removeKey(section, key))
        return false;
    return f.save();
}

bool removeSection(const QString& path, const QString& section)
{
    IniFile f;
    f.setPath(path);
    if (!f.load() || !f.removeSection(section))
        return false;
    return f.save();
}

QStringList sections(const QString& path)
{
    return IniFile(path).sections();
}

QStringList keys(const QString& path, const QString& section)
{
    return IniFile(path).keys(section);
}

} // namespace ini

} // namespace td

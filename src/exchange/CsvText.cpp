#include "exchange/CsvText.h"

#include "core/Picture.h"
#include "data/Errors.h"

#include <QFileInfo>

#include <cerrno>
#include <utility>

namespace td {

namespace {

constexpr qsizetype kChunk = 1 << 20;
// Bytes a line of kMaxLine characters can take in UTF-8, with its line end.
constexpr qsizetype kMaxLineBytes = qsizetype(csv::kMaxLine) * 4 + 2;

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QString fileCaption(const char* what, const QString& name)
{
    return QLatin1String(what) + name;
}

} // namespace

QString csv::errorText(int code, const QString& text)
{
    return QStringLiteral("Error #%1 - %2").arg(code).arg(text);
}

// ---- splitting -------------------------------------------------------------------------------

void CsvSplitter::setLine(const QString& line)
{
    line_ = line;
    pos_ = 1;
}

CsvField CsvSplitter::next(QString& text)
{
    text.clear();
    if (pos_ <= 0)
        return CsvField::None;
    const qsizetype n = line_.size();
    qsizetype i = pos_ - 1;
    qsizetype j = i;
    while (j < n && isBlank(line_.at(j)))
        ++j;
    if (j >= n) {
        pos_ = 0;
        return CsvField::None;
    }
    const QChar* s = line_.constData();
    if (s[i] == QLatin1Char('"')) {
        qsizetype k = i + 1;
        while (k < n) {
            if (s[k] == QLatin1Char('"')) {
                if (k + 1 < n && s[k + 1] == QLatin1Char('"')) {
                    text += QLatin1Char('"');
                    k += 2;
                    continue;
                }
                break;
            }
            text += s[k];
            ++k;
        }
        if (k >= n) { // no closing quote: the rest of the line
            pos_ = 0;
        } else {
            const qsizetype after = k + 2; // past the closing quote and the separator
            pos_ = after < n ? int(after + 1) : 0;
        }
        return CsvField::Quoted;
    }
    const qsizetype comma = line_.indexOf(QLatin1Char(','), i);
    if (comma < 0) {
        text = line_.mid(i);
        pos_ = 0;
    } else {
        text = line_.mid(i, comma - i);
        pos_ = int(comma + 2);
        if (comma + 1 >= n) // "a," : the line is used up after the comma
            pos_ = 0;
    }
    return CsvField::Unquoted;
}

bool CsvSplitter::endsInsideQuotes(const QString& line)
{
    const qsizetype n = line.size();
    const QChar* s = line.constData();
    qsizetype i = 0;
    while (i < n) {
        qsizetype j = i;
        while (j < n && isBlank(s[j]))
            ++j;
        if (j >= n)
            return false;
        if (s[i] == QLatin1Char('"')) {
            qsizetype k = i + 1;
            while (k < n) {
                if (s[k] == QLatin1Char('"')) {
                    if (k + 1 < n && s[k + 1] == QLatin1Char('"')) {
                        k += 2;
                        continue;
                    }
                    break;
                }
                ++k;
            }
            if (k >= n)
                return true;
            i = k + 2;
        } else {
            const qsizetype comma = line.indexOf(QLatin1Char(','), i);
            if (comma < 0)
                return false;
            i = comma + 1;
        }
    }
    return false;
}

// ---- reading ---------------------------------------------------------------------------------

CsvReader::CsvReader(Messages& messages)
    : messages_(messages)
    , utf8_(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless)
{
}

CsvReader::~CsvReader() = default;

void CsvReader::report(const QString& caption, const QString& text)
{
    if (!reportErrors_)
        return;
    if (deferErrors_) {
        deferredCaption_ = caption;
        deferredText_ = text;
        return;
    }
    messages_.show(caption, text, Icon::Exclamation);
}

void CsvReader::showDeferredError()
{
    if (deferredCaption_.isEmpty())
        return;
    const QString caption = std::exchange(deferredCaption_, QString());
    messages_.show(caption, std::exchange(deferredText_, QString()), Icon::Exclamation);
}

bool CsvReader::refuseBinary(const QByteArray& head)
{
    const bool utf16Or32 = head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF")
        || head.startsWith(QByteArray("\x00\x00\xFE\xFF", 4));
    if (!utf16Or32 && !head.contains('\0'))
        return false;
    report(QStringLiteral("Attention!"),
        QStringLiteral("%1 is not a text file that can be imported (%2).  Please pick a comma-separated "
                       "text file saved as UTF-8.")
            .arg(name_,
                utf16Or32 ? QStringLiteral("it is written as UTF-16 or UTF-32")
                          : QStringLiteral("it holds binary data")));
    return true;
}

CsvReader::OpenResult CsvReader::open(const QString& fileName)
{
    close();
    name_ = fileName;
    failed_ = false;
    file_.setFileName(fileName);
    const QFileInfo info(fileName);
    if (!info.exists() || info.isDir() || !file_.open(QIODevice::ReadOnly)) {
        const int code = !info.exists() ? int(FileNotFound) : int(AccessDenied);
        report(fileCaption("Cannot OPEN ", fileName), csv::errorText(code, errorCodeText(code)));
        return OpenResult::Failed;
    }
    size_ = file_.size();
    if (size_ == 0) {
        file_.close();
        report(
            QStringLiteral("Attention!"), QStringLiteral("That file is empty!  Please pick another file."));
        return OpenResult::Failed;
    }
    const QByteArray head = file_.peek(65536);
    if (refuseBinary(head)) {
        file_.close();
        return OpenResult::Failed;
    }
    rewind();
    return OpenResult::Opened;
}

bool CsvReader::openAsking(const std::function<QString()>& askFile)
{
    for (;;) {
        const QString name = askFile();
        if (name.trimmed().isEmpty())
            return false;
        if (open(name) == OpenResult::Opened)
            return true;
    }
}

void CsvReader::rewind()
{
    if (!file_.isOpen())
        return;
    file_.seek(0);
    buffer_.clear();
    bufPos_ = 0;
    eof_ = false;
    physicalLine_ = 0;
    lineStart_ = 0;
    failed_ = false;
    split_.setLine(QString());
    fillBuffer();
    if (buffer_.startsWith("\xEF\xBB\xBF"))
        bufPos_ = 3;
}

bool CsvReader::fillBuffer()
{
    if (eof_)
        return false;
    if (bufPos_ > 0) {
        buffer_.remove(0, bufPos_);
        bufPos_ = 0;
    }
    const QByteArray more = file_.read(kChunk);
    if (more.isEmpty()) {
        eof_ = true;
        return false;
    }
    buffer_ += more;
    return true;
}

// One physical line without its line end; `taken` counts its bytes with the line end.
bool CsvReader::takePhysicalLine(QByteArray& out, qint64& taken, bool& hadEnd)
{
    qsizetype nl;
    for (;;) {
        nl = buffer_.indexOf('\n', bufPos_);
        if (nl >= 0 || buffer_.size() - bufPos_ > kMaxLineBytes || !fillBuffer())
            break;
    }
    if (bufPos_ >= buffer_.size() && nl < 0)
        return false;
    ++physicalLine_;
    hadEnd = nl >= 0;
    if (nl < 0 && buffer_.size() - bufPos_ > kMaxLineBytes)
        nl = bufPos_ + kMaxLineBytes; // far too long: the length check reports it
    const qsizetype end = nl >= 0 ? nl : buffer_.size();
    qsizetype stop = end;
    if (stop > bufPos_ && buffer_.at(stop - 1) == '\r')
        --stop;
    out = buffer_.mid(bufPos_, stop - bufPos_);
    taken = (nl >= 0 && hadEnd ? end + 1 : end) - bufPos_;
    bufPos_ = hadEnd ? end + 1 : end;
    return true;
}

QString CsvReader::decode(const QByteArray& bytes)
{
    bool ascii = true;
    for (char c : bytes) {
        if (uchar(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return QString::fromLatin1(bytes);
    utf8_.resetState();
    QString s = utf8_.decode(bytes);
    if (utf8_.hasError())
        s = QString::fromLatin1(bytes);
    return s;
}

qint64 CsvReader::readLine()
{
    split_.setLine(QString());
    text_.clear();
    if (!file_.isOpen() || failed_)
        return 0;
    QByteArray bytes;
    qint64 taken = 0;
    bool hadEnd = false;
    if (!takePhysicalLine(bytes, taken, hadEnd))
        return 0;
    lineStart_ = physicalLine_;
    auto check = [this](const QByteArray& b, const QString& s, qint64 lineNo) {
        if (b.contains('\0')) {
            report(QStringLiteral("Attention!"),
                QStringLiteral("Line %1 of %2 holds binary data: this is not a text file that can be "
                               "imported.")
                    .arg(lineNo)
                    .arg(name_));
            return false;
        }
        if (s.size() > csv::kMaxLine) {
            report(fileCaption("Cannot READ ", name_),
                QStringLiteral("Line %1 is longer than %2 characters.  Nothing from this line on has "
                               "been read.")
                    .arg(lineNo)
                    .arg(csv::kMaxLine));
            return false;
        }
        return true;
    };
    QString line = decode(bytes);
    if (!check(bytes, line, lineStart_)) {
        failed_ = true;
        return 0;
    }
    if (hadEnd && CsvSplitter::endsInsideQuotes(line)) {
        // A quoted field going on over the line end: take the following lines while they fit;
        // when the quote never closes, the field takes the rest of this line alone.
        const qint64 savedOffset = file_.pos() - (buffer_.size() - bufPos_);
        const qint64 savedLine = physicalLine_;
        QString joined = line;
        qint64 joinedTaken = taken;
        bool closed = false;
        QByteArray more;
        qint64 moreTaken = 0;
        bool moreEnd = false;
        while (takePhysicalLine(more, moreTaken, moreEnd)) {
            if (more.contains('\0'))
                break;
            joined += QLatin1Char('\n');
            joined += decode(more);
            joinedTaken += moreTaken;
            if (joined.size() > csv::kMaxLine) {
                // Either a record too long or a stray quote: either way not read by guessing.
                report(fileCaption("Cannot READ ", name_),
                    QStringLiteral("Line %1 starts a quoted field that does not end within %2 characters.  "
                                   "Nothing from this line on has been read.")
                        .arg(lineStart_)
                        .arg(csv::kMaxLine));
                failed_ = true;
                return 0;
            }
            if (!CsvSplitter::endsInsideQuotes(joined)) {
                closed = true;
                break;
            }
            if (!moreEnd)
                break;
        }
        if (closed) {
            line = joined;
            taken = joinedTaken;
        } else {
            file_.seek(savedOffset);
            buffer_.clear();
            bufPos_ = 0;
            eof_ = false;
            physicalLine_ = savedLine;
        }
    }
    split_.setLine(line);
    return taken;
}

CsvField CsvReader::nextField()
{
    const CsvField f = split_.next(text_);
    if (f != CsvField::None && text_.size() > csv::kMaxField) {
        report(fileCaption("Cannot READ ", name_),
            QStringLiteral("Line %1 has a field longer than %2 characters.  Nothing from this line on "
                           "has been read.")
                .arg(lineStart_)
                .arg(csv::kMaxField));
        failed_ = true;
        text_.clear();
        return CsvField::None;
    }
    return f;
}

void CsvReader::close()
{
    if (file_.isOpen())
        file_.close();
    buffer_.clear();
    bufPos_ = 0;
}

// ---- writing ---------------------------------------------------------------------------------

CsvWriter::CsvWriter(Messages& messages)
    : messages_(messages)
{
}

CsvWriter::~CsvWriter()
{
    if (file_.isOpen()) {
        file_.write(pending_);
        file_.close();
    }
}

bool CsvWriter::create(const QString& fileName)
{
    name_ = fileName;
    pending_.clear();
    const QFileInfo info(fileName);
    {
        QFile created(fileName);
        if (info.isDir() || !created.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            const int code = info.isDir() || info.exists() || QFileInfo(info.absolutePath()).exists()
                ? int(AccessDenied)
                : int(FileNotFound);
            messages_.show(fileCaption("Cannot CREATE ", fileName), csv::errorText(code, errorCodeText(code)),
                Icon::Exclamation);
            return false;
        }
    }
    file_.setFileName(fileName);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        QFile::remove(fileName);
        const int code = int(AccessDenied);
        messages_.show(fileCaption("Cannot OPEN ", fileName), csv::errorText(code, errorCodeText(code)),
            Icon::Exclamation);
        return false;
    }
    return true;
}

void CsvWriter::startLine()
{
    line_.clear();
    firstField_ = true;
}

QString CsvWriter::fieldText(const QVariant& value, const QString& picture, bool header)
{
    return fieldText(value, Picture(picture), header);
}

QString CsvWriter::fieldText(const QVariant& value, const Picture& pic, bool header)
{
    QString out;
    appendField(out, value, pic, header);
    return out;
}

namespace {

// `s` in double quotes, every inner quote doubled.
void appendQuoted(QString& out, QStringView s)
{
    out += QLatin1Char('"');
    if (!s.contains(QLatin1Char('"'))) {
        out += s;
    } else {
        for (QChar c : s) {
            if (c == QLatin1Char('"'))
                out += QLatin1Char('"');
            out += c;
        }
    }
    out += QLatin1Char('"');
}

} // namespace

void CsvWriter::appendField(QString& out, const QVariant& value, const Picture& pic, bool header)
{
    const QString picture = pic.text();
    const QChar type = picture.size() > 1 ? picture.at(1).toLower() : QChar();
    if (type == QLatin1Char('s')) {
        const QString s = value.toString();
        qsizetype n = s.size();
        while (n > 0 && s.at(n - 1) == QLatin1Char(' '))
            --n;
        if (header && s.left(n).contains(QLatin1Char('['))) {
            QString h = s.left(n);
            h.replace(QLatin1Char(','), QLatin1Char('_'));
            h.replace(QLatin1Char('['), QLatin1Char('_'));
            h.replace(QLatin1Char(']'), QLatin1Char(' '));
            appendQuoted(out, h);
            return;
        }
        appendQuoted(out, QStringView(s).left(n));
        return;
    }
    if (type == QLatin1Char('n')) {
        QString s;
        switch (value.typeId()) {
        case QMetaType::Double:
        case QMetaType::Float:
            s = QString::number(value.toDouble(), 'g', 15);
            break;
        case QMetaType::QString:
            s = value.toString().trimmed();
            break;
        default:
            out += QString::number(value.toLongLong());
            return;
        }
        // A number written plainly never holds a separator; a text put under a number picture
        // might, and is then quoted so that the line stays readable.
        for (QChar c : std::as_const(s)) {
            if (c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\n')
                || c == QLatin1Char('\r')) {
                appendQuoted(out, s);
                return;
            }
        }
        out += s;
        return;
    }
    if (pic.isDate() && value.typeId() != QMetaType::QString)
        appendQuoted(out, formatDateValue(pic, value.toLongLong()));
    else
        appendQuoted(out, pic.formatVariant(value));
}

void CsvWriter::addField(const QVariant& value, const QString& picture, bool header)
{
    addField(value, Picture(picture), header);
}

void CsvWriter::addField(const QVariant& value, const Picture& picture, bool header)
{
    if (!firstField_)
        line_ += QLatin1Char(',');
    firstField_ = false;
    appendField(line_, value, picture, header);
}

bool CsvWriter::flush()
{
    while (!pending_.isEmpty()) {
        errno = 0;
        const qint64 n = file_.write(pending_);
        if (n > 0)
            pending_.remove(0, n);
        if (n <= 0) {
            const int code = errno != 0 ? errno : int(AccessDenied);
            const int answer = messages_.show(fileCaption("Cannot ADD to ", name_),
                csv::errorText(code, file_.errorString()), Icon::Exclamation, Retry | Abort, Abort);
            file_.unsetError();
            if (answer != Retry)
                return false;
        }
    }
    return true;
}

bool CsvWriter::addLine()
{
    pending_ += line_.toUtf8();
    pending_ += "\r\n";
    if (pending_.size() < kChunk)
        return true;
    return flush();
}

bool CsvWriter::close()
{
    if (!file_.isOpen())
        return true;
    const bool written = flush();
    file_.close();
    if (file_.error() != QFileDevice::NoError) {
        messages_.show(fileCaption("Cannot CLOSE ", name_),
            csv::errorText(int(AccessDenied), file_.errorString()), Icon::Exclamation);
        file_.unsetError();
        return false;
    }
    return written;
}

} // namespace td

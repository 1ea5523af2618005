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
        const qsizetype start = i + 1;
        qsizetype k = start;
        bool doubled = false;
        while (k < n) {
            if (s[k] == QLatin1Char('"')) {
                if (k + 1 < n && s[k + 1] == QLatin1Char('"')) {
                    doubled = true;
                    k += 2;
                    continue;
                }
                break;
            }
            ++k;
        }
        text = line_.mid(start, k - start);
        if (doubled) // every pair stands for one quote
            text.replace(QStringLiteral("\"\""), QStringLiteral("\""));
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

bool CsvSplitter::endsInsideQuotes(const QString& line, QuoteScan& scan)
{
    const qsizetype n = line.size();
    const QChar* s = line.constData();
    qsizetype i = scan.pos;
    qsizetype k = i;
    bool inside = scan.inside;
    for (;;) {
        if (!inside) {
            if (i >= n)
                break;
            qsizetype j = i;
            while (j < n && isBlank(s[j]))
                ++j;
            if (j >= n)
                break;
            if (s[i] != QLatin1Char('"')) {
                const qsizetype comma = line.indexOf(QLatin1Char(','), i);
                if (comma < 0)
                    break;
                i = comma + 1;
                continue;
            }
            k = i + 1;
            inside = true;
        }
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
        if (k >= n) { // still open: the next line goes on with it
            scan.pos = n;
            scan.inside = true;
            return true;
        }
        inside = false;
        i = k + 2; // past the closing quote and the separator
    }
    scan.pos = n;
    scan.inside = false;
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

// One physical line without its line end; `taken` counts its bytes with the line end. A line ends
// at LF, CRLF or a CR alone.
bool CsvReader::takePhysicalLine(QByteArray& out, qint64& taken, LineEnd& end)
{
    qsizetype scanned = 0; // from bufPos_
    for (;;) {
        const qsizetype avail = buffer_.size() - bufPos_;
        const char* b = buffer_.constData() + bufPos_;
        while (scanned < avail && b[scanned] != '\n' && b[scanned] != '\r')
            ++scanned;
        if (scanned < avail) {
            if (b[scanned] == '\n' || scanned + 1 < avail || eof_)
                break;
            // A CR ending the buffer: the next chunk tells CR from CRLF.
            if (!fillBuffer())
                break;
            continue;
        }
        if (avail > kMaxLineBytes || !fillBuffer())
            break;
    }
    const qsizetype avail = buffer_.size() - bufPos_;
    if (avail <= 0)
        return false;
    ++physicalLine_;
    const char* b = buffer_.constData() + bufPos_;
    qsizetype length = scanned;
    qsizetype endLength = 0;
    end = LineEnd::None;
    if (scanned < avail) {
        if (b[scanned] == '\n') {
            end = LineEnd::LF;
            endLength = 1;
        } else if (scanned + 1 < avail && b[scanned + 1] == '\n') {
            end = LineEnd::CRLF;
            endLength = 2;
        } else {
            end = LineEnd::CR;
            endLength = 1;
        }
    } else if (avail > kMaxLineBytes) {
        length = kMaxLineBytes; // far too long: the length check reports it
    }
    out = QByteArray(b, length);
    taken = length + endLength;
    bufPos_ += length + endLength;
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

bool CsvReader::checkLine(const QByteArray& bytes, const QString& line, qint64 lineNo)
{
    if (bytes.contains('\0')) {
        report(QStringLiteral("Attention!"),
            QStringLiteral("Line %1 of %2 holds binary data: this is not a text file that can be "
                           "imported.")
                .arg(lineNo)
                .arg(name_));
        return false;
    }
    if (line.size() > csv::kMaxLine) {
        report(fileCaption("Cannot READ ", name_),
            QStringLiteral("Line %1 is longer than %2 characters.  Nothing from this line on has "
                           "been read.")
                .arg(lineNo)
                .arg(csv::kMaxLine));
        return false;
    }
    return true;
}

qint64 CsvReader::readLine()
{
    split_.setLine(QString());
    text_.clear();
    if (!file_.isOpen() || failed_)
        return 0;
    QByteArray bytes;
    qint64 taken = 0;
    qint64 total = 0;
    LineEnd end = LineEnd::None;
    QString line;
    for (;;) { // blank lines are no records
        if (!takePhysicalLine(bytes, taken, end))
            return 0;
        total += taken;
        lineStart_ = physicalLine_;
        line = decode(bytes);
        if (!checkLine(bytes, line, lineStart_)) {
            failed_ = true;
            return 0;
        }
        qsizetype i = 0;
        while (i < line.size() && isBlank(line.at(i)))
            ++i;
        if (i < line.size())
            break;
    }
    CsvSplitter::QuoteScan scan;
    // A quoted field going on over the line end takes the following lines, each line break as
    // written, up to its closing quote or the end of the file.
    while (end != LineEnd::None && CsvSplitter::endsInsideQuotes(line, scan)) {
        const LineEnd brk = end;
        if (!takePhysicalLine(bytes, taken, end))
            break;
        total += taken;
        line += brk == LineEnd::CRLF ? QStringLiteral("\r\n")
            : brk == LineEnd::CR     ? QStringLiteral("\r")
                                     : QStringLiteral("\n");
        line += decode(bytes);
        if (bytes.contains('\0') || line.size() > csv::kMaxLine) {
            if (!bytes.contains('\0'))
                report(fileCaption("Cannot READ ", name_),
                    QStringLiteral("Line %1 starts a quoted field that does not end within %2 characters.  "
                                   "Nothing from this line on has been read.")
                        .arg(lineStart_)
                        .arg(csv::kMaxLine));
            else
                checkLine(bytes, QString(), physicalLine_);
            failed_ = true;
            return 0;
        }
    }
    split_.setLine(line);
    return total;
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

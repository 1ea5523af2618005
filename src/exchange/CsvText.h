#pragma once
// The comma-separated text layer shared by the import and the export: reading a file line by line
// and splitting a line into fields, and writing lines of fields. Every failure the user must hear
// of goes through the message service with its caption; the caller only sees a result.
//
// Reading accepts UTF-8 with or without a byte-order mark (a line that is not valid UTF-8 is read
// as Latin-1) and CRLF, LF or CR-only line ends (older spreadsheets end lines with CR alone).
// Blank lines (nothing, or only blanks and tabs) are skipped: they are no records. A quoted field
// goes on over the end of its line (as spreadsheets write a cell with line breaks) until its closing
// quote, the line breaks kept as written; without a closing quote it takes the rest of the file.
// One rule whatever follows, read in one pass. A file that is
// not text (NUL bytes, UTF-16 or UTF-32) is refused. A record longer than kMaxLine characters
// (a quote still open after that many included) or a field longer than kMaxField is reported with
// its line number, never cut. The file read is never written to.
//
// Writing produces RFC 4180 text: UTF-8 without a byte-order mark, CRLF line ends, text fields in
// double quotes with every inner quote doubled.

#include "core/Messages.h"
#include "core/Picture.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringDecoder>
#include <functional>

namespace td {

namespace csv {
inline constexpr int kMaxLine = 16000;
inline constexpr int kMaxField = 4000;

// The file dialogs of the import and the export (the windows show them, the layer names them).
inline const QString kImportDialogTitle = QStringLiteral("Import File");
inline const QString kExportDialogTitle = QStringLiteral("Export File");
// Filters as "description|pattern|description|pattern".
inline const QString kImportFilter = QStringLiteral("Import Files|*.CSV|All Files|*.*");
inline const QString kExportFilter = QStringLiteral("Export Files|*.CSV|All Files|*.*");

// "Error #" & code & " - " & text, the body of every file message.
QString errorText(int code, const QString& text);
} // namespace csv

// What the next field of a line was (the values are those the field splitter answers).
enum class CsvField : int { None = 0, Quoted = 1, Unquoted = 2 };

// Splits one line held in memory. position() is 1-based, 0 once the line is used up.
//  - at position 0, or when the rest of the line is blank: no further field (None);
//  - a field starting with a double quote is quoted: it ends at the next quote not followed by
//    another one, "" inside stands for one quote, and the separating comma is skipped; without a
//    closing quote it takes the rest of the line;
//  - otherwise the field ends before the next comma, or at the end of the line.
// So "a,,b" has three fields, the second empty, and "a, " has one.
class CsvSplitter {
public:
    CsvSplitter() = default;
    explicit CsvSplitter(const QString& line) { setLine(line); }
    void setLine(const QString& line);
    const QString& line() const { return line_; }
    int position() const { return pos_; }
    // The next field into `text`.
    CsvField next(QString& text);
    // Where a look for an open quote stopped: resumed when a line is added to the record.
    struct QuoteScan {
        qsizetype pos = 0;
        bool inside = false;
    };
    // Goes on over `line` from where `scan` stopped, by the splitting rules above; true when a
    // quoted field is still open at its end (the record goes on on the next line). Each character
    // is looked at once however many lines are added.
    static bool endsInsideQuotes(const QString& line, QuoteScan& scan);
    static bool endsInsideQuotes(const QString& line)
    {
        QuoteScan scan;
        return endsInsideQuotes(line, scan);
    }

private:
    QString line_;
    int pos_ = 0;
};

// A CSV file opened for reading.
class CsvReader {
public:
    explicit CsvReader(Messages& messages);
    ~CsvReader();
    CsvReader(const CsvReader&) = delete;
    CsvReader& operator=(const CsvReader&) = delete;

    enum class OpenResult {
        Opened,
        Failed, // "Cannot OPEN " & name, "Attention!" (empty file) or the not-text message shown:
                // a window asks for another file, the command line stops
    };
    // Opens `fileName` read-only. size() then gives its size in bytes.
    OpenResult open(const QString& fileName);
    // Asks for a file with `askFile` (blank answer: the user cancelled) until one opens; false
    // when cancelled. For callers that can ask synchronously (the command line, tests); a window
    // shows its file dialog itself and calls open() with the answer.
    bool openAsking(const std::function<QString()>& askFile);

    bool isOpen() const { return file_.isOpen(); }
    QString fileName() const { return name_; }
    qint64 size() const { return size_; }

    // Back to the first line.
    void rewind();
    // Reads the next line (a record: quoted line breaks included) and resets the field position to
    // 1. Returns the bytes it took from the file, 0 at the end or on an error (see failed()).
    qint64 readLine();
    const QString& line() const { return split_.line(); }
    // 1-based number of the physical line the current record started on.
    qint64 lineNumber() const { return lineStart_; }
    // A read stopped on an error (too long a line or field, not text, a read failure); its message
    // has been shown.
    bool failed() const { return failed_; }

    // The next field of the current line; text() holds it. A field longer than kMaxField shows a
    // message, sets failed() and answers None.
    CsvField nextField();
    const QString& text() const { return text_; }
    int position() const { return split_.position(); }

    void close();

    // Off: a read error stops the read without its message (a look ahead that the run reads again
    // later, where the message is given).
    void setReportErrors(bool on) { reportErrors_ = on; }
    // On: a read error's message waits for showDeferredError() (a run shows it once its slice is
    // committed, so that no transaction is open while the user reads it).
    void setDeferErrors(bool on) { deferErrors_ = on; }
    void showDeferredError();

private:
    enum class LineEnd { None, LF, CRLF, CR };
    bool fillBuffer();
    bool takePhysicalLine(QByteArray& out, qint64& taken, LineEnd& end);
    bool checkLine(const QByteArray& bytes, const QString& line, qint64 lineNo);
    QString decode(const QByteArray& bytes);
    void report(const QString& caption, const QString& text);
    bool refuseBinary(const QByteArray& head);

    Messages& messages_;
    QFile file_;
    QString name_;
    qint64 size_ = 0;
    QByteArray buffer_;
    qsizetype bufPos_ = 0;
    bool eof_ = false;
    qint64 physicalLine_ = 0;
    qint64 lineStart_ = 0;
    bool failed_ = false;
    bool reportErrors_ = true;
    bool deferErrors_ = false;
    QString deferredCaption_;
    QString deferredText_;
    CsvSplitter split_;
    QString text_;
    QStringDecoder utf8_;
};

// A CSV file being written.
class CsvWriter {
public:
    explicit CsvWriter(Messages& messages);
    ~CsvWriter(); // closes without messages when still open
    CsvWriter(const CsvWriter&) = delete;
    CsvWriter& operator=(const CsvWriter&) = delete;

    // Creates the file (emptied when it exists), then opens it for writing. False after
    // "Cannot CREATE " & name, or "Cannot OPEN " & name (the created file then removed).
    bool create(const QString& fileName);
    QString fileName() const { return name_; }
    bool isOpen() const { return file_.isOpen(); }

    // Empties the line.
    void startLine();
    // Appends a field (a comma first unless it is the line's first), formatted by the picture's
    // type, its second character:
    //   S/s  text: "value" with trailing blanks removed and inner quotes doubled. With `header`
    //        a value holding "[" has every "," and "[" turned into "_" and every "]" into a blank;
    //   N/n  number: the plain value, no quotes, no blanks, the picture not applied;
    //   else the value formatted by the picture, in quotes.
    // `value` is the stored value: a string for text and memo fields, a number otherwise.
    void addField(const QVariant& value, const QString& picture, bool header = false);
    // The same with the picture parsed once by the caller (a run writing many lines).
    void addField(const QVariant& value, const Picture& picture, bool header = false);
    // The line as built so far.
    const QString& currentLine() const { return line_; }
    // Writes the line. A failure asks "Cannot ADD to " & name with Retry and Abort (Abort the
    // default); false when the user aborted.
    bool addLine();
    // Flushes and closes; false after "Cannot CLOSE " & name.
    bool close();

    // The field text addField() appends, without the comma (tests, previews).
    static QString fieldText(const QVariant& value, const QString& picture, bool header = false);
    static QString fieldText(const QVariant& value, const Picture& picture, bool header = false);

private:
    bool flush();
    static void appendField(QString& out, const QVariant& value, const Picture& picture, bool header);

    Messages& messages_;
    QFile file_;
    QString name_;
    QString line_;
    bool firstField_ = true;
    QByteArray pending_;
};

} // namespace td

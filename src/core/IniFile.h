#pragma once
// INI files read and written by the Windows profile rules, for TDPRO97.INI, POSITION.INI and WIN.INI.
// Sections and keys are found ignoring letter case; keys and values are written exactly as given
// ("SRCF?Browse:1" stays as it is, backslashes and semicolons in values survive). Lines the program
// does not own (comments, blank lines, other programs' keys) are kept in place. A new key goes at the
// end of its section, a new section at the end of the file. Values are read with surrounding blanks
// removed and one pair of surrounding double quotes taken off. A missing file reads as empty. The
// file is replaced atomically on save, with the line ends it had (LF for a new file).
// The encoding is decided when the file is loaded: UTF-8 when it is valid UTF-8, otherwise the
// Windows code page 1252 of old files. A code-page file is written back in its code page while
// every character fits; a value that does not fit turns the whole file into UTF-8, so that no
// character is ever lost and every other value reads as before.
//
// QSettings is not used: it percent-encodes such keys, is case-sensitive, rewrites the whole file
// sorted and misreads backslashes.

#include <QString>
#include <QStringList>
#include <vector>

namespace td {

class IniFile {
public:
    IniFile() = default;
    // Loads the file at once; a missing file is an empty one.
    explicit IniFile(const QString& path);

    // Reads (again) from disk, dropping unsaved changes. False only when the file exists but cannot
    // be read; the contents are then empty.
    bool load();
    // Writes the file atomically (a temporary beside it, then renamed), creating its folder when
    // missing. False when it cannot be written; the old file is then untouched.
    bool save();

    QString path() const { return path_; }
    void setPath(const QString& path) { path_ = path; }
    bool isModified() const { return modified_; }
    QString errorString() const { return error_; }

    bool contains(const QString& section, const QString& key) const;
    QString value(const QString& section, const QString& key, const QString& def = {}) const;
    // The leading whole number of the value, like GetPrivateProfileInt: a missing or empty value
    // gives def, a value that does not start with a number gives 0.
    int intValue(const QString& section, const QString& key, int def) const;

    // False, and nothing changed, when the section, key or value could not be read back as written:
    // an empty key, a line break anywhere, "=" in the key, "]" in the section, or a key starting
    // with "[" or ";".
    bool setValue(const QString& section, const QString& key, const QString& value);
    bool removeKey(const QString& section, const QString& key); // false when not there
    bool removeSection(const QString& section); // false when not there

    QStringList sections() const;
    QStringList keys(const QString& section) const;

    // The file's text as it would be saved (for tests and diagnostics).
    QString text() const;

    // The leading whole number of a text by the rule of intValue (exposed for tests and callers
    // that read numbers out of longer values).
    static int leadingInt(const QString& text, int def);

private:
    struct Line {
        QString raw; // the line as read or written, without its line end
    };
    int findSection(const QString& section) const; // header line or -1
    int sectionEnd(int header) const; // index of next header or size
    int findKey(int header, const QString& key) const; // line or -1
    static bool parseKey(const QString& raw, QString* key, QString* value);
    static bool parseSection(const QString& raw, QString* name);
    QByteArray encoded(const QString& content, bool* inCodePage) const;

    QString path_;
    std::vector<Line> lines_;
    bool crlf_ = false;
    bool finalNewline_ = true;
    bool bom_ = false;
    bool codePage_ = false; // the file was not valid UTF-8: read in code page 1252
    bool modified_ = false;
    QString error_;
};

// One-call access, each reading (and, for changes, rewriting) the file. Keep these names: the rest
// of the program calls them with the paths from ConfigPaths.h.
namespace ini {
QString readString(const QString& path, const QString& section, const QString& key, const QString& def = {});
int readInt(const QString& path, const QString& section, const QString& key, int def);
bool writeString(const QString& path, const QString& section, const QString& key, const QString& value);
bool removeKey(const QString& path, const QString& section, const QString& key);
bool removeSection(const QString& path, const QString& section);
QStringList sections(const QString& path);
QStringList keys(const QString& path, const QString& section);
} // namespace ini

} // namespace td

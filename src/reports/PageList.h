#pragma once
// The pages of one run kept on disk: one page file (PageDoc.h) per finished page in a private
// temporary folder that goes with the list. Entries are file names; collated copies repeat the
// entries, not the files. Printing, the preview and PDF output read the pages one at a time.

#include "reports/PageDoc.h"

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace td {

class PageList {
public:
    PageList();
    ~PageList();
    PageList(const PageList&) = delete;
    PageList& operator=(const PageList&) = delete;

    // False (with errorText()) when no temporary folder could be made.
    bool isValid() const;
    QString errorText() const { return error_; }

    // Writes the page to a new file at the end of the list; false (with errorText()) when the
    // file cannot be written.
    bool append(const PageDoc& page);
    int count() const { return int(files_.size()); }
    bool isEmpty() const { return files_.isEmpty(); }
    const QStringList& files() const { return files_; }
    QString file(int index) const { return files_.value(index); }
    bool read(int index, PageDoc& page, QString* error = nullptr) const;

    // Keeps only the pages whose index `keep` answers true for; the files of the others are
    // deleted (unless another entry still names them).
    template <typename Pred>
    void retain(Pred keep)
    {
        QStringList kept;
        QStringList dropped;
        for (int i = 0; i < files_.size(); ++i)
            (keep(i) ? kept : dropped) << files_.at(i);
        files_ = kept;
        for (const QString& f : dropped)
            removeUnused(f);
    }
    // Makes the list print `copies` collated copies: 1-2-3, 1-2-3, ... (1 or less: unchanged).
    void handleCopies(int copies);
    // Empties the list and deletes its files.
    void clear();

private:
    void removeUnused(const QString& file);

    std::unique_ptr<QTemporaryDir> dir_;
    QStringList files_;
    int next_ = 0;
    QString error_;
};

// The page-of-pages marker a report prints where the page count belongs.
inline constexpr const char* kPageOfPagesMarker = "~!@#$";
// Overwrites the first marker in each file with `count` left-aligned in five characters. The file
// is read in chunks of 256 bytes that overlap by 11, so a marker across a chunk border is found; a
// file that cannot be opened or holds no marker is left as it is. Returns the files changed.
int fillPageOfPages(const QStringList& files, int count);

} // namespace td

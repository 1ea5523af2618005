#pragma once
// The import of songs from a comma-separated file, as the user runs it: the "Import File" dialog
// (asked again after a file that cannot be opened or is empty; cancelling ends), the window
// "Assign fields for Import..." that shows the file's fields beside the song's fields and assigns
// them, and the run in the progress window "Importing Records". Each window blocks only its caller.

#include "common/Request.h"
#include "exchange/ImportSetup.h"

#include <QDialog>
#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace td {

class AppState;
class Messages;

class ImportDialog : public QDialog {
    Q_OBJECT
public:
    // `reader` is the open file, on its first line; `fields` were built from it. The window keeps
    // the file open until the run takes it (takeReader) or the window goes.
    ImportDialog(Messages& messages, std::unique_ptr<CsvReader> reader, QList<ImportField> fields,
                 std::function<void()> help = {});
    ~ImportDialog() override;

    std::unique_ptr<CsvReader> takeReader();

    QList<ImportField> fields() const { return fields_; }
    const ImportAssignment& assignment() const { return assignment_; }
    bool stripHeader() const;
    // The answer to "Number the imported songs and link them to their albums now?" given on OK.
    bool linkSongs() const { return link_; }

    QTableWidget* importList() const { return importList_; }
    QTableWidget* targetList() const { return targetList_; }
    QLabel* recordNumber() const { return recNo_; }
    QPushButton* button(const QString& objectName) const;
    QCheckBox* stripHeaderCheck() const { return strip_; }

    void accept() override;

private:
    void next();
    void picture();
    void assign();
    void autoAssign();
    void unassign();
    void fillImportRow(int row);
    void fillTargetRow(int row);
    void importRowChanged();
    void targetRowChanged();

    Messages& messages_;
    std::unique_ptr<CsvReader> reader_;
    QList<ImportField> fields_;
    ImportAssignment assignment_;
    qint64 record_ = 1;
    qint64 consumed_ = 0;
    bool syncing_ = false;
    bool link_ = true;
    QTableWidget* importList_;
    QTableWidget* targetList_;
    QLabel* recNo_;
    QCheckBox* strip_;
    QPushButton* next_;
    QPushButton* auto_;
};

// Runs the import for `caller` (nullptr: from the frame). `done` runs once it is over: Completed
// after a run (even one stopped by an error: songs may have been added), Cancelled when the user
// cancelled before the run. `help` opens the help window (the "Help" button is disabled without).
void Import(AppState& state, QWidget* caller, std::function<void(Response)> done,
            std::function<void()> help = {});

} // namespace td

#pragma once
// The export of the songs to a comma-separated file, as the user runs it: the window "Choose
// Fields for Export..." (which fields, in which order, with which pictures, and the names line),
// the "Export File" dialog (cancelling ends) and the run in the progress window "Exporting
// Records". Each window blocks only its caller.

#include "common/Request.h"
#include "exchange/ExportRun.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace td {

class AppState;
class Messages;

class ExportDialog : public QDialog {
    Q_OBJECT
public:
    explicit ExportDialog(Messages& messages, std::function<void()> help = {});

    const QList<ExportField>& exportFields() const { return export_; }
    bool header() const;

    QTableWidget* allList() const { return allList_; }
    QTableWidget* exportList() const { return exportList_; }
    QLabel* pictureDisplay() const { return pictureShown_; }
    QCheckBox* headerCheck() const { return header_; }
    QPushButton* button(const QString& objectName) const;

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void add();
    void remove();
    void shift(bool up);
    void picture();
    void fillExportList(int current);
    void showPicture();

    Messages& messages_;
    QList<ExportField> export_;
    QTableWidget* allList_;
    QTableWidget* exportList_;
    QLabel* pictureShown_;
    QCheckBox* header_;
};

// Runs the export for `caller` (nullptr: from the frame). `done` runs once it is over: Completed
// after a run, Cancelled when the user cancelled before it or the file could not be made. `help`
// opens the help window (the "Help" button is disabled without).
void Export(AppState& state, QWidget* caller, std::function<void(Response)> done,
            std::function<void()> help = {});

} // namespace td

#pragma once
// The setup wizard: five pages asking a new user for the date format, a name for the user-defined
// key field and the lists to open at start-up. "&Finish" writes the preferences and marks the
// wizard completed; "Cancel" (or closing it any other way) ends the program without writing.

#include "common/GlobalSettings.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace td {

class AppState;

// Opens the wizard for `caller` (blocked while it is open; the window at the top of its chain is
// the main frame, which Cancel closes to end the program) and returns at once. `finished` runs once
// the preferences are written, unless the caller closed first.
void SetupWizard(AppState& state, QWidget* caller, std::function<void()> finished = {});

class SetupWizardDialog : public QDialog {
    Q_OBJECT
public:
    explicit SetupWizardDialog(AppState& state, QWidget* parent = nullptr);

    QTabWidget* pages() const { return pages_; }
    int page() const;
    void next();
    void back();

    void done(int r) override;

private:
    QWidget* page(const QString& name, const QString& picture, const QStringList& lines, QWidget* controls);
    void showPage(int index);
    void finishPressed();

    AppState& state_;
    QString iniPath_;
    QString formatInForce_;
    bool busy_ = false;
    QTabWidget* pages_ = nullptr;
    QComboBox* date_ = nullptr;
    QLabel* dateSample_ = nullptr;
    QLineEdit* udk_ = nullptr;
    QCheckBox* startUp_[4] = {};
    QPushButton* back_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* finish_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

} // namespace td

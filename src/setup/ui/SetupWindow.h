#pragma once
// The Preferences window: every preference on its tab, bound to the settings in memory (an edit
// takes effect at once), "&OK" writing them to the settings file, "Cancel" reading them back from
// it, "Use Setup Wi&zard" handing over to the setup wizard; and the two housekeeping runs.

#include <QDialog>
#include <QString>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace td {

class AppState;

// Opens the Preferences window for `caller` (blocked while it is open; nullptr: nobody) and returns
// at once; while the setup wizard has never been completed, the wizard runs instead. `closed` runs
// when the window (or the wizard it handed over to) has closed, unless the caller closed first or
// the program is ending.
void Setup(AppState& state, QWidget* caller, std::function<void()> closed = {});

class SetupWindow : public QDialog {
    Q_OBJECT
public:
    // The result when the window closes to run the setup wizard.
    static constexpr int UseWizard = 2;

    explicit SetupWindow(AppState& state, QWidget* parent = nullptr);

    QTabWidget* tabs() const { return tabs_; }
    // The date entry shown when the window opened.
    QString openedDateEntry() const { return openedEntry_; }

    void done(int r) override;

private:
    QWidget* buildGeneral();
    QWidget* buildStartUp();
    QWidget* buildAdding();
    QWidget* buildLabels();
    QWidget* buildHousekeeping();
    QWidget* buildLogo();
    // A group of radios storing the chosen radio's text in `value`.
    QWidget* radioGroup(const QString& title, const QString& name, const QStringList& texts, QString& value);
    QCheckBox* flagBox(const QString& text, const QString& name, bool& value);
    void housekeeping(const QString& question, void (*run)(AppState&, QWidget*, std::function<void()>));
    void browseLogo();
    void showSamples();
    void okPressed();

    AppState& state_;
    QString iniPath_;
    QString openedEntry_;
    bool busy_ = false;
    QTabWidget* tabs_ = nullptr;
    QComboBox* date_ = nullptr;
    QLabel* dateSample_ = nullptr;
    QLineEdit* udk_ = nullptr;
    QLabel* udkSample_ = nullptr;
    QLineEdit* notes_ = nullptr;
    QLineEdit* logo_ = nullptr;
    QLabel* logoSample_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* wizard_ = nullptr;
};

} // namespace td

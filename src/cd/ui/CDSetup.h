#pragma once
// "CD Player Preferences": how often the CD player asks the drive for its state. The eight choices
// are bound to the live CDTimer, so every open player follows a click at once; "&Ok" writes the
// value to the settings file, "Cancel" (or the close box) reads all settings back from it.

#include <QDialog>
#include <functional>

class QButtonGroup;
class QPushButton;

namespace td {

class AppState;

// Opens the window for `caller` (blocked while it is open) and returns at once; `closed` runs when
// it has closed, unless the caller closed first.
void CDSetup(AppState& state, QWidget* caller, std::function<void()> closed = {});

class CDSetupWindow : public QDialog {
    Q_OBJECT
public:
    explicit CDSetupWindow(AppState& state, QWidget* parent = nullptr);

    // The choice with this value's button, or nullptr when the value is none of the eight.
    QButtonGroup* choices() const { return group_; }
    void done(int r) override;

private:
    void okPressed();

    AppState& state_;
    QString iniPath_;
    QButtonGroup* group_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

} // namespace td

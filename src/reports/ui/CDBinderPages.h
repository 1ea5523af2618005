#pragma once
// "CD Binder Pages": the page style and the file-number range of the binder or flap pages, each end
// typed or looked up in the album picker. The values are those of the program run
// (AppState::criteria), offered again next time; "&OK" keeps them and prints, "Cancel" leaves them.

#include <QDialog>

class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace td {

class AppState;

// Opens the window over the frame of `near`; it blocks nobody.
void CDBinderPages(AppState& state, QWidget* near);

class CDBinderPagesDialog : public QDialog {
    Q_OBJECT
public:
    explicit CDBinderPagesDialog(AppState& state, QWidget* parent = nullptr);

protected:
    void done(int result) override;

private:
    void lookUp(QLineEdit* entry);

    AppState& state_;
    QRadioButton* binder_ = nullptr;
    QRadioButton* flap_ = nullptr;
    QLineEdit* start_ = nullptr;
    QLineEdit* end_ = nullptr;
    QToolButton* lookUpStart_ = nullptr;
    QToolButton* lookUpEnd_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

} // namespace td

#pragma once
// "Go to Page": the page number to show, 1 to the page count.

#include <QDialog>

class QSpinBox;

namespace td {

class GoToPageDialog : public QDialog {
    Q_OBJECT
public:
    GoToPageDialog(int pageCount, int current, QWidget* parent = nullptr);
    int page() const;

private:
    QSpinBox* page_;
};

} // namespace td

#pragma once
// "Print...": which pages of a preview go on: all, the marked ones, the unmarked ones or a range.
// The same window chooses the pages that "Save as PDF..." writes.

#include "reports/PreviewChoices.h"

#include <QDialog>

class QRadioButton;
class QSpinBox;

namespace td {

class PrintRangeDialog : public QDialog {
    Q_OBJECT
public:
    // `pageCount` pages of which `markedCount` are marked.
    PrintRangeDialog(const QString& caption, int pageCount, int markedCount, QWidget* parent = nullptr);

    PrintRange answer() const;

private:
    QRadioButton* all_;
    QRadioButton* marked_;
    QRadioButton* unmarked_;
    QRadioButton* range_;
    QSpinBox* from_;
    QSpinBox* to_;
};

} // namespace td

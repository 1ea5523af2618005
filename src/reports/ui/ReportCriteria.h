#pragma once
// "Report Criteria": the style, preview, custom font and "Selected" prefix every listing asks for.
// The window shows the shared criteria of the program run (AppState::criteria), so the last choice
// is offered again; "&Ok" writes the choice back, "Cancel" and the close box leave them as they were.

#include "common/GlobalSettings.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace td {

class AppState;

// Opens the window for `near` (placed over its frame; nothing is blocked) with the prompt
// "Select " + noun + " that start with:"; `answered` gets true on "&Ok" (the criteria hold the
// choice) and false when cancelled.
void openReportCriteria(
    AppState& state, QWidget* near, const QString& noun, std::function<void(bool completed)> answered);

class ReportCriteriaDialog : public QDialog {
    Q_OBJECT
public:
    ReportCriteriaDialog(const ReportCriteria& values, const QString& noun, QWidget* parent = nullptr);

    // The choice as the controls show it.
    ReportCriteria choice() const;
    // Writes the five criteria of the window into `c` (the page range there is left alone).
    void applyTo(ReportCriteria& c) const;
    static QString prompt(const QString& noun);

protected:
    void done(int result) override;

private:
    void includeChanged();

    ReportCriteria values_;
    QRadioButton* standard_ = nullptr;
    QRadioButton* brief_ = nullptr;
    QCheckBox* preview_ = nullptr;
    QCheckBox* customFont_ = nullptr;
    QRadioButton* all_ = nullptr;
    QRadioButton* selected_ = nullptr;
    QLabel* prompt_ = nullptr;
    QLineEdit* selection_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

} // namespace td

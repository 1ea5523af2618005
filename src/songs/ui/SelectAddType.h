#pragma once
// "Select Add Mode": asks which way a new song is added (a compilation, an album by a single artist,
// or one song with the song form).

#include <QDialog>
#include <functional>

class QButtonGroup;

namespace td {

// Asks for `caller` and answers the text of the chosen radio ("Compilation", "Single Artist",
// "Normal"); empty when the window was closed with Esc (the caller goes on with the song form).
void SelectAddType(QWidget* caller, std::function<void(const QString& mode)> answered);

class SelectAddTypeDialog : public QDialog {
    Q_OBJECT
public:
    explicit SelectAddTypeDialog(QWidget* parent = nullptr);
    QString answer() const;

private:
    QButtonGroup* mode_;
};

} // namespace td

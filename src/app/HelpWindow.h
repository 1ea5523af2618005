#pragma once
// The help: the HTML page shipped inside the program, shown in a window of our own so that it works
// on any machine, with or without a web browser. Links inside the page move within it; Back,
// Forward and Contents walk it from the keyboard. One help window at a time; its place is
// remembered in section "Help".

#include <QWidget>

class QLineEdit;
class QTextBrowser;
class QToolButton;

namespace td {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows a section of the page ("contents", "index", "using-help").
    void showSection(const QString& anchor);
    QTextBrowser* browser() const { return browser_; }

    static constexpr const char* kProcedure = "Help";

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void find(bool backward);

    QTextBrowser* browser_;
    QLineEdit* findText_;
    bool positioned_ = false;
    bool sectionShown_ = false;
};

} // namespace td

#include "app/HelpWindow.h"

#include "common/ui/WidgetPosition.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace td {

namespace {
const QUrl kPage(QStringLiteral("qrc:/help/TDP97.html"));
} // namespace

HelpWindow::HelpWindow(QWidget* parent)
    : QWidget(parent)
    , browser_(new QTextBrowser(this))
    , findText_(new QLineEdit(this))
{
    setObjectName(QString::fromLatin1(kProcedure));
    setWindowTitle(QStringLiteral("Tunedeck Pro 97 Help"));
    browser_->setObjectName(QStringLiteral("page"));
    // Links of the page stay in this window; a link leaving the program goes to the desktop.
    browser_->setOpenLinks(true);
    browser_->setOpenExternalLinks(true);
    browser_->setSource(kPage);

    auto button = [this](const QString& text, const char* name) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* contents = button(QStringLiteral("&Contents"), "contents");
    QPushButton* back = button(QStringLiteral("&Back"), "back");
    QPushButton* forward = button(QStringLiteral("For&ward"), "forward");
    QPushButton* next = button(QStringLiteral("Find &Next"), "findNext");
    QPushButton* close = button(QStringLiteral("C&lose"), "close");
    back->setEnabled(false);
    forward->setEnabled(false);
    auto* findLabel = new QLabel(QStringLiteral("&Find:"), this);
    findLabel->setBuddy(findText_);
    findText_->setObjectName(QStringLiteral("findText"));

    auto* bar = new QHBoxLayout;
    bar->addWidget(contents);
    bar->addWidget(back);
    bar->addWidget(forward);
    bar->addSpacing(12);
    bar->addWidget(findLabel);
    bar->addWidget(findText_, 1);
    bar->addWidget(next);
    bar->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(browser_, 1);

    connect(contents, &QPushButton::clicked, this, [this] { showSection(QStringLiteral("contents")); });
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    connect(next, &QPushButton::clicked, this, [this] { find(false); });
    connect(findText_, &QLineEdit::returnPressed, this, [this] { find(false); });
    connect(close, &QPushButton::clicked, this, [this] {
        if (QWidget* w = parentWidget(); w && !isWindow())
            w->close(); // the child window around it
        else
            this->close();
    });

    const QFontMetrics fm(font());
    resize(fm.averageCharWidth() * 80, fm.height() * 30);
}

void HelpWindow::showSection(const QString& anchor)
{
    QUrl url = kPage;
    url.setFragment(anchor);
    browser_->setSource(url);
    if (!sectionShown_) {
        // The page as first loaded is no place to go back to.
        sectionShown_ = true;
        browser_->clearHistory();
    }
    browser_->setFocus();
}

void HelpWindow::find(bool backward)
{
    const QString text = findText_->text();
    if (text.isEmpty())
        return;
    const QTextDocument::FindFlags flags
        = backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    if (!browser_->find(text, flags)) {
        // From the other end once more, so that Find Next goes round.
        QTextCursor c = browser_->textCursor();
        c.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
        browser_->setTextCursor(c);
        browser_->find(text, flags);
    }
}

void HelpWindow::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (!positioned_) {
        positioned_ = true;
        restorePosition(this, QString::fromLatin1(kProcedure));
    }
}

void HelpWindow::closeEvent(QCloseEvent* e)
{
    savePosition(this, QString::fromLatin1(kProcedure));
    QWidget::closeEvent(e);
}

} // namespace td

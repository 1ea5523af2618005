// The mechanism by which a form blocks only its caller: who is disabled and who is not, the answer
// delivered once, forms closed (newest first, their own forms before them) when the caller closes
// or is deleted, and no answer to a caller that is gone.

#include "FormDriver.h"
#include "common/ui/FormHost.h"

#include <QDialog>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QtTest>

using namespace td;

namespace {

// A dialog that notes when it takes its closing path.
class NotingDialog : public QDialog {
public:
    NotingDialog(const QString& name, QStringList* log)
        : log_(log)
    {
        setObjectName(name);
    }
    void done(int r) override
    {
        *log_ << objectName();
        QDialog::done(r);
    }

private:
    QStringList* log_;
};

// A frame with one child window, as the program has them.
struct Frame {
    QMainWindow window;
    QMdiArea* area = new QMdiArea;
    QWidget* list = new QWidget;
    QMdiSubWindow* sub = nullptr;
    Frame()
    {
        window.setCentralWidget(area);
        sub = area->addSubWindow(list);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        window.resize(640, 480);
        window.show();
        sub->show();
    }
};

} // namespace

class TestFormHost : public QObject {
    Q_OBJECT
private slots:
    void onlyTheCallerIsDisabled();
    void answerOnceThenCallerBack_data();
    void answerOnceThenCallerBack();
    void closingCallerClosesFormsNewestFirst();
    void deletedCallerGetsNoAnswer();
    void callerWithoutParentWindow();
};

void TestFormHost::onlyTheCallerIsDisabled()
{
    Frame f;
    QStringList log;
    auto* form = new NotingDialog("form", &log);
    openForm(f.list, form);
    QVERIFY(!f.list->isEnabled());
    // Qt disables a child window with its parent: the form must not be a child of its caller.
    QVERIFY(form->isEnabled());
    QVERIFY(form->isVisible());
    QCOMPARE(form->parentWidget(), &f.window);
    QVERIFY(!form->isModal());
    QVERIFY(f.window.isEnabled());
    QVERIFY(f.area->isEnabled());
    QCOMPARE(openForms(f.list), QList<QDialog*> { form });
    form->reject();
    QVERIFY(f.list->isEnabled());
    QVERIFY(openForms(f.list).isEmpty());
}

void TestFormHost::answerOnceThenCallerBack_data()
{
    QTest::addColumn<bool>("accept");
    QTest::newRow("OK") << true;
    QTest::newRow("Cancel") << false;
}

void TestFormHost::answerOnceThenCallerBack()
{
    QFETCH(bool, accept);
    Frame f;
    QList<int> answers;
    bool callerEnabledAtAnswer = false;
    QPointer<QDialog> form = new QDialog;
    openForm(f.list, form, [&](int r) {
        answers << r;
        callerEnabledAtAnswer = f.list->isEnabled();
    });
    QVERIFY(answers.isEmpty()); // no waiting: openForm returned at once
    accept ? form->accept() : form->reject();
    QCOMPARE(answers, QList<int> { accept ? QDialog::Accepted : QDialog::Rejected });
    // The caller may open its next form from the answer: it is enabled by then.
    QVERIFY(callerEnabledAtAnswer);
    QTRY_VERIFY(form.isNull());
    QCOMPARE(answers.size(), 1);
}

void TestFormHost::closingCallerClosesFormsNewestFirst()
{
    Frame f;
    QStringList log;
    int answered = 0;
    QPointer<QDialog> first = new NotingDialog("first", &log);
    QPointer<QDialog> second = new NotingDialog("second", &log);
    QPointer<QDialog> nested = new NotingDialog("nested", &log);
    openForm(f.list, first, [&](int) { ++answered; });
    openForm(f.list, second, [&](int) { ++answered; });
    openForm(first, nested, [&](int) { ++answered; }); // a picker opened by the first form
    QVERIFY(!first->isEnabled());
    QPointer<QMdiSubWindow> sub = f.sub;
    sub->close();
    QCOMPARE(log, (QStringList { "second", "nested", "first" }));
    QCOMPARE(answered, 0);
    QTRY_VERIFY(sub.isNull());
    QTRY_VERIFY(first.isNull() && second.isNull() && nested.isNull());
}

void TestFormHost::deletedCallerGetsNoAnswer()
{
    Frame f;
    QStringList log;
    auto* caller = new QWidget;
    f.area->addSubWindow(caller)->show();
    bool answered = false;
    QPointer<QDialog> picker = new NotingDialog("picker", &log);
    openForm(caller, picker, [&answered, caller](int) {
        answered = true;
        caller->setWindowTitle(QStringLiteral("used")); // would be a use after free
    });
    delete caller->parentWidget(); // the child window goes without a close event
    QCOMPARE(log, QStringList { "picker" });
    QVERIFY(!answered);
    if (picker)
        picker->accept(); // a late answer, if the picker were still there
    QVERIFY(!answered);
    QTRY_VERIFY(picker.isNull());
}

void TestFormHost::callerWithoutParentWindow()
{
    QWidget caller;
    caller.show();
    auto* form = new QDialog;
    openForm(&caller, form);
    QVERIFY(!caller.isEnabled());
    QVERIFY(form->isEnabled());
    QVERIFY(form->isVisible());
    QCOMPARE(form->windowHandle()->transientParent(), caller.windowHandle());
    closeForms(&caller);
    QVERIFY(caller.isEnabled());
    QVERIFY(!form->isVisible());
}

QTEST_MAIN(TestFormHost)
#include "tst_formhost.moc"

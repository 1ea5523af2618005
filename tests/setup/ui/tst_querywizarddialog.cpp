// The query wizard's windows driven as a user drives them: keys and clicks build, change and
// delete conditions; typed queries, saved queries, restricted and outdated ones, a damaged store.

#include "ScriptedMessages.h"
#include "TempWorkspace.h"
#include "TestApp.h"
#include "FormDriver.h"
#include "common/AppState.h"
#include "core/DayTime.h"
#include "data/Database.h"
#include "setup/QueryWizardFields.h"
#include "setup/QueryWizardStore.h"
#include "setup/QueryWizardTexts.h"
#include "setup/ui/QueryWizardDialog.h"
#include "setup/ui/QueryWizardSavedDialog.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

using namespace td;

namespace {

QueryFieldList fieldsFor(SongQueryList which)
{
    QueryFieldList list;
    AddQueryFields(list, songQueryFieldText(which));
    InitQueryFields(list, QStringLiteral("SONGS"));
    return list;
}

// One program run: a working folder, scripted messages, the texts handed over at start.
struct Run : test::TestApp {
    AppState& app = state;
    const QueryWizardTexts& texts = queryTexts;
    QString storePath() const { return ws.file(QStringLiteral("TDPQUERY")); }
};

// The wizard for no caller, waited for until it answers.
QueryWizardResult runWizard(AppState& app, const QueryFieldList& fields, const QString& group, const QString& current)
{
    test::Answer<QueryWizardResult> got;
    QueryWizard(app, fields, group, current, nullptr, got.answer());
    if (!got.wait()) {
        qWarning("the query wizard did not answer");
        return {};
    }
    return got.value();
}

// Waits until no window of type T is shown (the nested window has answered its caller).
template <typename T> bool closed()
{
    return QTest::qWaitFor(
        [] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (qobject_cast<T*>(w) && w->isVisible())
                    return false;
            return true;
        },
        5000);
}

template <typename T> T* child(QWidget* w, const char* name)
{
    T* c = w->findChild<T*>(QLatin1String(name));
    if (!c)
        qWarning("no child %s", name);
    return c;
}

// Runs f on the next visible dialog of type T once it is shown (a nested modal window).
template <typename T> void whenShown(std::function<void(T*)> f)
{
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, f] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* d = qobject_cast<T*>(w); d && d->isVisible()) {
                timer->stop();
                timer->deleteLater();
                f(d);
                // A step that failed must not leave the test waiting on an open window.
                QTimer::singleShot(3000, d, [d] {
                    if (d->isVisible())
                        d->reject();
                });
                return;
            }
        }
        if (++*tries > 500) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(10);
}

void activate(QWidget* w)
{
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
}

// Alt and a mnemonic, in the widget's window made active (shortcuts only reach the active window).
// A button clicks itself a moment after its shortcut, so give it that moment.
void alt(QWidget* w, Qt::Key key)
{
    if (!w->window()->isActiveWindow()) {
        w->window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w->window()));
    }
    QTest::keyClick(w, key, Qt::AltModifier);
    QTest::qWait(150);
}

// Typing the first letters of an entry (a blank would open the list, so none in text).
void chooseByTyping(QComboBox* combo, const QString& text)
{
    combo->setFocus();
    QTest::qWait(QApplication::keyboardInputInterval() + 20); // a new search, not the last one continued
    QTest::keyClicks(combo, text);
    QCOMPARE(combo->currentText().left(text.size()), text);
}

// Home, then Down until the entry shows.
void chooseByArrows(QComboBox* combo, const QString& text)
{
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Home);
    for (int i = 0; i < combo->count() && combo->currentText() != text; ++i)
        QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->currentText(), text);
}

QStringList rows(QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

void clickRow(QListWidget* list, int row)
{
    const QRect r = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    QCOMPARE(list->currentRow(), row);
}

SavedQuery saved(const char* name, const QString& expression, bool restricted = false)
{
    SavedQuery q;
    q.group = QStringLiteral("SONGS");
    q.name = QLatin1String(name);
    q.expression = expression;
    q.restricted = restricted;
    return q;
}

} // namespace

class TestQueryWizardDialog : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void buildByKeyboardAndMouse();
    void enterSearchesAtOnce();
    void changeAndDeleteConditions();
    void invalidValues_data();
    void invalidValues();
    void choiceField();
    void manualQuery();
    void cancelKeepsFilter();
    void emptyFieldListRefused();
    void saveThenSelect();
    void editedSavedQueryAsksToSave();
    void mnemonicsUnique();
    void restrictedQuery();
    void queryNoLongerValid();
    void damagedStore();
};

void TestQueryWizardDialog::buildByKeyboardAndMouse()
{
    Run run;
    const QueryFieldList fields = fieldsFor(SongQueryList::SongList);
    QueryWizardDialog dlg(run.app, run.texts, fields, "SONGS", QString());
    activate(&dlg);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Query Wizard"));
    QCOMPARE(child<QLabel>(&dlg, "queryName")->text(), QStringLiteral("Custom Query..."));

    // Artist begins with "be", by keys and mnemonics only.
    chooseByTyping(child<QComboBox>(&dlg, "field"), "Ar");
    alt(&dlg, Qt::Key_P);
    QVERIFY(child<QComboBox>(&dlg, "operation")->hasFocus());
    QTest::keyClicks(child<QComboBox>(&dlg, "operation"), "Beg");
    QCOMPARE(child<QComboBox>(&dlg, "operation")->currentText(), QStringLiteral("Begins With"));
    alt(&dlg, Qt::Key_V);
    QVERIFY(child<QLineEdit>(&dlg, "value")->hasFocus());
    QTest::keyClicks(child<QLineEdit>(&dlg, "value"), "be");
    alt(&dlg, Qt::Key_A);
    QCOMPARE(dlg.conditions().size(), 1);

    // Or chart greater than 20, the condition added with the mouse.
    alt(&dlg, Qt::Key_I);
    chooseByTyping(child<QComboBox>(&dlg, "field"), "Cha");
    chooseByArrows(child<QComboBox>(&dlg, "operation"), "Is Greater Than");
    child<QLineEdit>(&dlg, "value")->clear();
    QTest::keyClicks(child<QLineEdit>(&dlg, "value"), "20");
    QTest::mouseClick(child<QPushButton>(&dlg, "addOr"), Qt::LeftButton);

    // And a release date from 1997 on: joins the second group.
    chooseByTyping(child<QComboBox>(&dlg, "field"), "Rel");
    chooseByArrows(child<QComboBox>(&dlg, "operation"), "Is Greater Than or Equal To");
    child<QLineEdit>(&dlg, "value")->setText(QStringLiteral("01/01/1997"));
    QTest::mouseClick(child<QPushButton>(&dlg, "addAnd"), Qt::LeftButton);

    QCOMPARE(rows(child<QListWidget>(&dlg, "conditions")),
        QStringList({ "Artist Begins With \"be\"", "OR Chart Is Greater Than \"20\"",
            "AND Release Is Greater Than or Equal To \"01/01/1997\"" }));
    const QString expected = QStringLiteral("SUB(UPPER(MUS:Artist),1,2) = UPPER('be') OR "
                                            "(MUS:ChartNumber > 20 AND MUS:ReleaseDate >= %1)")
                                 .arg(dayFromDate(QDate(1997, 1, 1)));
    QCOMPARE(child<QPlainTextEdit>(&dlg, "expression")->toPlainText(), expected);

    alt(&dlg, Qt::Key_F);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(dlg.filter(), expected);
    QVERIFY(run.script->asked().isEmpty());
}

void TestQueryWizardDialog::enterSearchesAtOnce()
{
    Run run;
    const QueryFieldList fields = fieldsFor(SongQueryList::SongList);
    QueryWizardDialog dlg(run.app, run.texts, fields, "SONGS", QString());
    activate(&dlg);
    chooseByTyping(child<QComboBox>(&dlg, "field"), "Ti");
    chooseByTyping(child<QComboBox>(&dlg, "operation"), "Con");
    child<QLineEdit>(&dlg, "value")->setFocus();
    QTest::keyClicks(child<QLineEdit>(&dlg, "value"), "love");
    QTest::keyClick(child<QLineEdit>(&dlg, "value"), Qt::Key_Return);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(dlg.filter(), QStringLiteral("INSTRING(UPPER('love'),UPPER(MUS:Title),1,1) > 0"));
}

void TestQueryWizardDialog::changeAndDeleteConditions()
{
    Run run;
    const QueryFieldList fields = fieldsFor(SongQueryList::SongList);
    const QString start
        = QStringLiteral("MUS:Artist = 'Beatles' AND MUS:ChartNumber > 20 OR MUS:Style = 'Rock'");
    QueryWizardDialog dlg(run.app, run.texts, fields, "SONGS", start);
    activate(&dlg);
    QVERIFY(!dlg.isManual());
    auto* list = child<QListWidget>(&dlg, "conditions");
    QCOMPARE(list->count(), 3);

    // The highlighted condition comes back into the controls; Change replaces it.
    clickRow(list, 1);
    QCOMPARE(child<QComboBox>(&dlg, "field")->currentText(), QStringLiteral("Chart"));
    QCOMPARE(child<QComboBox>(&dlg, "operation")->currentText(), QStringLiteral("Is Greater Than"));
    QCOMPARE(child<QLineEdit>(&dlg, "value")->text(), QStringLiteral("20"));
    child<QLineEdit>(&dlg, "value")->setText(QStringLiteral("30"));
    alt(&dlg, Qt::Key_C);
    QCOMPARE(child<QPlainTextEdit>(&dlg, "expression")->toPlainText(),
        QStringLiteral("(MUS:Artist = 'Beatles' AND MUS:ChartNumber > 30) OR MUS:Style = 'Rock'"));

    // Deleting the first condition: the next one starts the query.
    clickRow(list, 0);
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(rows(list), QStringList({ "Chart Is Greater Than \"30\"", "OR Style Is Equal To \"Rock\"" }));
    QCOMPARE(list->currentRow(), 0);
    QTest::mouseClick(child<QPushButton>(&dlg, "delete"), Qt::LeftButton);
    QCOMPARE(child<QPlainTextEdit>(&dlg, "expression")->toPlainText(), QStringLiteral("MUS:Style = 'Rock'"));
    QTest::mouseClick(child<QPushButton>(&dlg, "delete"), Qt::LeftButton);
    QCOMPARE(list->count(), 0);
    QVERIFY(!child<QPushButton>(&dlg, "delete")->isEnabled());
    QVERIFY(!child<QPushButton>(&dlg, "change")->isEnabled());

    // Finishing with no condition lists every song.
    child<QLineEdit>(&dlg, "value")->clear();
    child<QComboBox>(&dlg, "field")->setCurrentIndex(0);
    child<QComboBox>(&dlg, "operation")->setCurrentIndex(0);
    QTest::mouseClick(child<QPushButton>(&dlg, "finish"), Qt::LeftButton);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(dlg.filter(), QString());
}

void TestQueryWizardDialog::invalidValues_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("30 February") << "Release"
                                 << "02/30/1997"
                                 << "The value is not a valid date.|Please type a date such as 12/31/1997.";
    QTest::newRow("time past the hour")
        << "Time"
        << "99:99:99"
        << "The value is not a valid time.|Please type a time such as 00:03:45.";
    QTest::newRow("negative track") << "Track"
                                    << "-4"
                                    << "The value is not a valid number for this field.";
}

void TestQueryWizardDialog::invalidValues()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    Run run;
    const QueryFieldList fields = fieldsFor(SongQueryList::SongList);
    QueryWizardDialog dlg(run.app, run.texts, fields, "SONGS", QString());
    activate(&dlg);
    auto* combo = child<QComboBox>(&dlg, "field");
    combo->setCurrentIndex(combo->findText(field));
    child<QLineEdit>(&dlg, "value")->setText(typed);
    QTest::mouseClick(child<QPushButton>(&dlg, "addAnd"), Qt::LeftButton);
    QCOMPARE(run.script->captions(), QStringList({ "Invalid Value" }));
    QCOMPARE(run.script->asked().first().text, message);
    QVERIFY(dlg.conditions().isEmpty());
    QVERIFY(child<QLineEdit>(&dlg, "value")->hasFocus());

    // Finish refuses it as well and stays open.
    QTest::mouseClick(child<QPushButton>(&dlg, "finish"), Qt::LeftButton);
    QVERIFY(dlg.isVisible());
    QCOMPARE(run.script->asked().size(), 2);
}

void TestQueryWizardDialog::choiceField()
{
    Run run;
    const QueryFieldList fields = fieldsFor(SongQueryList::SongList);
    QueryWizardDialog dlg(run.app, run.texts, fields, "SONGS", QString());
    activate(&dlg);
    chooseByTyping(child<QComboBox>(&dlg, "field"), "Sid");
    auto* choice = child<QComboBox>(&dlg, "choice");
    QVERIFY(choice->isVisible());
    QVERIFY(!child<QLineEdit>(&dlg, "value")->isVisible());
    QStringList items;
    for (int i = 0; i < choice->count(); ++i)
        items << choice->itemText(i);
    QCOMPARE(items, QStringList({ " (N/A)", "A", "B", "1", "2" }));
    alt(&dlg, Qt::Key_V);
    QVERIFY(choice->hasFocus());
    QCOMPARE(choice->currentText(), QStringLiteral(" (N/A)"));
    alt(&dlg, Qt::Key_A);
    choice->setCurrentIndex(2);
    alt(&dlg, Qt::Key_O);
    QCOMPARE(child<QPlainTextEdit>(&dlg, "expression")->toPlainText(),
        QStringLiteral("MUS:Side = '' OR MUS:Side = 'B'"));
    QCOMPARE(rows(child<QListWidget>(&dlg, "conditions")).first(),
        QStringLiteral("Side / Disc Is Equal To \" (N/A)\""));

    // Is Checked needs no value: the choice is disabled.
    chooseByArrows(child<QComboBox>(&dlg, "operation"), "Is Checked");
    QVERIFY(!choice->isEnabled());
}

void TestQueryWizardDialog::manualQuery()
{
    Run run;
    const QueryFieldList fields = fieldsFor(SongQueryList::SongList);
    QueryWizardDialog dlg(run.app, run.texts, fields, "SONGS", QStringLiteral("MUS:Artist = 'A'"));
    activate(&dlg);
    auto* expression = child<QPlainTextEdit>(&dlg, "expression");
    QVERIFY(expression->isReadOnly());
    alt(&dlg, Qt::Key_M);
    QVERIFY(dlg.isManual());
    QVERIFY(!expression->isReadOnly());
    QVERIFY(!child<QComboBox>(&dlg, "field")->isEnabled());
    QVERIFY(expression->hasFocus());
    QTest::keyClicks(expression, " AND (MUS:Title = ");

    // A text that does not parse is refused, the wizard stays open.
    alt(&dlg, Qt::Key_F);
    QCOMPARE(run.script->captions(), QStringList({ "Invalid Query" }));
    QCOMPARE(run.script->asked().first().text,
        QStringLiteral(
            "The query you have designed is invalid.|Please review your query and correct the problem."));
    QVERIFY(dlg.isVisible());

    // Back to conditions: a text of another form is kept unless the user discards it.
    QTest::keyClicks(expression, "'x' OR MUS:Title = 'y')");
    run.script->plan(No);
    QTest::mouseClick(child<QPushButton>(&dlg, "manual"), Qt::LeftButton);
    QVERIFY(dlg.isManual());
    QCOMPARE(run.script->captions().last(), QStringLiteral("Query Wizard"));

    alt(&dlg, Qt::Key_F);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(dlg.filter(), QStringLiteral("MUS:Artist = 'A' AND (MUS:Title = 'x' OR MUS:Title = 'y')"));
}

void TestQueryWizardDialog::cancelKeepsFilter()
{
    Run run;
    const QueryFieldList fields = fieldsFor(SongQueryList::SongList);
    whenShown<QueryWizardDialog>([](QueryWizardDialog* d) {
        d->findChild<QLineEdit*>("value")->setText("x");
        d->findChild<QPushButton*>("addAnd")->click();
        QTest::keyClick(d, Qt::Key_Escape);
    });
    const QueryWizardResult r = runWizard(run.app, fields, "SONGS", "MUS:Style = 'Rock'");
    QVERIFY(!r.completed);
    QCOMPARE(r.filter, QStringLiteral("MUS:Style = 'Rock'"));

    whenShown<QueryWizardDialog>([](QueryWizardDialog* d) { d->findChild<QPushButton*>("finish")->click(); });
    const QueryWizardResult same = runWizard(run.app, fields, "SONGS", "MUS:Style = 'Rock'");
    QVERIFY(same.completed);
    QCOMPARE(same.filter, QStringLiteral("MUS:Style = 'Rock'"));
}

void TestQueryWizardDialog::emptyFieldListRefused()
{
    Run run;
    const QueryWizardResult r = runWizard(run.app, QueryFieldList(), "SONGS", "x");
    QVERIFY(!r.completed);
    QCOMPARE(r.filter, QStringLiteral("x"));
    QCOMPARE(run.script->captions(), QStringList({ "Query Wizard Error# 1" }));
}

void TestQueryWizardDialog::saveThenSelect()
{
    Run run;
    const QueryFieldList fields = fieldsFor(SongQueryList::SongList);
    {
        QueryWizardDialog dlg(run.app, run.texts, fields, "SONGS", QString());
        activate(&dlg);
        chooseByTyping(child<QComboBox>(&dlg, "field"), "Sty");
        child<QLineEdit>(&dlg, "value")->setText("Rock");
        alt(&dlg, Qt::Key_A);

        // First without a name: asked for one, then saved.
        whenShown<QueryDescriptionDialog>([](QueryDescriptionDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Save Query"));
            d->findChild<QPushButton*>("save")->click();
            whenShown<QueryDescriptionDialog>([](QueryDescriptionDialog* d2) {
                QTest::keyClicks(d2->findChild<QLineEdit*>("name"), "Rock songs");
                d2->findChild<QPlainTextEdit*>("description")->setPlainText("All the rock");
                QTest::keyClick(d2->findChild<QLineEdit*>("name"), Qt::Key_Return);
            });
        });
        alt(&dlg, Qt::Key_S);
        QVERIFY(closed<QueryDescriptionDialog>());
        QCOMPARE(run.script->captions(), QStringList({ "Query Name Required" }));
        QCOMPARE(child<QLabel>(&dlg, "queryName")->text(), QStringLiteral("Rock songs"));
        QVERIFY(dlg.isEditingSaved());
        dlg.reject();
    }
    QueryStore store(run.storePath());
    QCOMPARE(store.load(), QueryStore::Result::Ok);
    QCOMPARE(store.find("SONGS", "rock songs")->expression, QStringLiteral("MUS:Style = 'Rock'"));
    QCOMPARE(store.find("SONGS", "rock songs")->description, QStringLiteral("All the rock"));

    // A new search selects it from the saved queries, after asking to drop the query being built.
    run.script->clear();
    QueryWizardDialog dlg(run.app, run.texts, fields, "SONGS", QString());
    activate(&dlg);
    child<QLineEdit>(&dlg, "value")->setText("x");
    alt(&dlg, Qt::Key_A);
    whenShown<SavedQueriesDialog>([](SavedQueriesDialog* d) {
        auto* list = d->findChild<QListWidget*>("queries");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(0)->text(), QStringLiteral("All Records"));
        QCOMPARE(list->item(1)->text(), QStringLiteral("Rock songs"));
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(d->findChild<QLabel*>("description")->text(), QStringLiteral("All the rock"));
        QTest::keyClick(list, Qt::Key_Return); // "&Select" is the default
    });
    run.script->plan(Yes);
    alt(&dlg, Qt::Key_Q);
    QVERIFY(closed<SavedQueriesDialog>());
    QCOMPARE(run.script->captions(), QStringList({ "Overwrite Query" }));
    QCOMPARE(child<QLabel>(&dlg, "queryName")->text(), QStringLiteral("Rock songs"));
    QVERIFY(!dlg.isEditingSaved());
    QCOMPARE(dlg.focusWidget(), child<QPushButton>(&dlg, "finish"));
    QTest::keyClick(&dlg, Qt::Key_Return);
    QCOMPARE(dlg.filter(), QStringLiteral("MUS:Style = 'Rock'"));
}

void TestQueryWizardDialog::editedSavedQueryAsksToSave()
{
    Run run;
    const QueryFieldList fields = fieldsFor(SongQueryList::SongList);
    QueryStore store(run.storePath());
    SavedQuery q = saved("Old", "MUS:Artist = 'A'");
    q.description = QStringLiteral("kept");
    QCOMPARE(store.save(q), QueryStore::Result::Ok);

    QueryWizardDialog dlg(run.app, run.texts, fields, "SONGS", QString());
    activate(&dlg);
    whenShown<SavedQueriesDialog>([](SavedQueriesDialog* d) {
        d->findChild<QListWidget*>("queries")->setCurrentRow(1);
        d->findChild<QPushButton*>("change")->click();
    });
    QTest::mouseClick(child<QPushButton>(&dlg, "savedQueries"), Qt::LeftButton);
    QVERIFY(closed<SavedQueriesDialog>());
    QVERIFY(dlg.isEditingSaved());
    QCOMPARE(dlg.conditions().size(), 1);

    clickRow(child<QListWidget>(&dlg, "conditions"), 0);
    child<QLineEdit>(&dlg, "value")->setText("B");
    QTest::mouseClick(child<QPushButton>(&dlg, "change"), Qt::LeftButton);
    run.script->plan(Yes);
    QTest::mouseClick(child<QPushButton>(&dlg, "finish"), Qt::LeftButton);
    QCOMPARE(run.script->captions(), QStringList({ "Save Query" }));
    QCOMPARE(run.script->asked().first().text, QStringLiteral("Would you like to save this query?"));
    QCOMPARE(dlg.filter(), QStringLiteral("MUS:Artist = 'B'"));
    store.load();
    QCOMPARE(store.find("SONGS", "Old")->expression, QStringLiteral("MUS:Artist = 'B'"));
    QCOMPARE(store.find("SONGS", "Old")->description, QStringLiteral("kept"));
}

void TestQueryWizardDialog::restrictedQuery()
{
    Run run;
    const QueryFieldList fields = fieldsFor(SongQueryList::SongList);
    QueryStore store(run.storePath());
    QCOMPARE(store.save(saved("Top Ten", "MUS:ChartNumber <= 10", true)), QueryStore::Result::Ok);

    SavedQueriesDialog dlg(run.app, run.texts, store, "SONGS", fields, "MUS:Artist = 'x'", true, QString());
    activate(&dlg);
    auto* list = child<QListWidget>(&dlg, "queries");
    QCOMPARE(list->item(1)->text(), QStringLiteral("Top Ten (restricted)"));
    clickRow(list, 1);
    QTest::mouseClick(child<QPushButton>(&dlg, "change"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(&dlg, "delete"), Qt::LeftButton);
    QCOMPARE(run.script->captions(), QStringList({ "Restricted Query", "Restricted Query" }));
    QCOMPARE(run.script->asked().first().text,
        QStringLiteral("Sorry, this is a restricted query and may not be modified."));
    QVERIFY(dlg.isVisible());

    // Saving the wizard's query under its name is refused too; then it goes in under another.
    run.script->clear();
    whenShown<QueryDescriptionDialog>([](QueryDescriptionDialog* d) {
        d->findChild<QLineEdit*>("name")->setText("top ten");
        d->findChild<QPushButton*>("save")->click();
        whenShown<QueryDescriptionDialog>([](QueryDescriptionDialog* d2) {
            d2->findChild<QLineEdit*>("name")->setText("Mine");
            d2->findChild<QPushButton*>("save")->click();
        });
    });
    alt(&dlg, Qt::Key_I);
    QVERIFY(closed<QueryDescriptionDialog>());
    QCOMPARE(run.script->captions(), QStringList({ "Restricted Query" }));
    QCOMPARE(dlg.inserted(), QStringLiteral("Mine"));
    QCOMPARE(rows(list), QStringList({ "All Records", "Mine", "Top Ten (restricted)" }));
    QCOMPARE(list->currentRow(), 1);

    // Selecting a restricted query is allowed.
    clickRow(list, 2);
    QTest::mouseClick(child<QPushButton>(&dlg, "select"), Qt::LeftButton);
    QCOMPARE(dlg.action(), SavedQueriesDialog::Action::Select);
    QCOMPARE(dlg.chosen().expression, QStringLiteral("MUS:ChartNumber <= 10"));
    store.load();
    QCOMPARE(store.find("SONGS", "Top Ten")->expression, QStringLiteral("MUS:ChartNumber <= 10"));
}

void TestQueryWizardDialog::queryNoLongerValid()
{
    Run run;
    // Saved from the song list; the DJ list has no MED:Media.
    QueryStore store(run.storePath());
    QCOMPARE(store.save(saved("By media", "MED:Media = 'CD'")), QueryStore::Result::Ok);
    const QueryFieldList dj = fieldsFor(SongQueryList::DjList);

    {
        SavedQueriesDialog dlg(run.app, run.texts, store, "SONGS", dj, QString(), true, QString());
        activate(&dlg);
        child<QListWidget>(&dlg, "queries")->setCurrentRow(1);
        QTest::mouseClick(child<QPushButton>(&dlg, "select"), Qt::LeftButton);
        QCOMPARE(run.script->captions(), QStringList({ "Query No Longer Valid" }));
        QVERIFY(run.script->asked().first().text.endsWith("before it can be used."));
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.action(), SavedQueriesDialog::Action::None);
    }

    // Changing it opens it as typed text, to be put right.
    run.script->clear();
    QueryWizardDialog wizard(run.app, run.texts, dj, "SONGS", QString());
    activate(&wizard);
    whenShown<SavedQueriesDialog>([](SavedQueriesDialog* d) {
        d->findChild<QListWidget*>("queries")->setCurrentRow(1);
        d->findChild<QPushButton*>("change")->click();
    });
    QTest::mouseClick(child<QPushButton>(&wizard, "savedQueries"), Qt::LeftButton);
    QVERIFY(closed<SavedQueriesDialog>());
    QCOMPARE(run.script->captions(), QStringList({ "Query No Longer Valid" }));
    QVERIFY(run.script->asked().first().text.endsWith("necessary corrections to fix this query."));
    QVERIFY(wizard.isManual());
    QCOMPARE(wizard.expressionText(), QStringLiteral("MED:Media = 'CD'"));
    QTest::mouseClick(child<QPushButton>(&wizard, "finish"), Qt::LeftButton);
    QCOMPARE(run.script->captions().last(), QStringLiteral("Invalid Query"));
    QVERIFY(wizard.isVisible());
}

void TestQueryWizardDialog::damagedStore()
{
    Run run;
    {
        QFile f(run.storePath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a store");
    }
    const QueryFieldList fields = fieldsFor(SongQueryList::SongList);
    QueryWizardDialog wizard(run.app, run.texts, fields, "SONGS", QStringLiteral("MUS:Artist = 'x'"));
    activate(&wizard);
    whenShown<SavedQueriesDialog>([](SavedQueriesDialog* d) {
        QCOMPARE(d->findChild<QListWidget*>("queries")->count(), 1); // "All Records" only
        d->findChild<QPushButton*>("select")->click();
    });
    QTest::mouseClick(child<QPushButton>(&wizard, "savedQueries"), Qt::LeftButton);
    QVERIFY(closed<SavedQueriesDialog>());
    QCOMPARE(run.script->captions(), QStringList({ "ErrorLoadingQuery" }));
    QCOMPARE(run.script->asked().first().text,
        QStringLiteral("An error has prevented the Query Wizard from loading your query at this time."));
    // "All Records" empties the query.
    QVERIFY(wizard.conditions().isEmpty());
    QCOMPARE(wizard.expressionText(), QString());
}

void TestQueryWizardDialog::mnemonicsUnique()
{
    Run run;
    const QueryFieldList fields = fieldsFor(SongQueryList::SongList);
    QueryStore store(run.storePath());
    QueryWizardDialog wizard(run.app, run.texts, fields, "SONGS", QString());
    SavedQueriesDialog saved(run.app, run.texts, store, "SONGS", fields, QString(), true, QString());
    QueryDescriptionDialog description(run.texts, QString(), QString());
    QCOMPARE(test::duplicateMnemonics(&wizard), QStringList());
    QCOMPARE(test::duplicateMnemonics(&saved), QStringList());
    QCOMPARE(test::duplicateMnemonics(&description), QStringList());
}

QTEST_MAIN(TestQueryWizardDialog)
#include "tst_querywizarddialog.moc"

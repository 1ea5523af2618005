// The import and export windows: the picture dialog's check, assigning import fields (by hand,
// automatically from a names line, partners shown in both lists), choosing export fields, the
// messages for an empty choice, and an export and an import run through the windows.

#include "FormDriver.h"
#include "TestApp.h"
#include "app/FrameWiring.h"
#include "app/MainFrame.h"
#include "data/TableHandle.h"
#include "exchange/ui/AskPicture.h"
#include "exchange/ui/ExportWindow.h"
#include "exchange/ui/ImportWindow.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableWidget>
#include <QtTest>

using namespace td;
using td::test::TestApp;

namespace {

QString writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    f.write(bytes);
    return path;
}

// The import window on `csv`, as the file dialog's answer opens it.
std::unique_ptr<ImportDialog> importWindow(TestApp& t, const QByteArray& csv)
{
    auto reader = std::make_unique<CsvReader>(t.messages);
    if (reader->open(writeFile(t.ws.file(QStringLiteral("in.csv")), csv)) != CsvReader::OpenResult::Opened)
        return {};
    QList<ImportField> fields;
    if (!buildImportFields(*reader, fields))
        return {};
    return std::make_unique<ImportDialog>(t.messages, std::move(reader), fields);
}

QStringList column(const QTableWidget* list, int col)
{
    QStringList out;
    for (int row = 0; row < list->rowCount(); ++row)
        out << (list->item(row, col) ? list->item(row, col)->text() : QString());
    return out;
}

void clickRow(QTableWidget* list, int row, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    list->scrollToItem(list->item(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, mods, list->visualItemRect(list->item(row, 0)).center());
}

qint64 songCount(Database& db)
{
    Table<Tunedeck> t(db);
    t.set(t.key(QStringLiteral("MUS:SongsByArtist")));
    qint64 n = 0;
    while (t.next() == 0)
        ++n;
    return n;
}

void pickFile(QDialog* d, const QString& file)
{
    // Typed as the user would: the dialog's own list of the folder may still be loading.
    auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(qobject_cast<QFileDialog*>(d) && name);
    name->setText(file);
    d->accept();
}

} // namespace

class TestExchangeWindows : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { test::dropFormWatchers(); }

    // An entry without "@" is refused and keeps the focus; OK answers the entry, Cancel a blank.
    void askPicture_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("refused");
        QTest::newRow("picture") << "@d17-" << true << "@d17-" << false;
        QTest::newRow("no at sign") << "d17" << true << "" << true;
        QTest::newRow("blank") << "" << true << "" << true;
        QTest::newRow("cancelled") << "@n3" << false << "" << false;
    }
    void askPicture()
    {
        QFETCH(QString, entry);
        QFETCH(bool, ok);
        QFETCH(QString, answer);
        QFETCH(bool, refused);
        TestApp t;
        QWidget caller;
        caller.show();
        test::Answer<QString> got;
        ImportExport_AskPicture(&caller, t.messages, QStringLiteral("@s40"), got.answer());
        auto* d = qobject_cast<AskPictureDialog*>(test::shownDialog(QStringLiteral("EnterPicture")));
        QVERIFY(d);
        QCOMPARE(d->windowTitle(), QStringLiteral("Enter Picture..."));
        QCOMPARE(d->entry()->text(), QStringLiteral("@s40"));
        QVERIFY(!caller.isEnabled());
        d->entry()->setText(entry);
        QTest::mouseClick(d->findChild<QPushButton*>(ok ? QStringLiteral("OK") : QStringLiteral("Cancel")),
                          Qt::LeftButton);
        if (refused) {
            QCOMPARE(t.script->captions(), QStringList{QStringLiteral("Invalid Picture!")});
            QCOMPARE(t.script->asked().first().text, QStringLiteral("Pictures must begin with \"@\""));
            QVERIFY(d->isVisible());
            QCOMPARE(d->focusWidget(), d->entry());
            QVERIFY(!got.arrived());
            d->reject(); // the close box answers blank too
        }
        QVERIFY(got.wait());
        QCOMPARE(got.value(), answer);
        QVERIFY(caller.isEnabled());
        if (!refused)
            QVERIFY(t.script->asked().isEmpty());
    }

    // A names line assigns every target at once and ticks the strip box; "&Next" shows the next
    // lines, counts them, and ends "Auto" (and itself at the end of the file).
    void importAutoAndNext()
    {
        TestApp t;
        QStringList names;
        for (const QString& target : importTargets())
            names << QLatin1Char('"') + target + QLatin1Char('"');
        auto w = importWindow(t, names.join(QLatin1Char(',')).toUtf8() + "\r\n\"Abba\",\"SOS\"\r\n");
        QVERIFY(w);
        QCOMPARE(w->recordNumber()->text(), QStringLiteral("1"));
        QTest::mouseClick(w->button(QStringLiteral("Auto")), Qt::LeftButton);
        QCOMPARE(column(w->targetList(), 1), QStringList(importTargets().size(), QStringLiteral("=")));
        QStringList expected;
        for (int i = 1; i <= importTargets().size(); ++i)
            expected << QStringLiteral("Field_%1").arg(i);
        QCOMPARE(column(w->targetList(), 2), expected);
        QVERIFY(w->stripHeaderCheck()->isChecked());

        QTest::mouseClick(w->button(QStringLiteral("Next")), Qt::LeftButton);
        QCOMPARE(w->recordNumber()->text(), QStringLiteral("2"));
        QCOMPARE(column(w->importList(), 2).mid(0, 3), (QStringList{"Abba", "SOS", ""}));
        QVERIFY(!w->button(QStringLiteral("Auto"))->isEnabled());
        QVERIFY(!w->button(QStringLiteral("Next"))->isEnabled()); // the last line is shown

        // A file of one line has no next one; blank lines are no records.
        QVERIFY(!importWindow(t, "x\r\n")->button(QStringLiteral("Next"))->isEnabled());
        w = importWindow(t, "\xEF\xBB\xBFx,y\n\n1,2\n\n");
        QVERIFY(w);
        QTest::mouseClick(w->button(QStringLiteral("Next")), Qt::LeftButton);
        QCOMPARE(column(w->importList(), 2), (QStringList{"1", "2"}));
        QCOMPARE(w->recordNumber()->text(), QStringLiteral("2"));
        // The byte-order mark is not counted as a line's: the end is found by the read after it.
        QTest::mouseClick(w->button(QStringLiteral("Next")), Qt::LeftButton);
        QVERIFY(!w->button(QStringLiteral("Next"))->isEnabled());
        QCOMPARE(column(w->importList(), 2), (QStringList{"1", "2"}));
        QCOMPARE(w->recordNumber()->text(), QStringLiteral("2"));
    }

    // Assigning by hand, a row's partner shown in the other list (one import field for two
    // targets: the target chosen stays chosen), unassigning, and a picture changed by its dialog.
    void importAssignByHand()
    {
        TestApp t;
        auto w = importWindow(t, "a,b,c\n1,2,3\n");
        QVERIFY(w);
        w->show();
        QTableWidget* fields = w->importList();
        QTableWidget* targets = w->targetList();
        QCOMPARE(column(fields, 1), (QStringList{"Numeric", "Numeric", "Numeric"}));
        clickRow(fields, 1);
        for (int target : {1, 4}) {
            clickRow(targets, target);
            QCOMPARE(fields->currentRow(), 1); // an unassigned target moves nothing
            QTest::mouseClick(w->button(QStringLiteral("Assign")), Qt::LeftButton);
        }
        QCOMPARE(column(targets, 2).mid(0, 5), (QStringList{"", "Field_2", "", "", "Field_2"}));
        clickRow(fields, 0);
        QCOMPARE(targets->currentRow(), 4); // no partner: the target list stays
        clickRow(fields, 1);
        QCOMPARE(targets->currentRow(), 1);
        clickRow(targets, 4);
        QCOMPARE(fields->currentRow(), 1);
        QCOMPARE(targets->currentRow(), 4);
        clickRow(targets, 1);
        QTest::mouseClick(w->button(QStringLiteral("Unassign")), Qt::LeftButton);
        QCOMPARE(column(targets, 1).mid(0, 5), (QStringList{"", "", "", "", "="}));
        clickRow(fields, 0);
        clickRow(fields, 1);
        QCOMPARE(targets->currentRow(), 4);

        test::onDialog(QStringLiteral("EnterPicture"), [](QDialog* d) {
            static_cast<AskPictureDialog*>(d)->entry()->setText(QStringLiteral("@d2"));
            d->accept();
        });
        QTest::mouseClick(w->button(QStringLiteral("Picture")), Qt::LeftButton);
        QTRY_COMPARE(column(fields, 1), (QStringList{"Numeric", "@d2", "Numeric"}));
        QCOMPARE(w->fields().at(1).picture, QStringLiteral("@d2"));
        QVERIFY(w->isEnabled());
    }

    // Marks: a click picks one, Ctrl+click and Space toggle; "&Add ->" appends what is missing,
    // "&Remove" takes the marked out, the shifts stop at the ends, the display names the type.
    void exportChoosing()
    {
        TestApp t;
        ExportDialog w(t.messages);
        w.show();
        QTableWidget* all = w.allList();
        QTableWidget* out = w.exportList();
        const QStringList every = column(all, 0);
        QCOMPARE(column(out, 0), every);

        clickRow(out, 0);
        clickRow(out, 2, Qt::ControlModifier);
        clickRow(out, 3, Qt::ControlModifier);
        clickRow(out, 3, Qt::ControlModifier); // unmarked again
        out->setFocus();
        out->setCurrentCell(6, 0, QItemSelectionModel::NoUpdate);
        QTest::keyClick(out, Qt::Key_Space);
        QTest::mouseClick(w.button(QStringLiteral("Remove")), Qt::LeftButton);
        QStringList left = every;
        for (int row : {6, 2, 0})
            left.removeAt(row);
        QCOMPARE(column(out, 0), left);

        clickRow(all, 0);
        clickRow(all, 6, Qt::ShiftModifier); // 0..6: only 0, 2 and 6 are missing
        QTest::mouseClick(w.button(QStringLiteral("Add")), Qt::LeftButton);
        QCOMPARE(column(out, 0), left + (QStringList{every.at(0), every.at(2), every.at(6)}));

        out->setCurrentCell(0, 0);
        QTest::mouseClick(w.button(QStringLiteral("ShiftUp")), Qt::LeftButton);
        QCOMPARE(column(out, 0).first(), left.first());
        QTest::mouseClick(w.button(QStringLiteral("ShiftDown")), Qt::LeftButton);
        QCOMPARE(column(out, 0).mid(0, 2), (QStringList{left.at(1), left.at(0)}));
        QCOMPARE(out->currentRow(), 1);
        out->setCurrentCell(out->rowCount() - 1, 0);
        QTest::mouseClick(w.button(QStringLiteral("ShiftDown")), Qt::LeftButton);
        QCOMPARE(column(out, 0).last(), every.at(6));

        const QList<QPair<QString, QString>> shown = {
            {"MUS:Artist", "Alpha-numeric"}, {"MUS:ReleaseDate", "@d2"}, {"MUS:CategoryID", "Numeric"}};
        for (const auto& [name, text] : shown) {
            out->setCurrentCell(int(column(out, 0).indexOf(name)), 0);
            QCOMPARE(w.pictureDisplay()->text(), text);
        }
        test::onDialog(QStringLiteral("EnterPicture"), [](QDialog* d) {
            static_cast<AskPictureDialog*>(d)->entry()->setText(QStringLiteral("@d17-"));
            d->accept();
        });
        QTest::mouseClick(w.button(QStringLiteral("Picture")), Qt::LeftButton);
        QTRY_COMPARE(w.pictureDisplay()->text(), QStringLiteral("@d17-"));
        QCOMPARE(w.exportFields().at(out->currentRow()).picture, QStringLiteral("@d17-"));
    }

    // OK with nothing chosen says so and leaves the window open.
    void nothingChosen_data()
    {
        QTest::addColumn<bool>("import");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("text");
        QTest::newRow("import") << true << "No Fields Selected for Import!"
                                << "You must select one or more fields to import.";
        QTest::newRow("export") << false << "No Fields Selected for Export!"
                                << "You must select one or more fields to export.";
    }
    void nothingChosen()
    {
        QFETCH(bool, import);
        QFETCH(QString, caption);
        QFETCH(QString, text);
        TestApp t;
        std::unique_ptr<QDialog> w;
        if (import) {
            w = importWindow(t, "a,b\n");
        } else {
            auto* e = new ExportDialog(t.messages);
            w.reset(e);
            e->exportList()->selectAll();
            QTest::mouseClick(e->button(QStringLiteral("Remove")), Qt::LeftButton);
            QCOMPARE(e->exportList()->rowCount(), 0);
            QTest::mouseClick(e->button(QStringLiteral("Picture")), Qt::LeftButton); // nothing to ask
            QVERIFY(!test::shownDialog(QStringLiteral("EnterPicture")));
        }
        QVERIFY(w);
        w->show();
        QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("OK")), Qt::LeftButton);
        QCOMPARE(t.script->captions(), QStringList{caption});
        QCOMPARE(t.script->asked().first().text, text);
        QVERIFY(w->isVisible());
        QCOMPARE(w->result(), int(QDialog::Rejected));
    }

    // Every window opens with its controls inside it and one key per mnemonic.
    void layout_data()
    {
        QTest::addColumn<int>("which");
        QTest::newRow("picture") << 0;
        QTest::newRow("import") << 1;
        QTest::newRow("export") << 2;
    }
    void layout()
    {
        QFETCH(int, which);
        TestApp t;
        std::unique_ptr<QDialog> w;
        if (which == 0)
            w = std::make_unique<AskPictureDialog>(t.messages, QStringLiteral("@s40"));
        else if (which == 1)
            w = importWindow(t, "a,b,c\n");
        else
            w = std::make_unique<ExportDialog>(t.messages);
        QVERIFY(w);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QCOMPARE(test::duplicateMnemonics(w.get()), QStringList());
        for (QWidget* c : w->findChildren<QWidget*>()) {
            if (!qobject_cast<QAbstractButton*>(c) && !qobject_cast<QLabel*>(c) && !qobject_cast<QLineEdit*>(c)
                && !qobject_cast<QTableWidget*>(c))
                continue;
            bool part = false; // the lists' own parts
            for (QWidget* p = c->parentWidget(); p && p != w.get(); p = p->parentWidget())
                part = part || qobject_cast<QAbstractScrollArea*>(p);
            if (part)
                continue;

            const QRect r(c->mapTo(w.get(), QPoint(0, 0)), c->size());
            QVERIFY2(c->isVisible() && w->rect().contains(r), c->metaObject()->className());
            if (auto* b = qobject_cast<QAbstractButton*>(c))
                QVERIFY2(b->width() >= b->sizeHint().width(), qPrintable(b->text()));
            if (auto* list = qobject_cast<QTableWidget*>(c)) {
                for (int col = 0; col < list->columnCount(); ++col) {
                    const int shown = list->horizontalHeader()->sectionSize(col);
                    QVERIFY2(shown >= list->horizontalHeader()->sectionSizeHint(col), qPrintable(list->objectName()));
                    if (col < list->columnCount() - 1)
                        QVERIFY2(shown >= static_cast<const QAbstractItemView*>(list)->sizeHintForColumn(col), qPrintable(list->objectName()));
                }
                QCOMPARE(list->horizontalScrollBar()->value(), 0);
            }
        }
    }

    // The File menu starts them for no window; the song lists' entries for the list, which is
    // held until they answer.
    void startedFromTheFrameAndTheLists_data()
    {
        QTest::addColumn<bool>("fromMenu");
        QTest::addColumn<bool>("import");
        QTest::addColumn<QString>("first");
        QTest::newRow("menu import") << true << true << "ImportFile";
        QTest::newRow("menu export") << true << false << "ChooseExportFields";
        QTest::newRow("list import") << false << true << "ImportFile";
        QTest::newRow("list export") << false << false << "ChooseExportFields";
    }
    void startedFromTheFrameAndTheLists()
    {
        QFETCH(bool, fromMenu);
        QFETCH(bool, import);
        QFETCH(QString, first);
        TestApp t;
        MainFrame frame(t.state);
        wireFrame(frame, t.state);
        QVERIFY(t.state.entries.importSongs && t.state.entries.exportSongs);
        QPointer<QDialog> shown;
        test::onDialog(first, [&shown](QDialog* d) { shown = d; });
        QWidget caller;
        caller.show();
        test::Answer<Response> answer;
        if (fromMenu) {
            QAction* item = frame.action(import ? FrameAction::Import : FrameAction::Export);
            QVERIFY(item->isEnabled());
            item->trigger();
        } else {
            (import ? t.state.entries.importSongs : t.state.entries.exportSongs)(t.state, &caller, answer.answer());
        }
        QTRY_VERIFY(shown);
        QCOMPARE(caller.isEnabled(), fromMenu);
        shown->reject();
        if (!fromMenu) {
            QVERIFY(answer.wait());
            QCOMPARE(answer.value(), Response::Cancelled);
        }
        QVERIFY(caller.isEnabled());
    }

    // An export with its names line, then the import of that file after an empty file was
    // refused: "Auto" assigns it all, the names line is dropped and the caller hears of the end.
    void exportThenImportThroughTheWindows()
    {
        TestApp t;
        for (const char* artist : {"Abba", "Queen"}) {
            Table<Tunedeck> s(t.db);
            s.rec.Artist = QString::fromLatin1(artist);
            s.rec.Title = QStringLiteral("Say \"yes\", now");
            QCOMPARE(s.add(), 0);
        }
        QWidget caller;
        caller.show();
        const QString out = t.ws.file(QStringLiteral("songs.csv"));

        test::onDialog(QStringLiteral("ChooseExportFields"), [out](QDialog* d) {
            auto* w = static_cast<ExportDialog*>(d);
            w->headerCheck()->setChecked(true);
            w->accept();
            test::onDialog(QStringLiteral("ExportFile"), [out](QDialog* f) { pickFile(f, out); });
        });
        test::Answer<Response> exported;
        Export(t.state, &caller, exported.answer());
        QVERIFY(exported.wait());
        QCOMPARE(exported.value(), Response::Completed);
        QVERIFY(caller.isEnabled());
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = f.readAll().split('\n');
        QCOMPARE(lines.size(), 4); // names, two songs, the end of the last line
        QVERIFY(lines.at(0).startsWith("\"MUS:Artist\",\"MUS:Title\","));
        QVERIFY(lines.at(1).startsWith("\"Abba\",\"Say \"\"yes\"\", now\","));

        const QString empty = writeFile(t.ws.file(QStringLiteral("empty.csv")), {});
        test::onDialog(QStringLiteral("ImportFile"), [empty, out](QDialog* d) {
            pickFile(d, empty);
            test::onDialog(QStringLiteral("ImportFile"), [out](QDialog* again) {
                pickFile(again, out);
                test::onDialog(QStringLiteral("AssignImportFields"), [](QDialog* w) {
                    QTest::mouseClick(static_cast<ImportDialog*>(w)->button(QStringLiteral("Auto")), Qt::LeftButton);
                    w->accept();
                });
            });
        });
        test::Answer<Response> imported;
        Import(t.state, &caller, imported.answer());
        QVERIFY(imported.wait());
        QCOMPARE(imported.value(), Response::Completed);
        // OK asks whether to number and link the songs (Yes by default): they are, as they come.
        QCOMPARE(t.script->captions(), (QStringList{QStringLiteral("Attention!"), QStringLiteral("Import")}));
        const Message& question = t.script->asked().last();
        QCOMPARE(question.text, QStringLiteral("Number the imported songs and link them to their albums now?"));
        QCOMPARE(question.buttons, int(Yes | No));
        QCOMPARE(question.defaultButton, int(Yes));
        QCOMPARE(songCount(t.db), qint64(4));
        {
            Table<Tunedeck> s(t.db);
            QList<qint32> ids;
            s.set(s.key(QStringLiteral("MUS:KeyID")));
            while (s.next() == 0)
                ids << s.rec.ID;
            QCOMPARE(ids, (QList<qint32>{2, 3})); // the highest number (none) plus two, and on
        }
        QVERIFY(caller.isEnabled());

        // Cancelling the file dialog ends the import with nothing added.
        test::onDialog(QStringLiteral("ImportFile"), [](QDialog* d) { d->reject(); });
        test::Answer<Response> cancelled;
        Import(t.state, &caller, cancelled.answer());
        QVERIFY(cancelled.wait());
        QCOMPARE(cancelled.value(), Response::Cancelled);
        QCOMPARE(songCount(t.db), qint64(4));
    }
};

QTEST_MAIN(TestExchangeWindows)
#include "tst_exchangewindows.moc"

// The numbered messages: caption, text with name, value and error inserted, icon, buttons, default,
// and the program end after the fatal ones.

#include "ScriptedMessages.h"
#include "TempWorkspace.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/StandardWarning.h"

#include <QtTest>

using namespace td;

class TestStandardWarning : public QObject {
    Q_OBJECT
private slots:
    void texts_data();
    void texts();
    void errorText();
    void endsProgram_data();
    void endsProgram();
    void savedErrorIsUsedOnceAndCleared();
    void unknownNumberShowsNothing();
};

void TestStandardWarning::texts_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("defaultButton");

    const QString err = QStringLiteral("File Not Found (2)");
    QTest::newRow("10 range") << 10 << "Track   " << "0 and 99" << "Range Error"
                              << "The value of Track must be between 0 and 99." << int(Ok) << int(Ok);
    QTest::newRow("11 contents") << 11 << "Media" << "Media" << "Field Contents Error"
                                 << "The value for Media must be found in the Media file." << int(Ok) << int(Ok);
    QTest::newRow("12 ri update") << 12 << "Album" << "" << "Referential Integrity Update Error"
                                  << "This record is referenced from the file Album.  Linking field(s) have been "
                                     "restricted from change and have been reset to original values."
                                  << int(Ok) << int(Ok);
    QTest::newRow("13 ri delete") << 13 << "PlaylistDetails" << "" << "Referential Integrity Delete Error"
                                  << "This record is referenced from the file PlaylistDetails.  This record cannot "
                                     "be deleted while these references exist."
                                  << int(Ok) << int(Ok);
    QTest::newRow("14 insert") << 14 << "" << "" << "Record Insert Error"
                               << "An error was experienced during the update of record.  Error: " + err + "."
                               << int(Ok) << int(Ok);
    QTest::newRow("15 update") << 15 << "Tunedeck" << "" << "Update Operation Error"
                               << "An error (" + err
                                      + ") was experienced when attempting to update a record from the file.  "
                                        "Probable Cause: Tunedeck."
                               << int(Ok) << int(Ok);
    QTest::newRow("16 change retry") << 16 << "" << "" << "Record Update Error"
                                     << "An error was experienced changing this record.  Do you want to try to save again?"
                                     << int(Yes | No | Cancel) << int(Cancel);
    QTest::newRow("17 delete") << 17 << "Album" << "" << "Delete Operation Error"
                               << "An error (" + err + ") was experienced when attempting to delete a record from the file Album."
                               << int(Ok) << int(Ok);
    QTest::newRow("18 delete retry") << 18 << "" << "" << "Record Update Error"
                                     << "An error was experienced deleting this record.  Do you want to try to save again?"
                                     << int(Yes | No | Cancel) << int(Cancel);
    QTest::newRow("23 cancel") << 23 << "" << "" << "Update Cancelled" << "Are you sure you want to cancel?"
                               << int(Yes | No) << int(No);
    QTest::newRow("24 duplicate") << 24 << "Unique Song ID" << "" << "Duplicate Key Error"
                                  << "Adding this record creates a duplicate entry for the key:Unique Song ID"
                                  << int(Ok) << int(Ok);
    QTest::newRow("25 numbering") << 25 << "" << "" << "Auto Increment Error"
                                  << "Attempts to automatically number this record have failed.  Error: " + err + "."
                                  << int(Retry | Cancel) << int(Cancel);
    QTest::newRow("31 put") << 31 << "Put" << "Tunedeck" << "Process PUT Error"
                            << "An error was experienced when making changes to the Tunedeck file.  Error: " + err
                            << int(Ok) << int(Ok);
    QTest::newRow("31 delete") << 31 << "Process:ViewDelete" << "OldTunedeck" << "Process DELETE Error"
                               << "An error was experienced when deleting a record from the OldTunedeck file.  Error: " + err
                               << int(Ok) << int(Ok);
    QTest::newRow("32 confirm") << 32 << "" << "" << "Confirm Delete"
                                << "You've selected to delete the highlighted record.  Press OK to confirm deletion "
                                   "of this record."
                                << int(Ok | Cancel) << int(Cancel);
    QTest::newRow("34 frame delete") << 34 << "Delete" << "Album" << "Transaction Framing Error"
                                     << "Error: (" + err + ") attempting to frame the delete transaction on Album.  "
                                                           "Delete transaction cancelled."
                                     << int(Ok) << int(Ok);
    QTest::newRow("35 retrieval") << 35 << "Media" << "" << "Record Retrieval Error"
                                  << "Error: (" + err + ") attempting to access a record from the Media file.  "
                                                        "Returning to previous window."
                                  << int(Ok) << int(Ok);
    QTest::newRow("36 view") << 36 << "Tunedeck" << "" << "View Open Error"
                             << "Error: (" + err + ") attempting to open the current VIEW.\nFilter and Range Limits "
                                                   "ignored.\n\nRelated File: Tunedeck"
                             << int(Ok) << int(Ok);
    QTest::newRow("38 changed") << 38 << "" << "" << "Record Was Not Updated"
                                << "This record was changed by another station. Those changes will now be displayed. "
                                   "Use the Ditto Button or Ctrl+' to recall your changes."
                                << int(Ok) << int(Ok);
}

void TestStandardWarning::texts()
{
    QFETCH(int, number);
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(QString, caption);
    QFETCH(QString, text);
    QFETCH(int, buttons);
    QFETCH(int, defaultButton);

    test::TempWorkspace ws;
    Messages messages;
    auto script = test::installScripted(messages);
    Database db(messages);
    db.saveError(StorageError::make(2));
    StandardWarning(db, StdMsg(number), name, value);
    QCOMPARE(script->asked().size(), 1);
    const Message& m = script->asked().first();
    QCOMPARE(m.number, number);
    QCOMPARE(m.caption, caption);
    QCOMPARE(m.text, text);
    QCOMPARE(m.buttons, buttons);
    QCOMPARE(m.defaultButton, defaultButton);
}

void TestStandardWarning::errorText()
{
    StorageError e = StorageError::make(33);
    QCOMPARE(errorTextOf(e), errorCodeText(33) + " (33)");
    StorageError engine;
    engine.code = 90;
    engine.text = errorCodeText(90);
    engine.engineCode = 11;
    engine.engineText = QStringLiteral("database disk image is malformed");
    QCOMPARE(errorTextOf(engine), QStringLiteral("database disk image is malformed (11)"));

    // Message 15 says "changed by another station" for the codes 0 and 89 only.
    QCOMPARE(standardMessage(StdMsg::UpdateOperationError, "Tunedeck", {}, errorTextOf(StorageError::make(89))).text,
             QStringLiteral("This record was changed by another station."));
    QVERIFY(standardMessage(StdMsg::UpdateOperationError, "Tunedeck", {}, errorTextOf(StorageError::make(40))).text.startsWith("An error ("));
}

void TestStandardWarning::endsProgram_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("endText");   // empty: the program goes on
    QTest::newRow("1") << 1 << int(Ok) << "Invalid File!";
    QTest::newRow("2 no") << 2 << int(No) << "Invalid Key!";
    QTest::newRow("2 yes") << 2 << int(Yes) << "";
    QTest::newRow("3") << 3 << int(Ok) << "Error Rebuilding Key!";
    QTest::newRow("4") << 4 << int(Ok) << "File Creation Error!";
    QTest::newRow("5") << 5 << int(Ok) << "File Creation Error!";
    QTest::newRow("30") << 30 << int(Ok) << "Disk Error";
    QTest::newRow("35 goes on") << 35 << int(Ok) << "";
}

void TestStandardWarning::endsProgram()
{
    QFETCH(int, number);
    QFETCH(int, answer);
    QFETCH(QString, endText);
    test::TempWorkspace ws;
    Messages messages;
    auto script = test::installScripted(messages);
    script->plan(answer);
    Database db(messages);
    int handlerCalls = 0;
    db.setEndHandler([&] { ++handlerCalls; });
    const int result = StandardWarning(db, StdMsg(number), QStringLiteral("tdpdata"), QString());
    QCOMPARE(db.endText(), endText);
    QCOMPARE(db.ended(), !endText.isEmpty());
    QCOMPARE(handlerCalls, endText.isEmpty() ? 0 : 1);
    QCOMPARE(result, answer);
    QCOMPARE(script->asked().size(), 1);
    // On the way out nothing more is shown, the first end keeps its text and the handler is not
    // called again.
    if (!endText.isEmpty()) {
        QCOMPARE(StandardWarning(db, StdMsg::RecordUpdateRetry), int(Cancel));
        QCOMPARE(StandardWarning(db, StdMsg::InvalidFile, QStringLiteral("tdpalbum")), int(Ok));
        QCOMPARE(script->asked().size(), 1);
        QCOMPARE(db.endText(), endText);
        QCOMPARE(handlerCalls, 1);
        QVERIFY(!db.CheckOpen(TableId::Media));
        QVERIFY(!QFile::exists(ws.file(QStringLiteral("tdpmedia.db"))));
    }
}

void TestStandardWarning::savedErrorIsUsedOnceAndCleared()
{
    test::TempWorkspace ws;
    Messages messages;
    auto script = test::installScripted(messages);
    Database db(messages);
    db.saveError(StorageError::make(40));
    StandardWarning(db, StdMsg::RecordInsertError);
    QVERIFY(script->asked().last().text.contains(errorCodeText(40) + " (40)"));
    QVERIFY(!db.hasSavedError());
}

void TestStandardWarning::unknownNumberShowsNothing()
{
    test::TempWorkspace ws;
    Messages messages;
    auto script = test::installScripted(messages);
    Database db(messages);
    QCOMPARE(StandardWarning(db, StdMsg(99)), int(Ok));
    QVERIFY(script->asked().isEmpty());
}

QTEST_GUILESS_MAIN(TestStandardWarning)
#include "tst_standardwarning.moc"

// The album form as a user drives it: captions and tabs, Cancel of a new album, OK on an unchanged
// album, the CD reads through a virtual drive with the ids of other catalogues, the history key,
// the play button's failures, the picture control and the file chooser.

#include "../../cd/CdTestUtil.h"
#include "../../data/DataTestUtil.h"
#include "FormDriver.h"
#include "TestApp.h"
#include "albums/AlbumForm.h"
#include "albums/ui/AlbumImageView.h"
#include "albums/ui/AlbumSongsPanel.h"
#include "albums/ui/UpdateAlbums.h"
#include "common/AppState.h"
#include "core/DayTime.h"

#include <QComboBox>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

using namespace td;

namespace {

// A catalogue with two media and a category, and a CD drive described by disc.toc in the workspace
// (no file: an empty drive).
struct Env : test::TestDb {
    Env()
    {
        for (const char* m : { "LP", "CD" }) {
            Media r;
            r.Media = QString::fromLatin1(m);
            test::addRecord(db, r);
        }
        Categories c;
        c.CategoryID = 4;
        c.Category = QStringLiteral("Jazz");
        test::addRecord(db, c);
    }
    // A form a failed check left open goes before the catalogue it works on.
    ~Env()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible())
                d->reject();
        test::dropFormWatchers();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QueryWizardTexts texts = test::standardQueryTexts();
    std::unique_ptr<CdAudioDevice> cd = std::make_unique<CdAudioDevice>(createDrive(ws.file("disc.toc")));
    AppState state { db, messages, texts, *cd };

    bool insertDisc(const QList<int>& lengths)
    {
        return test::writeText(ws.file("disc.toc"), tocLine(test::tocOfLengths(lengths)) + QLatin1Char('\n'));
    }
};

using Result = std::pair<Response, Album>;

// Opens the form for no caller; the window, or nullptr when it did not open.
UpdateAlbumsDialog* openAlbumForm(Env& e, Request request, const Album& album, test::Answer<Result>& got)
{
    auto answer = got.answer();
    UpdateAlbums(e.state, request, album, nullptr, [answer](Response r, const Album& a) {
        answer({ r, a });
    });
    return qobject_cast<UpdateAlbumsDialog*>(test::shownDialog(QStringLiteral("UpdateAlbums")));
}

template <class T> T* control(QWidget* w, const char* name)
{
    return w->findChild<T*>(QString::fromLatin1(name));
}

Album storedAlbum(Database& db, qint32 id)
{
    Table<Album> t(db);
    t.rec.AlbumID = id;
    return t.get(t.key("ALB:KeyAlbumID")) == 0 ? t.rec : Album();
}

bool albumExists(Database& db, qint32 id)
{
    Table<Album> t(db);
    t.rec.AlbumID = id;
    return t.get(t.key("ALB:KeyAlbumID")) == 0;
}

int songsOfAlbum(Database& db, qint32 id)
{
    Table<Tunedeck> t(db);
    t.setFilter(QStringLiteral("AlbumID = ?"), { id });
    int n = 0;
    if (t.set(-1) == 0)
        while (t.next() == 0)
            ++n;
    return n;
}

// The freedb disc id worked out by its published rule, independently of libdiscid: the digit sums
// of every track's start in seconds, the playing time in seconds and the track count.
QString freedbIdOf(const DiscToc& toc)
{
    int sum = 0;
    for (int start : toc.starts)
        for (int n = start / kFramesPerSecond; n > 0; n /= 10)
            sum += n % 10;
    const int seconds = toc.leadout / kFramesPerSecond - toc.starts.first() / kFramesPerSecond;
    const quint32 id = quint32(sum % 255) << 24 | quint32(seconds) << 8 | quint32(toc.trackCount());
    return QStringLiteral("%1").arg(id, 8, 16, QLatin1Char('0'));
}

bool activate(QWidget* w)
{
    w->activateWindow();
    return QTest::qWaitForWindowActive(w);
}

} // namespace

class TestAlbumForm : public QObject {
    Q_OBJECT
private slots:
    void windowAndCancel_data();
    void windowAndCancel();
    void okOnUnchangedAlbumWritesNothing();
    void okStoresTheControls();
    void badDateAskedOnce();
    void cdReads_data();
    void cdReads();
    void historyKey();
    void playFailures_data();
    void playFailures();
    void playWaveWithoutAudioOutput();
    void pictureControl_data();
    void pictureControl();
    void fileChooser();
};

void TestAlbumForm::windowAndCancel_data()
{
    QTest::addColumn<int>("request");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("keeps");
    QTest::newRow("add") << int(Request::Insert) << "Adding an Album Record" << false;
    QTest::newRow("change") << int(Request::Change) << "Changing an Album Record" << true;
}

void TestAlbumForm::windowAndCancel()
{
    QFETCH(int, request);
    QFETCH(QString, caption);
    QFETCH(bool, keeps);
    Env e;
    Album a;
    a.AlbumID = 3;
    a.Artist = QStringLiteral("Artist");
    QVERIFY(test::addRecord(e.db, a));
    const qint32 id = request == int(Request::Insert) ? 4 : 3;
    test::Answer<Result> got;
    UpdateAlbumsDialog* w
        = openAlbumForm(e, Request(request), request == int(Request::Insert) ? Album() : a, got);
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), caption);
    QVERIFY(albumExists(e.db, id)); // a new album is stored from the opening
    QStringList tabs;
    for (int i = 0; i < w->tabs()->count(); ++i)
        tabs << w->tabs()->tabText(i).remove(QLatin1Char('&'));
    QCOMPARE(tabs,
        (QStringList {
            "General", "Songs", "Notes", "Associated Files", "Playlist", "Compact Disc", "Other" }));
    QCOMPARE(control<QComboBox>(w, "Media")->currentText(), QStringLiteral("CD")); // blank: first by name

    // The song list's own buttons carry the letters of "&Add" and "&Change", which the general
    // tab's "&Artist:" and "&Category:" carry too; every other letter is used once.
    QStringList panelTexts;
    for (auto* b : w->songsPanel()->findChildren<QAbstractButton*>())
        panelTexts << b->text();
    QStringList clashes;
    for (const QString& line : test::duplicateMnemonics(w)) {
        QStringList texts = line.mid(3).split(QStringLiteral(", "));
        texts.removeIf([&](const QString& t) { return panelTexts.contains(t); });
        if (texts.size() > 1
            || (texts.size() == 1 && !line.startsWith(QLatin1String("A:"))
                && !line.startsWith(QLatin1String("C:"))))
            clashes << line;
    }
    QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join(QLatin1String("; "))));

    control<QPushButton>(w, "Cancel")->click();
    QVERIFY(got.wait());
    QCOMPARE(got.value().first, Response::Cancelled);
    QCOMPARE(albumExists(e.db, id), keeps);
    QVERIFY(e.script->asked().isEmpty());
}

void TestAlbumForm::okOnUnchangedAlbumWritesNothing()
{
    // Every control shown and read back unchanged: the album, dates, media and category included.
    Env e;
    Album a;
    a.AlbumID = 8;
    a.Artist = QStringLiteral("Artist");
    a.Album = QStringLiteral("Title");
    a.Media = QStringLiteral("LP");
    a.CategoryID = 4;
    a.ReleaseDate = dayFromYmd(1969, 7, 20);
    a.Notes = QStringLiteral("line one\nline two");
    a.XCCD = QStringLiteral("ab12cd34");
    QVERIFY(test::addRecord(e.db, a));
    test::Answer<Result> got;
    UpdateAlbumsDialog* w = openAlbumForm(e, Request::Change, a, got);
    QVERIFY(w);
    // Without a date setting the release date keeps its own picture, mm/dd/yyyy.
    QCOMPARE(control<QLineEdit>(w, "ReleaseDate")->text(), QStringLiteral("07/20/1969"));
    {
        Table<Album> other(e.db);
        other.rec.AlbumID = 8;
        QCOMPARE(other.get(other.key("ALB:KeyAlbumID")), 0);
        other.rec.Playlist = QStringLiteral("Theirs");
        QCOMPARE(other.put(), 0);
    }
    control<QPushButton>(w, "OK")->click();
    QVERIFY(got.wait());
    QCOMPARE(got.value().first, Response::Completed);
    QVERIFY2(e.script->asked().isEmpty(), qPrintable(e.script->captions().join(", ")));
    QCOMPARE(storedAlbum(e.db, 8).Playlist, QStringLiteral("Theirs"));
}

void TestAlbumForm::okStoresTheControls()
{
    Env e;
    e.state.settings.DateFormat = QStringLiteral("d6"); // dd/mm/yyyy
    test::Answer<Result> got;
    UpdateAlbumsDialog* w = openAlbumForm(e, Request::Insert, Album(), got);
    QVERIFY(w);
    control<QLineEdit>(w, "Artist")->setText(QStringLiteral("New Artist"));
    control<QLineEdit>(w, "Album")->setText(QStringLiteral("New Album"));
    control<QComboBox>(w, "Media")->setCurrentIndex(1);
    control<QComboBox>(w, "Category")->setEditText(QStringLiteral("jazz"));
    auto* date = control<QLineEdit>(w, "ReleaseDate");
    date->setText(QStringLiteral("31/10/1997"));
    date->setModified(true);
    control<QLineEdit>(w, "Playlist")->setText(QStringLiteral("Sunday"));
    control<QPlainTextEdit>(w, "Performance")->setPlainText(QStringLiteral("live"));
    control<QPushButton>(w, "OK")->click();
    QVERIFY2(got.wait(), qPrintable(e.script->captions().join(", ")));
    QCOMPARE(got.value().first, Response::Completed);
    const Album s = storedAlbum(e.db, 1);
    QCOMPARE(s.Artist, QStringLiteral("New Artist"));
    QCOMPARE(s.Album, QStringLiteral("New Album"));
    QCOMPARE(s.Media, QStringLiteral("LP"));
    QCOMPARE(s.CategoryID, 4);
    QCOMPARE(s.ReleaseDate, dayFromYmd(1997, 10, 31));
    QCOMPARE(s.Playlist, QStringLiteral("Sunday"));
    QCOMPARE(s.Performance, QStringLiteral("live"));
    QCOMPARE(got.value().second.Album, QStringLiteral("New Album"));
}

void TestAlbumForm::badDateAskedOnce()
{
    // Enter in the date checks it, and a refused date is not checked a second time by OK.
    Env e;
    test::Answer<Result> got;
    UpdateAlbumsDialog* w = openAlbumForm(e, Request::Insert, Album(), got);
    QVERIFY(w);
    auto* date = control<QLineEdit>(w, "ReleaseDate");
    date->setFocus();
    QTest::keyClicks(date, QStringLiteral("13/45/1997"));
    QTest::keyClick(date, Qt::Key_Return);
    QCOMPARE(e.script->captions(), QStringList { "Invalid Date" });
    QVERIFY(w->isVisible());
    date->selectAll();
    QTest::keyClicks(date, QStringLiteral("02/03/1999"));
    QTest::keyClick(date, Qt::Key_Return);
    QVERIFY(got.wait());
    QCOMPARE(e.script->asked().size(), 1);
    QCOMPARE(storedAlbum(e.db, 1).ReleaseDate, dayFromYmd(1999, 2, 3));
}

void TestAlbumForm::cdReads_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("disc");
    QTest::addColumn<QString>("storedId"); // "same": the disc's own identifier
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("songs");
    QTest::newRow("load") << "LoadFromCd" << true << "" << QStringList() << 3;
    QTest::newRow("read, new identifier")
        << "ReadIdentifier" << true << "old" << QStringList { "CD Identification updated." } << 0;
    QTest::newRow("read, same identifier")
        << "ReadIdentifier" << true << "same" << QStringList { "CD Identification not updated." } << 0;
    QTest::newRow("read, empty drive")
        << "ReadIdentifier" << false << "old" << QStringList { "CD player not ready." } << 0;
    QTest::newRow("load, empty drive")
        << "LoadFromCd" << false << "" << QStringList { "CD player not ready." } << 0;
}

void TestAlbumForm::cdReads()
{
    QFETCH(QString, button);
    QFETCH(bool, disc);
    QFETCH(QString, storedId);
    QFETCH(QStringList, messages);
    QFETCH(int, songs);
    Env e;
    const QList<int> lengths { test::msf(4, 23), test::msf(5, 0, 40), test::msf(3, 1) };
    const DiscToc toc = test::tocOfLengths(lengths);
    // The catalogue's identifier: count, total, tracks 1 to 3, each a time value.
    const QString ownId = QStringLiteral(" 3%1%2%3%4")
                              .arg(test::timeOfFrames(toc.discLength()))
                              .arg(test::timeOfFrames(lengths[0]))
                              .arg(test::timeOfFrames(lengths[1]))
                              .arg(test::timeOfFrames(lengths[2]));
    if (disc)
        QVERIFY(e.insertDisc(lengths));
    Album a;
    a.AlbumID = 2;
    a.Album = QStringLiteral("Disc");
    a.CDIdentifier = storedId == QLatin1String("same") ? ownId : storedId;
    QVERIFY(test::addRecord(e.db, a));
    test::Answer<Result> got;
    UpdateAlbumsDialog* w = openAlbumForm(e, Request::Change, a, got);
    QVERIFY(w);
    control<QPushButton>(w, button.toLatin1().constData())->click();

    QStringList shown;
    for (const Message& m : e.script->asked())
        shown << m.text;
    QCOMPARE(shown, messages);
    if (!messages.isEmpty() && messages.first().startsWith(QLatin1String("CD Identification")))
        QCOMPARE(e.script->captions(), QStringList { "Process complete" });
    QCOMPARE(songsOfAlbum(e.db, 2), songs);
    auto* serial = control<QLineEdit>(w, "CDIdentifier");
    auto* ids = control<QLabel>(w, "DiscIds");
    auto* useFreedb = control<QPushButton>(w, "UseFreedbId");
    if (!disc) {
        QCOMPARE(serial->text(), a.CDIdentifier);
        QCOMPARE(ids->text(), QString());
        QVERIFY(!useFreedb->isEnabled());
        return;
    }
    QCOMPARE(serial->text(), ownId);
    const QString freedb = freedbIdOf(toc);
    QVERIFY2(ids->text().contains(QStringLiteral("freedb disc id: ") + freedb), qPrintable(ids->text()));
    QVERIFY2(
        ids->text().contains(QRegularExpression(QStringLiteral("MusicBrainz disc id: [A-Za-z0-9._-]{27}-"))),
        qPrintable(ids->text()));
    QVERIFY(useFreedb->isEnabled());
    useFreedb->click();
    QCOMPARE(control<QLineEdit>(w, "XCCD")->text(), freedb);

    // The read goes into the album with OK (the stored record knows nothing of it before).
    QCOMPARE(storedAlbum(e.db, 2).CDIdentifier, a.CDIdentifier);
    control<QPushButton>(w, "OK")->click();
    QVERIFY(got.wait());
    const Album s = storedAlbum(e.db, 2);
    QCOMPARE(s.CDIdentifier, ownId);
    QCOMPARE(s.XCCD, freedb);
    QCOMPARE(s.TotalTime, button == QLatin1String("LoadFromCd") ? test::timeOfFrames(toc.discLength()) : 0);
}

void TestAlbumForm::historyKey()
{
    Env e;
    // An album saved with OK becomes the history copy.
    test::Answer<Result> first;
    UpdateAlbumsDialog* w = openAlbumForm(e, Request::Insert, Album(), first);
    QVERIFY(w);
    control<QLineEdit>(w, "Artist")->setText(QStringLiteral("Remembered"));
    control<QLineEdit>(w, "FileNumber")->setText(QStringLiteral("F-77"));
    control<QComboBox>(w, "Media")->setCurrentText(QStringLiteral("LP"));
    control<QLineEdit>(w, "CDIdentifier")->setText(QStringLiteral("serial"));
    control<QPushButton>(w, "OK")->click();
    QVERIFY(first.wait());

    test::Answer<Result> second;
    w = openAlbumForm(e, Request::Insert, Album(), second);
    QVERIFY(w);
    QVERIFY(activate(w));
    struct Case {
        const char* name;
        QString expected;
    };
    for (const Case& c : { Case { "Artist", "Remembered" }, Case { "FileNumber", "F-77" } }) {
        auto* entry = control<QLineEdit>(w, c.name);
        entry->setFocus();
        QTest::keyClick(entry, Qt::Key_QuoteLeft, Qt::ControlModifier);
        QCOMPARE(entry->text(), c.expected);
    }
    auto* media = control<QComboBox>(w, "Media");
    QCOMPARE(media->currentText(), QStringLiteral("CD"));
    media->setFocus();
    QTest::keyClick(media, Qt::Key_QuoteLeft, Qt::ControlModifier);
    QCOMPARE(media->currentText(), QStringLiteral("LP"));
    // The frame's tool bar button speaks to the album form used last, whatever window is active.
    auto* serial = control<QLineEdit>(w, "CDIdentifier");
    w->tabs()->setCurrentIndex(5);
    serial->setFocus();
    QVERIFY(control<QLineEdit>(w, "Album")->text().isEmpty());
    recallAlbumHistory();
    QCOMPARE(serial->text(), QStringLiteral("serial"));
    QVERIFY(control<QLineEdit>(w, "Album")->text().isEmpty()); // only the focused field
    control<QPushButton>(w, "Cancel")->click();
    QVERIFY(second.wait());
    recallAlbumHistory(); // no album form open: nothing happens
}

void TestAlbumForm::playFailures_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content"); // empty: the file is not there
    QTest::newRow("missing file") << "missing.wav" << QByteArray();
    QTest::newRow("text file") << "notes.wav" << QByteArray("just some words, no sound at all");
    QTest::newRow("RIFF but not WAVE") << "movie.wav" << QByteArray("RIFF\x10\0\0\0AVI LIST", 16);
}

void TestAlbumForm::playFailures()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    Env e;
    const QString path = e.ws.file(file);
    if (!content.isEmpty())
        test::writeBytes(path, content);
    Album a;
    a.AlbumID = 1;
    QVERIFY(test::addRecord(e.db, a));
    test::Answer<Result> got;
    UpdateAlbumsDialog* w = openAlbumForm(e, Request::Change, a, got);
    QVERIFY(w);
    auto* play = control<QToolButton>(w, "Play");
    auto* wav = control<QLineEdit>(w, "AssociatedWavFile");
    QVERIFY(!play->isEnabled());
    wav->setText(QStringLiteral("   "));
    QVERIFY(!play->isEnabled()); // blanks name no file
    wav->setText(path);
    QVERIFY(play->isEnabled());
    play->click();
    QCOMPARE(e.script->captions(), QStringList { "Error" });
    QCOMPARE(e.script->asked().first().text, QStringLiteral("Could not play ") + path + QLatin1Char('.'));
}

void TestAlbumForm::playWaveWithoutAudioOutput()
{
    // A real WAV file where there may be no audio output at all: it plays, or it says it could
    // not, once; never a crash or another message.
    Env e;
    const QString path = e.ws.file("tone.wav");
    QByteArray pcm(8000, '\0');
    QByteArray wav;
    QDataStream out(&wav, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + pcm.size());
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(8000) << quint32(16000) << quint16(2)
        << quint16(16);
    out.writeRawData("data", 4);
    out << quint32(pcm.size());
    out.writeRawData(pcm.constData(), int(pcm.size()));
    test::writeBytes(path, wav);
    Album a;
    a.AlbumID = 1;
    a.AssociatedWavFile = path;
    QVERIFY(test::addRecord(e.db, a));
    test::Answer<Result> got;
    UpdateAlbumsDialog* w = openAlbumForm(e, Request::Change, a, got);
    QVERIFY(w);
    control<QToolButton>(w, "Play")->click();
    control<QToolButton>(w, "Play")->click(); // the first sound is stopped, not left behind
    QTest::qWait(500);
    for (const Message& m : e.script->asked())
        QCOMPARE(m.text, QStringLiteral("Could not play ") + path + QLatin1Char('.'));
    QVERIFY(e.script->asked().size() <= 2);
}

void TestAlbumForm::pictureControl_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("kind"); // 0 nothing named, 1 missing, 2 not a picture, 3 a picture
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << "" << 0 << "";
    QTest::newRow("missing") << "gone.png" << 1 << "The picture %1 is not there.";
    QTest::newRow("not a picture") << "cover.png" << 2 << "%1 is not a picture that can be shown.";
    QTest::newRow("a picture") << "cover.png" << 3 << "";
}

void TestAlbumForm::pictureControl()
{
    QFETCH(QString, file);
    QFETCH(int, kind);
    QFETCH(QString, text);
    Env e;
    const QString path = file.isEmpty() ? QString() : e.ws.file(file);
    if (kind == 2)
        test::writeBytes(path, "\x89PNG but only words follow");
    if (kind == 3) {
        QImage img(400, 100, QImage::Format_RGB32);
        img.fill(Qt::red);
        QVERIFY(img.save(path));
    }
    Album a;
    a.AlbumID = 1;
    a.AssociatedImage = path;
    QVERIFY(test::addRecord(e.db, a));
    test::Answer<Result> got;
    UpdateAlbumsDialog* w = openAlbumForm(e, Request::Change, a, got);
    QVERIFY(w);
    w->tabs()->setCurrentIndex(3);
    auto* view = control<AlbumImageView>(w, "Image");
    QCOMPARE(view->text(), text.contains(QLatin1String("%1")) ? text.arg(path) : text);
    QCOMPARE(view->hasImage(), kind == 3);
    if (kind == 3) {
        // Scaled to fit, the proportions kept (4:1).
        const QSize shown = view->pixmap().size();
        QVERIFY(
            shown.width() <= view->contentsRect().width() && shown.height() <= view->contentsRect().height());
        QVERIFY(qAbs(shown.width() - 4 * shown.height()) <= 4);
    }
    QVERIFY(e.script->asked().isEmpty());
}

void TestAlbumForm::fileChooser()
{
    Env e;
    const QString path = e.ws.file("front.png");
    QImage img(50, 50, QImage::Format_RGB32);
    img.fill(Qt::blue);
    QVERIFY(img.save(path));
    Album a;
    a.AlbumID = 1;
    QVERIFY(test::addRecord(e.db, a));
    test::Answer<Result> got;
    UpdateAlbumsDialog* w = openAlbumForm(e, Request::Change, a, got);
    QVERIFY(w);
    const QString cwd = QDir::currentPath();
    control<QToolButton>(w, "ChooseImage")->click();
    auto* chooser = w->findChild<QFileDialog*>(QStringLiteral("ChooseFile"));
    QVERIFY(chooser);
    QCOMPARE(chooser->windowTitle(), QStringLiteral("Choose a File"));
    QCOMPARE(chooser->nameFilters(), QStringList { "All Files (*)" });
    chooser->selectFile(path);
    static_cast<QDialog*>(chooser)->accept(); // the dialog's own OK
    QCOMPARE(control<QLineEdit>(w, "AssociatedImage")->text(), QDir::toNativeSeparators(path));
    QVERIFY(control<AlbumImageView>(w, "Image")->hasImage());
    QCOMPARE(QDir::currentPath(), cwd);
    control<QPushButton>(w, "OK")->click();
    QVERIFY(got.wait());
    QCOMPARE(storedAlbum(e.db, 1).AssociatedImage, QDir::toNativeSeparators(path));
}

QTEST_MAIN(TestAlbumForm)
#include "tst_albumform.moc"

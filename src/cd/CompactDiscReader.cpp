#include "cd/CompactDiscReader.h"

#include "cd/CdAudio.h"
#include "cd/DiscIdentifier.h"
#include "cd/MciTime.h"
#include "cd/ReadProgress.h"
#include "cd/SendMciCommand.h"
#include "data/Database.h"
#include "data/RecordServices.h"
#include "data/StandardWarning.h"
#include "data/TableHandle.h"

#include <QList>
#include <memory>

namespace td {

namespace {

struct TrackLength {
    int track = 0;
    int time = 0;
};

// Keeps the progress window's lifetime to the call: it closes on every way out.
class ProgressScope {
public:
    explicit ProgressScope(ReadProgress* p)
        : p_(p)
    {
    }
    ~ProgressScope()
    {
        if (p_ && started_)
            p_->finish();
    }
    void start()
    {
        if (p_)
            p_->start(QStringLiteral("Reading CD"), QStringLiteral("Serial Number"));
        started_ = true;
    }
    void step()
    {
        ++steps_;
        if (p_)
            p_->setPercent(readPercent(steps_));
    }
    void status(const QString& text)
    {
        if (p_)
            p_->setStatus(text);
    }
    void yield()
    {
        if (p_)
            p_->yield();
    }

private:
    ReadProgress* p_;
    bool started_ = false;
    int steps_ = 0;
};

void showError(Database& db, const QString& text)
{
    db.messages().show(QStringLiteral("Error"), text, Icon::Exclamation, Ok, Ok);
}

// The wizard's rows: times of rows that are there, new rows "Track n" for the others.
int writeWizardRows(
    Table<AddWizard>& aw, const Album& album, qint64 instance, const QList<TrackLength>& tracks)
{
    const int key = aw.key(QStringLiteral("AW:KeyInstance"));
    aw.stream(true);
    const QString artist
        = album.Artist.trimmed().isEmpty() ? QStringLiteral("Various") : album.Artist.left(30);
    for (const TrackLength& t : tracks) {
        aw.rec = AddWizard();
        aw.rec.Instance = instance;
        aw.rec.Track = t.track;
        int rc = aw.get(key);
        if (rc == 0) {
            aw.rec.Time = t.time;
            rc = aw.put();
        } else if (rc == RecordNotAvailable) {
            aw.rec = AddWizard();
            aw.rec.Instance = instance;
            aw.rec.Track = t.track;
            aw.rec.Artist = artist;
            aw.rec.Title = QStringLiteral("Track %1").arg(t.track);
            aw.rec.Time = t.time;
            rc = aw.add();
        }
        if (rc != 0)
            return rc;
    }
    aw.stream(false);
    return 0;
}

// The album's songs: times of songs that are there, new songs "Track n" for the others.
int writeSongs(Table<Tunedeck>& song, const Album& album, const QList<TrackLength>& tracks)
{
    Database& db = song.database();
    const int key = song.key(QStringLiteral("MUS:KeyAlbumID"));
    song.stream(true);
    for (const TrackLength& t : tracks) {
        song.rec = Tunedeck();
        song.rec.AlbumID = album.AlbumID;
        song.rec.TrackNumber = t.track;
        int rc = song.get(key);
        if (rc == 0) {
            song.rec.Time = t.time;
            rc = song.put();
        } else if (rc == RecordNotAvailable) {
            const qint64 id = nextNumber(db, TableId::Tunedeck);
            if (id < 0)
                return db.lastError().code ? db.lastError().code : EngineError;
            song.rec = Tunedeck();
            song.rec.ID = qint32(id);
            song.rec.AlbumID = album.AlbumID;
            song.rec.TrackNumber = t.track;
            song.rec.Artist = album.Artist;
            song.rec.Album = album.Album;
            song.rec.Media = album.Media;
            song.rec.FileNumber = album.FileNumber;
            song.rec.ReleaseDate = album.ReleaseDate;
            song.rec.CategoryID = qint32(album.CategoryID);
            song.rec.Title = QStringLiteral("Track %1").arg(t.track);
            song.rec.Time = t.time;
            rc = song.add();
        }
        if (rc != 0)
            return rc;
    }
    song.stream(false);
    return 0;
}

} // namespace

QString cdNotAvailableText()
{
    return QStringLiteral(
        "CD player not available.  Ensure that no other program is using the CD-ROM drive.");
}

QString cdNotAvailableText(const CdDrive& drive)
{
    const QString problem = drive.imageProblem();
    return problem.isEmpty() ? cdNotAvailableText() : cdNotAvailableText() + QStringLiteral("||") + problem;
}

QString cdNotReadyText()
{
    return QStringLiteral("CD player not ready.");
}

QString cdDoorOpenText()
{
    return QStringLiteral("CD player door open.");
}

int readPercent(int steps)
{
    return qMin(100, qMax(0, steps) * 100 / kReadSteps);
}

bool ReadCompactDisc(CdAudioDevice& device, Database& db, Album& album, bool identifierOnly, bool wizard,
    qint64 instance, ReadProgress* progress)
{
    CdAudioClient cd(device);
    auto send = [&](const QString& command) { return SendMciCommand(cd, command); };
    const QString close = QStringLiteral("close cdaudio");

    // The three drive checks, before any window opens.
    const QString opened = send(QStringLiteral("open cdaudio shareable"));
    if (opened.startsWith(QLatin1String("Error")) || mciNumber(opened) != 1) {
        showError(db, cdNotAvailableText(device.drive()));
        send(close);
        return false;
    }
    if (send(QStringLiteral("status cdaudio ready")) != QLatin1String("1")) {
        showError(db, cdNotReadyText());
        send(close);
        return false;
    }
    if (SendMciCommand(cd, QString(), true) == QLatin1String("open")) {
        showError(db, cdDoorOpenText());
        send(close);
        return false;
    }

    ProgressScope window(progress);
    window.start();
    const QString tmsf = QStringLiteral("set cdaudio time format tmsf");
    send(tmsf);
    const int count = int(mciNumber(send(QStringLiteral("status cdaudio number of tracks"))));

    const Album before = album;
    album.CDIdentifier = BuildDiscIdentifier(cd, count);
    if (identifierOnly && !wizard) {
        send(close);
        return true;
    }

    window.step();
    send(tmsf);
    QList<TrackLength> tracks;
    for (int i = 1; i <= count; ++i) {
        window.status(QStringLiteral("Track %1 of %2").arg(i).arg(count));
        tracks.append({ i, MciTimeToTime(send(QStringLiteral("status cdaudio length track %1").arg(i))) });
        window.yield();
        window.step();
    }
    // (The correction for enhanced CDs compared a value that nothing ever set, so it never ran;
    // it is left out.)
    album.TotalTime = MciTimeToTime(send(QStringLiteral("status cdaudio length")));
    send(close);

    if (!wizard && album.AlbumID == 0)
        return true;

    // All rows or none: a failed write is rolled back and reported. The table is opened before the
    // transaction begins (a file cannot be attached inside one).
    const TableId table = wizard ? TableId::AddWizard : TableId::Tunedeck;
    int rc = 0;
    {
        std::unique_ptr<Table<AddWizard>> aw;
        std::unique_ptr<Table<Tunedeck>> songs;
        if (wizard)
            aw = std::make_unique<Table<AddWizard>>(db);
        else
            songs = std::make_unique<Table<Tunedeck>>(db);
        TransactionGuard transaction(db);
        rc = transaction.error();
        if (rc == 0)
            rc = wizard ? writeWizardRows(*aw, album, instance, tracks) : writeSongs(*songs, album, tracks);
        if (rc == 0)
            rc = transaction.commit();
        if (rc != 0)
            db.saveError();
    }
    if (rc != 0) {
        album.CDIdentifier = before.CDIdentifier;
        album.TotalTime = before.TotalTime;
        StandardWarning(db, StdMsg::ProcessError, QStringLiteral("Put"), tableDef(table).label);
        return false;
    }
    return true;
}

} // namespace td

#include "cd/CdPlayer.h"

#include "cd/CdAudio.h"
#include "cd/DiscIdentifier.h"
#include "cd/SendMciCommand.h"
#include "common/GlobalSettings.h"
#include "core/TextField.h"
#include "data/TableHandle.h"

#include <QElapsedTimer>

namespace td {

namespace {

const QString kFormatMs = QStringLiteral("set cdaudio time format ms");
const QString kFormatTmsf = QStringLiteral("set cdaudio time format tmsf");
const QString kShared = QStringLiteral("(shared mode)");

bool isPresentMode(const QString& mode)
{
    return mode == QLatin1String("stopped") || mode == QLatin1String("playing")
        || mode == QLatin1String("seeking");
}

} // namespace

QString cdTimeText(qint64 hundredths)
{
    if (hundredths <= 0)
        return QString();
    const qint64 seconds = hundredths / 100;
    QString text = QStringLiteral("%1:%2:%3")
                       .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
                       .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                       .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    while (text.size() >= 5 && (text.front() == QLatin1Char('0') || text.front() == QLatin1Char(':')))
        text.remove(0, 1);
    return text;
}

int cdTimerInterval(int cdTimer)
{
    return cdTimer > 10 ? cdTimer : kCdPlayerDefaultInterval;
}

CdPlayer::CdPlayer(CdAudioClient& client, Database& db, const GlobalSettings& settings)
    : client_(client)
    , db_(db)
    , settings_(settings)
{
}

CdPlayer::~CdPlayer()
{
    close();
}

QString CdPlayer::send(const QString& command)
{
    const QString reply = SendMciCommand(client_, command);
    lastReply_ = reply.left(kMciReplyLength);
    return reply;
}

long CdPlayer::number(const QString& command)
{
    return mciNumber(SendMciCommand(client_, command));
}

bool CdPlayer::open()
{
    if (send(QStringLiteral("open cdaudio shareable")) != QLatin1String("1"))
        return false;
    deviceOpen_ = true;
    identifyPending_ = true;
    send(kFormatTmsf);
    deviceLabel_ = kShared;
    return true;
}

void CdPlayer::close()
{
    if (deviceOpen_)
        send(QStringLiteral("close cdaudio"));
    deviceOpen_ = false;
}

int CdPlayer::percent() const
{
    if (trackLength_ <= 0)
        return 0;
    return int(qBound(qint64(0), positionInTrack_ * 100 / trackLength_, qint64(100)));
}

void CdPlayer::timerTick()
{
    if (settings_.CDTimer >= 1)
        poll();
}

void CdPlayer::poll()
{
    // While a wizard has the drive the device is closed: there is nothing to ask.
    if (!deviceOpen_)
        return;
    QElapsedTimer clock;
    clock.start();
    eventLabel_.clear();

    mode_ = SendMciCommand(client_, QString(), true).left(20);
    if ((previousMode_.isEmpty() || previousMode_ == QLatin1String("open")) && isPresentMode(mode_))
        initialise();
    previousMode_ = mode_;

    currentTrack_ = int(qBound(0L, number(QStringLiteral("status cdaudio current track")), 255L));
    if (currentTrack_ != lastSeenTrack_ && mode_ == QLatin1String("playing")) {
        if (currentTrack_ != 0)
            synchronise();
        lastSeenTrack_ = currentTrack_;
    }

    readPosition();
    if (positionInTrack_ > trackLength_)
        readPosition();

    performance_ = int(100 - clock.elapsed() / 10);

    if (identifyPending_) {
        identifyPending_ = false;
        identify();
    }
}

void CdPlayer::initialise()
{
    eventLabel_ = QStringLiteral("Init");
    identifyPending_ = true;
    currentTrack_ = int(qBound(0L, number(QStringLiteral("status cdaudio current track")), 255L));
    trackCount_ = int(number(QStringLiteral("status cdaudio number of tracks")));
    send(kFormatMs);
    cdLength_ = number(QStringLiteral("status cdaudio length")) / 10;
    trackLength_ = number(QStringLiteral("status cdaudio length track %1").arg(currentTrack_)) / 10;
    trackStart_ = number(QStringLiteral("status cdaudio position track %1").arg(currentTrack_)) / 10;
    send(kFormatTmsf);
}

void CdPlayer::synchronise()
{
    eventLabel_ = QStringLiteral("Sync");
    send(kFormatMs);
    trackLength_ = number(QStringLiteral("status cdaudio length track %1").arg(currentTrack_)) / 10;
    trackStart_ = number(QStringLiteral("status cdaudio position track %1").arg(currentTrack_)) / 10;
    send(kFormatTmsf);
    if (onTrackChanged)
        onTrackChanged(currentTrack_);
}

void CdPlayer::readPosition()
{
    send(kFormatMs);
    if (currentTrack_ != 0) {
        cdPosition_ = number(QStringLiteral("status cdaudio position")) / 10;
        positionInTrack_ = cdPosition_ - trackStart_ + 1;
    } else {
        trackLength_ = cdPosition_ = positionInTrack_ = trackStart_ = 0;
    }
    send(kFormatTmsf);
}

bool CdPlayer::hasAudioTrack()
{
    for (int t = 1; t <= trackCount_ && t <= 99; ++t)
        if (send(QStringLiteral("status cdaudio type track %1").arg(t)) == QLatin1String("audio"))
            return true;
    return false;
}

void CdPlayer::identify()
{
    lastIdentifier_ = album_.CDIdentifier;
    trackCount_ = int(number(QStringLiteral("status cdaudio number of tracks")));
    const auto noDisc = [this] {
        // Nothing to recognise: the list no longer shows the album of a disc taken out.
        album_ = Album();
        album_.CDIdentifier = QStringLiteral("0");
        title_ = QStringLiteral("CD Player");
        if (onRefreshList)
            onRefreshList(false);
    };
    if (trackCount_ <= 0) {
        trackCount_ = 0;
        noDisc();
        return;
    }
    send(kFormatTmsf);
    const QString id = BuildDiscIdentifier(client_, trackCount_);

    Table<Album> albums(db_);
    albums.rec.CDIdentifier = id;
    const bool found = albums.get(albums.key(QStringLiteral("KeyCDIdentifier"))) == 0;
    if (!found) {
        if (!hasAudioTrack()) {
            noDisc();
            return;
        }
        const bool changed = album_.AlbumID != 0;
        album_ = Album();
        // An unknown disc is not shown under the name of the album played before it.
        title_ = QStringLiteral("CD Player");
        if (changed && onRefreshList)
            onRefreshList(false);
        if (!noDetection_ && !offering_ && trackCount_ > 0 && onOfferAdd) {
            offering_ = true;
            onOfferAdd();
        }
        identifyPending_ = true;
        return;
    }
    album_ = albums.rec;
    if (lastIdentifier_ != album_.CDIdentifier && onRefreshList)
        onRefreshList(false);
    lastIdentifier_ = album_.CDIdentifier;
    title_ = QStringLiteral("CD Player - ") + clip(album_.Album);
}

void CdPlayer::play()
{
    if (trackCount_ != 0 && currentTrack_ > trackCount_)
        currentTrack_ = trackCount_;
    send(QStringLiteral("play cdaudio from %1").arg(currentTrack_));
}

void CdPlayer::playTrack(int track)
{
    currentTrack_ = qBound(0, track, 255);
    play();
}

void CdPlayer::stop()
{
    send(QStringLiteral("stop cdaudio"));
}

void CdPlayer::pause()
{
    pauseFlag_ = !pauseFlag_;
    send(pauseFlag_ ? QStringLiteral("pause cdaudio") : QStringLiteral("play cdaudio"));
}

void CdPlayer::next()
{
    currentTrack_ = qMin(currentTrack_ + 1, 255);
    send(QStringLiteral("play cdaudio from %1").arg(currentTrack_));
}

void CdPlayer::previous()
{
    send(QStringLiteral("status cdaudio position"));
    // Within the first three seconds Previous goes back a track; later it restarts this one.
    if (positionInTrack_ < 300)
        currentTrack_ = qMax(1, currentTrack_ - 1);
    send(QStringLiteral("play cdaudio from %1").arg(currentTrack_));
}

void CdPlayer::skip(int ms)
{
    send(kFormatMs);
    const long at = number(QStringLiteral("status cdaudio position"));
    send(QStringLiteral("play cdaudio from %1").arg(at + ms));
    send(kFormatTmsf);
}

void CdPlayer::locate(int percentOfWidth)
{
    if (currentTrack_ < 1 || trackLength_ <= 0)
        return;
    const int pc = qBound(0, percentOfWidth, 100);
    send(kFormatMs);
    const qint64 start = number(QStringLiteral("status cdaudio position track %1").arg(currentTrack_)) / 10 + 1;
    const qint64 target = start + qint64(pc / 100.0 * double(trackLength_));
    send(QStringLiteral("play cdaudio from %1").arg(target * 10));
    send(kFormatTmsf);
}

void CdPlayer::declineAdd()
{
    offering_ = false;
    noDetection_ = true;
    deviceLabel_ = QStringLiteral("(no detection)");
}

void CdPlayer::beginAdd()
{
    offering_ = false;
    send(QStringLiteral("stop cdaudio"));
    close();
    deviceLabel_ = QStringLiteral("(closed)");
}

bool CdPlayer::endAdd()
{
    if (send(QStringLiteral("open cdaudio shareable")) != QLatin1String("1"))
        return false;
    deviceLabel_ = kShared;
    deviceOpen_ = true;
    identifyPending_ = true;
    send(kFormatTmsf);
    if (onRefreshList)
        onRefreshList(true);
    return true;
}

} // namespace td

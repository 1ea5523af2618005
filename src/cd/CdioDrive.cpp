#include "cd/CdioDrive.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>

// cdio.h first: the other libcdio headers rely on its types.
#include <cdio/cdio.h>

#include <cdio/audio.h>
#include <cdio/logging.h>
#include <cdio/mmc.h>
#include <cdio/mmc_hl_cmds.h>
#include <cdio/sector.h>

namespace td {

namespace {

void quietHandler(cdio_log_level_t level, const char* message)
{
    // Only a failed assertion inside libcdio is worth a line on the terminal.
    if (level >= CDIO_LOG_ASSERT && message)
        fprintf(stderr, "libcdio: %s\n", message);
}

} // namespace

void quietCdioLog()
{
    static const bool done = [] {
        cdio_log_set_handler(quietHandler);
        return true;
    }();
    Q_UNUSED(done);
}

CdioDrive::CdioDrive(Kind kind, QString source, std::shared_ptr<PlayClock> clock)
    : kind_(kind)
    , source_(std::move(source))
    , playback_(std::move(clock))
{
    quietCdioLog();
}

CdioDrive::~CdioDrive()
{
    close();
}

QString CdioDrive::name() const
{
    if (kind_ == Kind::Image)
        return QStringLiteral("image %1").arg(QFileInfo(source_).fileName());
    if (!device_.isEmpty())
        return device_;
    return source_.isEmpty() ? QStringLiteral("the default CD drive") : source_;
}

bool CdioDrive::open()
{
    close();
    if (kind_ == Kind::Image) {
        if (!QFileInfo::exists(source_)) {
            error_ = QStringLiteral("image %1 not found").arg(source_);
            return false;
        }
        const QByteArray path = QFile::encodeName(source_);
        cdio_ = source_.endsWith(QLatin1String(".cue"), Qt::CaseInsensitive)
            ? cdio_open_cue(path.constData())
            : cdio_open(path.constData(), DRIVER_UNKNOWN);
        if (!cdio_)
            error_ = QStringLiteral("image %1 cannot be read (is its data file beside it, named as it says?)")
                         .arg(source_);
        return cdio_ != nullptr;
    }
    QByteArray device = QFile::encodeName(source_);
    if (device.isEmpty()) {
        char* found = cdio_get_default_device(nullptr);
        if (found) {
            device = found;
            cdio_free(found);
        }
    }
    if (device.isEmpty()) {
        error_ = QStringLiteral("no CD drive found");
        return false;
    }
    device_ = QFile::decodeName(device);
    cdio_ = cdio_open(device.constData(), DRIVER_DEVICE);
    if (!cdio_)
        error_ = QStringLiteral("the CD drive %1 cannot be opened").arg(device_);
    return cdio_ != nullptr;
}

void CdioDrive::close()
{
    if (cdio_)
        cdio_destroy(cdio_);
    cdio_ = nullptr;
    tocLoaded_ = false;
}

bool CdioDrive::acquire()
{
    error_.clear();
    return isAcquired() || open();
}

void CdioDrive::release()
{
    close();
}

bool CdioDrive::loadToc()
{
    if (tocLoaded_)
        return true;
    if (!cdio_)
        return false;
    const track_t first = cdio_get_first_track_num(cdio_);
    const track_t count = cdio_get_num_tracks(cdio_);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0) {
        error_ = QStringLiteral("no disc in %1").arg(name());
        return false;
    }
    DiscToc t;
    t.first = first;
    t.last = first + count - 1;
    for (int track = t.first; track <= t.last; ++track) {
        t.starts << cdio_get_track_lba(cdio_, track_t(track));
        t.data << (cdio_get_track_format(cdio_, track_t(track)) != TRACK_FORMAT_AUDIO);
    }
    t.leadout = cdio_get_track_lba(cdio_, CDIO_CDROM_LEADOUT_TRACK);
    if (!t.isValid()) {
        error_ = QStringLiteral("the table of contents of %1 cannot be read").arg(name());
        return false;
    }
    toc_ = t;
    tocLoaded_ = true;
    stoppedAt_ = t.starts.first();
    playback_.reset(t.starts.first(), t.leadout);
    return true;
}

MediaState CdioDrive::media()
{
    if (kind_ == Kind::Image) {
        if (doorOpen_)
            return MediaState::DoorOpen;
        if (!cdio_ && !open())
            return MediaState::NotReady;
        return loadToc() ? MediaState::Ready : MediaState::NotReady;
    }
    if (!cdio_ && !open())
        return MediaState::NotReady;
    if (mmc_get_tray_status(cdio_) == 1) {
        tocLoaded_ = false;
        return MediaState::DoorOpen;
    }
    // libcdio keeps the first table of contents it read: a new disc needs a fresh handle.
    if (!tocLoaded_ || cdio_get_media_changed(cdio_) == 1) {
        if (!open())
            return MediaState::NotReady;
    }
    return loadToc() ? MediaState::Ready : MediaState::NoDisc;
}

bool CdioDrive::toc(DiscToc& out)
{
    if (media() != MediaState::Ready)
        return false;
    out = toc_;
    return true;
}

bool CdioDrive::subchannel(AudioState& state, int& address)
{
    cdio_subchannel_t sub {};
    if (!cdio_ || cdio_audio_read_subchannel(cdio_, &sub) != DRIVER_OP_SUCCESS)
        return false;
    switch (sub.audio_status) {
    case CDIO_MMC_READ_SUB_ST_PLAY:
        state = AudioState::Playing;
        break;
    case CDIO_MMC_READ_SUB_ST_PAUSED:
        state = AudioState::Paused;
        break;
    case CDIO_MMC_READ_SUB_ST_COMPLETED:
        // Played to its end: a player goes back to the start of the disc.
        stoppedAt_ = toc_.isEmpty() ? 0 : toc_.starts.first();
        state = AudioState::Stopped;
        break;
    default:
        state = AudioState::Stopped;
        break;
    }
    address = cdio_msf_to_lba(&sub.abs_addr);
    return true;
}

AudioState CdioDrive::audioState()
{
    if (kind_ == Kind::Image)
        return playback_.state();
    AudioState state = AudioState::Stopped;
    int address = 0;
    return subchannel(state, address) ? state : AudioState::Stopped;
}

int CdioDrive::position()
{
    if (kind_ == Kind::Image)
        return playback_.position();
    AudioState state = AudioState::Stopped;
    int address = 0;
    if (subchannel(state, address) && state != AudioState::Stopped)
        return address;
    return stoppedAt_;
}

bool CdioDrive::play(int from, int to)
{
    if (media() != MediaState::Ready)
        return false;
    if (kind_ == Kind::Image) {
        playback_.play(from, to);
        return true;
    }
    msf_t start {}, end {};
    cdio_lba_to_msf(from, &start);
    // The end address is the last frame played.
    cdio_lba_to_msf(qMax(from, to - 1), &end);
    return cdio_audio_play_msf(cdio_, &start, &end) == DRIVER_OP_SUCCESS;
}

bool CdioDrive::pause()
{
    if (kind_ == Kind::Image) {
        playback_.pause();
        return true;
    }
    return cdio_ && cdio_audio_pause(cdio_) == DRIVER_OP_SUCCESS;
}

bool CdioDrive::resume()
{
    if (kind_ == Kind::Image) {
        playback_.resume();
        return true;
    }
    return cdio_ && cdio_audio_resume(cdio_) == DRIVER_OP_SUCCESS;
}

bool CdioDrive::stop()
{
    if (kind_ == Kind::Image) {
        playback_.stop();
        return true;
    }
    AudioState state = AudioState::Stopped;
    int address = 0;
    if (subchannel(state, address) && state != AudioState::Stopped)
        stoppedAt_ = address;
    return cdio_ && cdio_audio_stop(cdio_) == DRIVER_OP_SUCCESS;
}

bool CdioDrive::setDoorOpen(bool open)
{
    if (kind_ == Kind::Image) {
        if (doorOpen_ != open)
            playback_.reset(toc_.isEmpty() ? 0 : toc_.starts.first(), toc_.leadout);
        doorOpen_ = open;
        return true;
    }
    if (open) {
        if (!cdio_)
            return false;
        const bool ok = cdio_eject_media(&cdio_) == DRIVER_OP_SUCCESS;
        // A successful eject frees the handle; keep the drive in use.
        if (!cdio_)
            this->open();
        tocLoaded_ = false;
        return ok;
    }
    const QByteArray device = QFile::encodeName(device_);
    const bool ok = cdio_close_tray(device.constData(), nullptr) == DRIVER_OP_SUCCESS;
    tocLoaded_ = false;
    return ok;
}

} // namespace td

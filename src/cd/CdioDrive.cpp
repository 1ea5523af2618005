#include "cd/CdioDrive.h"

#include "cd/CueSheet.h"
#include "cd/QtPcmSink.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>

// cdio.h first: the other libcdio headers rely on its types.
#include <cdio/cdio.h>

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

std::mutex& cdioHandleLock()
{
    static std::mutex lock;
    return lock;
}

CdioDrive::CdioDrive(Kind kind, QString source, std::shared_ptr<PlayClock> clock, std::unique_ptr<PcmSink> sink)
    : kind_(kind)
    , source_(std::move(source))
    , playback_(std::move(clock), sink ? std::move(sink) : std::make_unique<QtPcmSink>())
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
            error_ = imageProblem_ = QStringLiteral("image %1 not found").arg(source_);
            return false;
        }
        if (isCueSheet()) {
            auto sheet = std::make_unique<CueSheet>();
            if (!readCueSheet(source_, *sheet, &error_)) {
                imageProblem_ = error_;
                return false;
            }
            cue_ = std::move(sheet);
            return true;
        }
        const QByteArray path = QFile::encodeName(source_);
        std::lock_guard lock(cdioHandleLock());
        cdio_ = cdio_open(path.constData(), DRIVER_UNKNOWN);
        if (!cdio_)
            error_ = imageProblem_ = QStringLiteral("image %1 cannot be read").arg(source_);
        return cdio_ != nullptr;
    }
    QByteArray device = QFile::encodeName(source_);
    std::lock_guard lock(cdioHandleLock());
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

bool CdioDrive::isCueSheet() const
{
    return source_.endsWith(QLatin1String(".cue"), Qt::CaseInsensitive);
}

void CdioDrive::close()
{
    // Nobody uses the drive any more, or the disc has changed: the play ends with it.
    playback_.halt();
    std::lock_guard lock(cdioHandleLock());
    if (cdio_)
        cdio_destroy(cdio_);
    cdio_ = nullptr;
    cue_.reset();
    tocLoaded_ = false;
}

bool CdioDrive::acquire()
{
    error_.clear();
    imageProblem_.clear();
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
    if (cue_) {
        toc_ = cue_->toc;
        tocLoaded_ = true;
        playback_.reset(toc_.starts.first(), toc_.leadout, imageSectors(source_));
        return true;
    }
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
    playback_.reset(t.starts.first(), t.leadout,
        kind_ == Kind::Image ? imageSectors(source_) : driveSectors(device_));
    return true;
}

MediaState CdioDrive::media()
{
    if (kind_ == Kind::Image) {
        if (doorOpen_)
            return MediaState::DoorOpen;
        if (!isAcquired() && !open())
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

AudioState CdioDrive::audioState()
{
    return playback_.state();
}

int CdioDrive::position()
{
    return playback_.position();
}

bool CdioDrive::play(int from, int to)
{
    if (media() != MediaState::Ready)
        return false;
    playback_.play(from, to);
    return true;
}

bool CdioDrive::pause()
{
    playback_.pause();
    return true;
}

bool CdioDrive::resume()
{
    playback_.resume();
    return true;
}

bool CdioDrive::stop()
{
    playback_.stop();
    return true;
}

bool CdioDrive::setDoorOpen(bool open)
{
    if (kind_ == Kind::Image) {
        if (doorOpen_ != open)
            playback_.reset(toc_.isEmpty() ? 0 : toc_.starts.first(), toc_.leadout, imageSectors(source_));
        doorOpen_ = open;
        return true;
    }
    // The play ends, and its reader lets go of the disc, before the tray moves.
    playback_.halt();
    if (open) {
        if (!cdio_)
            return false;
        bool ok = false;
        {
            std::lock_guard lock(cdioHandleLock());
            ok = cdio_eject_media(&cdio_) == DRIVER_OP_SUCCESS;
        }
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

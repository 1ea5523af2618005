#include "cd/SectorSource.h"

#include "cd/CdioDrive.h"

#include "cd/PcmSink.h"

#include <QFile>
#include <QtEndian>

#include <cstdio>
#include <cstring>

// cdio.h first: the other libcdio headers rely on its types.
#include <cdio/cdio.h>

#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>
#include <cdio/read.h>

namespace td {

namespace {

// libcdio counts sectors from the first track's pre-gap; our addresses include the 2-second lead-in.
constexpr int kLeadIn = 150;

class ImageSource : public SectorSource {
public:
    explicit ImageSource(CdIo_t* cdio)
        : cdio_(cdio)
    {
    }
    ~ImageSource() override
    {
        std::lock_guard lock(cdioHandleLock());
        cdio_destroy(cdio_);
    }

    bool read(int address, int frames, char* out) override
    {
        if (address < kLeadIn || frames <= 0)
            return false;
        if (cdio_read_audio_sectors(cdio_, out, lsn_t(address - kLeadIn), uint32_t(frames))
            != DRIVER_OP_SUCCESS)
            return false;
#if Q_BYTE_ORDER == Q_BIG_ENDIAN
        qFromLittleEndian<qint16>(out, qsizetype(frames) * kBytesPerFrame / 2, out);
#endif
        return true;
    }

private:
    CdIo_t* cdio_;
};

void ignoreProgress(long, paranoia_cb_mode_t) { }

class ParanoiaSource : public SectorSource {
public:
    ParanoiaSource(cdrom_drive_t* drive, cdrom_paranoia_t* paranoia)
        : drive_(drive)
        , paranoia_(paranoia)
    {
        // Every check except never giving up: a spot that cannot be read is skipped, not retried forever.
        cdio_paranoia_modeset(paranoia_, PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
    }
    ~ParanoiaSource() override
    {
        cdio_paranoia_free(paranoia_);
        std::lock_guard lock(cdioHandleLock());
        cdio_cddap_close(drive_); // closes the device handle too
    }

    bool read(int address, int frames, char* out) override
    {
        if (address < kLeadIn)
            return false;
        if (address != next_)
            cdio_paranoia_seek(paranoia_, address - kLeadIn, SEEK_SET);
        next_ = -1;
        for (int i = 0; i < frames; ++i) {
            const int16_t* samples = cdio_paranoia_read_limited(paranoia_, ignoreProgress, 5);
            if (!samples)
                return false;
            memcpy(out + qsizetype(i) * kBytesPerFrame, samples, kBytesPerFrame);
        }
        next_ = address + frames;
        return true;
    }

private:
    cdrom_drive_t* drive_;
    cdrom_paranoia_t* paranoia_;
    int next_ = -1; // where the reader stands after the last read
};

} // namespace

SectorSourceFactory imageSectors(const QString& imagePath)
{
    if (imagePath.endsWith(QLatin1String(".cue"), Qt::CaseInsensitive))
        return cueSectors(imagePath);
    return [path = QFile::encodeName(imagePath)]() -> std::unique_ptr<SectorSource> {
        std::lock_guard lock(cdioHandleLock());
        CdIo_t* cdio = cdio_open(path.constData(), DRIVER_UNKNOWN);
        if (!cdio)
            return nullptr;
        return std::make_unique<ImageSource>(cdio);
    };
}

SectorSourceFactory driveSectors(const QString& device)
{
    return [path = QFile::encodeName(device)]() -> std::unique_ptr<SectorSource> {
        CdIo_t* cdio = nullptr;
        {
            std::lock_guard lock(cdioHandleLock());
            cdio = cdio_open(path.constData(), DRIVER_DEVICE);
        }
        if (!cdio)
            return nullptr;
        cdrom_drive_t* drive = cdio_cddap_identify_cdio(cdio, CDDA_MESSAGE_FORGETIT, nullptr);
        if (!drive) {
            std::lock_guard lock(cdioHandleLock());
            cdio_destroy(cdio);
            return nullptr;
        }
        cdrom_paranoia_t* paranoia = cdio_cddap_open(drive) == 0 ? cdio_paranoia_init(drive) : nullptr;
        if (!paranoia) {
            std::lock_guard lock(cdioHandleLock());
            cdio_cddap_close(drive);
            return nullptr;
        }
        return std::make_unique<ParanoiaSource>(drive, paranoia);
    };
}

} // namespace td

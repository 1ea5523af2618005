#pragma once
// The "cdaudio" device: command strings in, (return code, reply text) out, in the forms the CD
// reader and the CD player use.
//
// One CdAudioDevice stands for the drive and is shared by the whole program; each window that talks
// to it does so through a CdAudioClient of its own, which keeps what belongs to one user of the
// device: whether it has the device open, and its time format. Commands understood:
//
//   open cdaudio [shareable]          reply "1"; 265 when another user holds it unshared (or this
//                                     client has it open already); 306 when there is no drive
//   close cdaudio
//   status cdaudio ready              "true" / "false": true when the drive can take commands, that
//                                     is with a readable disc or with its door open (the mode then
//                                     says "open"); false for an empty drive or an unreadable disc
//   status cdaudio mode               "stopped" "playing" "paused" "seeking" "open" "not ready"
//                                     (an empty drive answers "open", as the door open does)
//   status cdaudio media present      "true" / "false"
//   status cdaudio number of tracks   data tracks included
//   status cdaudio current track
//   status cdaudio length [track n]   tmsf and msf: "mm:ss:ff"; ms: whole milliseconds
//   status cdaudio position [track n] tmsf: "tt:mm:ss:ff"; msf: "mm:ss:ff"; ms: milliseconds
//   status cdaudio start position
//   status cdaudio type track n       "audio" / "other"
//   status cdaudio time format        "tmsf" / "msf" / "milliseconds"
//   set cdaudio time format tmsf|msf|ms|milliseconds
//   set cdaudio door open|closed
//   play cdaudio [from x] [to y]      tmsf: "3" is the start of track 3, "3:01:20:00" a place in
//                                     it; ms and msf: an address on the disc; without "from" play
//                                     goes on from where it is (a paused play resumes)
//   pause cdaudio, resume cdaudio, stop cdaudio
//
// The words "wait" and "notify" are accepted and ignored. Positions in ms and msf are addresses on
// the disc, counted from its very start (track 1 of an ordinary disc starts at 2000 ms); lengths
// are plain durations. The default time format is msf. Errors use the MCI numbers (mci::Error below).

#include "cd/CdDrive.h"

#include <QList>
#include <QString>
#include <memory>

namespace td {

namespace mci {
enum Error : int {
    NoError = 0,
    UnrecognizedKeyword = 259,
    UnrecognizedCommand = 261,
    Hardware = 262,
    InvalidDeviceName = 263, // not open, or not a device we know
    DeviceOpen = 265, // in use by another open
    MissingCommandString = 267,
    BadInteger = 270,
    MissingParameter = 273,
    UnsupportedFunction = 274,
    DeviceNotReady = 276,
    OutOfRange = 282,
    MissingDeviceName = 292,
    BadTimeFormat = 293,
    DeviceNotInstalled = 306,
};
} // namespace mci

struct MciReply {
    int code = 0;
    QString text;
};

enum class TimeFormat { Msf, Tmsf, Milliseconds };

class CdAudioClient;

class CdAudioDevice {
public:
    explicit CdAudioDevice(std::unique_ptr<CdDrive> drive);
    ~CdAudioDevice();
    CdAudioDevice(const CdAudioDevice&) = delete;
    CdAudioDevice& operator=(const CdAudioDevice&) = delete;

    CdDrive& drive() { return *drive_; }
    // Clients that have the device open now.
    int openCount() const { return int(holders_.size()); }

private:
    friend class CdAudioClient;
    int open(CdAudioClient* client, bool shareable);
    void close(CdAudioClient* client);

    std::unique_ptr<CdDrive> drive_;
    QList<CdAudioClient*> holders_;
    bool exclusive_ = false;
};

// A client must not be used after its device has gone.
class CdAudioClient {
public:
    explicit CdAudioClient(CdAudioDevice& device);
    // Closes the device if this client still has it open.
    ~CdAudioClient();
    CdAudioClient(const CdAudioClient&) = delete;
    CdAudioClient& operator=(const CdAudioClient&) = delete;

    MciReply send(const QString& command);

    bool isOpen() const { return open_; }
    TimeFormat timeFormat() const { return format_; }
    CdAudioDevice& device() const { return device_; }

private:
    friend class CdAudioDevice;
    MciReply status(const QStringList& args);
    MciReply set(const QStringList& args);
    MciReply play(const QStringList& args);
    MciReply control(const QString& verb);
    // A disc that can be read, or the error to answer with.
    int readyToc(DiscToc& toc);
    // An address given in this client's time format (a "to" address may be the lead-out).
    int parseAddress(const QString& text, const DiscToc& toc, bool isEnd, int& frame) const;
    QString formatLength(qint64 frames) const;
    QString formatPosition(int frame, const DiscToc& toc) const;

    CdAudioDevice& device_;
    bool open_ = false;
    TimeFormat format_ = TimeFormat::Msf;
};

} // namespace td

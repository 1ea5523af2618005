#include "cd/CdAudio.h"

#include <QStringList>

namespace td {

namespace {

MciReply ok(const QString& text = {})
{
    return { mci::NoError, text };
}

MciReply error(int code)
{
    return { code, QString() };
}

qint64 framesToMs(qint64 frames)
{
    return frames * 1000 / kFramesPerSecond;
}

// Milliseconds to frames, rounded up so that a position read in ms and given back lands on the
// frame it came from.
qint64 msToFrames(qint64 ms)
{
    return (ms * kFramesPerSecond + 999) / 1000;
}

QString twoDigits(qint64 n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// A whole number of digits only (no sign, no blanks); -1 otherwise, -2 when too large.
qint64 digitsValue(const QString& s)
{
    if (s.isEmpty() || s.size() > 12)
        return s.isEmpty() ? -1 : -2;
    qint64 v = 0;
    for (QChar c : s) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
        v = v * 10 + (c.unicode() - '0');
    }
    return v;
}

} // namespace

// ---- the device ------------------------------------------------------------------------------

CdAudioDevice::CdAudioDevice(std::unique_ptr<CdDrive> drive)
    : drive_(std::move(drive))
{
}

CdAudioDevice::~CdAudioDevice()
{
    // Clients still holding it (the program closing) must not close it again later.
    for (CdAudioClient* c : std::as_const(holders_))
        c->open_ = false;
    if (drive_->isAcquired())
        drive_->release();
}

int CdAudioDevice::open(CdAudioClient* client, bool shareable)
{
    if (holders_.contains(client))
        return mci::DeviceOpen;
    if (!holders_.isEmpty() && (exclusive_ || !shareable))
        return mci::DeviceOpen;
    if (holders_.isEmpty() && !drive_->isAcquired() && !drive_->acquire())
        return mci::DeviceNotInstalled;
    holders_.append(client);
    exclusive_ = !shareable;
    return mci::NoError;
}

void CdAudioDevice::close(CdAudioClient* client)
{
    holders_.removeAll(client);
    if (holders_.isEmpty()) {
        exclusive_ = false;
        drive_->release();
    }
}

// ---- a client ---------------------------------------------------------------------------------

CdAudioClient::CdAudioClient(CdAudioDevice& device)
    : device_(device)
{
}

CdAudioClient::~CdAudioClient()
{
    if (open_)
        device_.close(this);
}

MciReply CdAudioClient::send(const QString& command)
{
    QStringList words = command.simplified().toLower().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return error(mci::MissingCommandString);
    static const QStringList verbs { QStringLiteral("open"), QStringLiteral("close"),
        QStringLiteral("status"), QStringLiteral("set"), QStringLiteral("play"), QStringLiteral("pause"),
        QStringLiteral("resume"), QStringLiteral("stop") };
    const QString verb = words.takeFirst();
    if (!verbs.contains(verb))
        return error(mci::UnrecognizedCommand);
    if (words.isEmpty())
        return error(mci::MissingDeviceName);
    if (words.takeFirst() != QLatin1String("cdaudio"))
        return error(mci::InvalidDeviceName);
    words.removeAll(QStringLiteral("wait"));
    words.removeAll(QStringLiteral("notify"));

    if (verb == QLatin1String("open")) {
        bool shareable = false;
        for (const QString& w : words) {
            if (w != QLatin1String("shareable"))
                return error(mci::UnrecognizedKeyword);
            shareable = true;
        }
        const int rc = device_.open(this, shareable);
        if (rc != mci::NoError)
            return error(rc);
        open_ = true;
        format_ = TimeFormat::Msf;
        return ok(QStringLiteral("1"));
    }
    if (!open_)
        return error(mci::InvalidDeviceName);
    if (verb == QLatin1String("close")) {
        if (!words.isEmpty())
            return error(mci::UnrecognizedKeyword);
        device_.close(this);
        open_ = false;
        return ok();
    }
    if (verb == QLatin1String("status"))
        return status(words);
    if (verb == QLatin1String("set"))
        return set(words);
    if (verb == QLatin1String("play"))
        return play(words);
    if (!words.isEmpty())
        return error(mci::UnrecognizedKeyword);
    return control(verb);
}

int CdAudioClient::readyToc(DiscToc& toc)
{
    CdDrive& drive = device_.drive();
    if (drive.media() != MediaState::Ready || !drive.toc(toc))
        return mci::DeviceNotReady;
    return mci::NoError;
}

MciReply CdAudioClient::status(const QStringList& args)
{
    if (args.isEmpty())
        return error(mci::MissingParameter);
    CdDrive& drive = device_.drive();
    const QString item = args.join(QLatin1Char(' '));

    if (item == QLatin1String("ready")) {
        // An open door is a drive that works: the reader tells it apart by the mode.
        const MediaState m = drive.media();
        return ok(m == MediaState::Ready || m == MediaState::DoorOpen ? QStringLiteral("true")
                                                                      : QStringLiteral("false"));
    }
    if (item == QLatin1String("media present")) {
        const MediaState m = drive.media();
        return ok(m == MediaState::Ready || m == MediaState::NotReady ? QStringLiteral("true")
                                                                      : QStringLiteral("false"));
    }
    if (item == QLatin1String("mode")) {
        switch (drive.media()) {
        case MediaState::DoorOpen:
        case MediaState::NoDisc:
            return ok(QStringLiteral("open"));
        case MediaState::NotReady:
            return ok(QStringLiteral("not ready"));
        case MediaState::Ready:
            break;
        }
        switch (drive.audioState()) {
        case AudioState::Playing:
            return ok(QStringLiteral("playing"));
        case AudioState::Paused:
            return ok(QStringLiteral("paused"));
        case AudioState::Seeking:
            return ok(QStringLiteral("seeking"));
        case AudioState::Stopped:
            break;
        }
        return ok(QStringLiteral("stopped"));
    }
    if (item == QLatin1String("time format")) {
        switch (format_) {
        case TimeFormat::Tmsf:
            return ok(QStringLiteral("tmsf"));
        case TimeFormat::Milliseconds:
            return ok(QStringLiteral("milliseconds"));
        case TimeFormat::Msf:
            break;
        }
        return ok(QStringLiteral("msf"));
    }

    // Everything else asks about the disc. "length", "position" and "type" may name a track.
    QStringList words = args;
    int track = 0;
    static const QStringList tracked { QStringLiteral("length"), QStringLiteral("position"),
        QStringLiteral("type") };
    const qsizetype at = tracked.contains(words.first()) ? words.indexOf(QStringLiteral("track")) : -1;
    if (at >= 0) {
        if (at + 1 >= words.size())
            return error(mci::MissingParameter);
        const qint64 n = digitsValue(words.at(at + 1));
        if (n == -1)
            return error(mci::BadInteger);
        if (at + 2 != words.size())
            return error(mci::UnrecognizedKeyword);
        track = n > kMaxTracks || n < 0 ? kMaxTracks + 1 : int(n);
        words = words.mid(0, at);
    }
    const QString what = words.join(QLatin1Char(' '));
    static const QStringList known { QStringLiteral("number of tracks"), QStringLiteral("current track"),
        QStringLiteral("length"), QStringLiteral("position"), QStringLiteral("start position"),
        QStringLiteral("type") };
    if (!known.contains(what))
        return error(mci::UnrecognizedKeyword);
    if (at >= 0 && !tracked.contains(what))
        return error(mci::UnrecognizedKeyword);
    if (what == QLatin1String("type") && at < 0)
        return error(mci::MissingParameter);

    DiscToc toc;
    if (const int rc = readyToc(toc))
        return error(rc);
    if (at >= 0 && !toc.hasTrack(track))
        return error(mci::OutOfRange);

    if (what == QLatin1String("number of tracks"))
        return ok(QString::number(toc.trackCount()));
    if (what == QLatin1String("current track"))
        return ok(QString::number(toc.trackAt(drive.position())));
    if (what == QLatin1String("type"))
        return ok(toc.isDataTrack(track) ? QStringLiteral("other") : QStringLiteral("audio"));
    if (what == QLatin1String("length"))
        return ok(formatLength(at >= 0 ? toc.trackLength(track) : toc.discLength()));
    if (what == QLatin1String("start position"))
        track = toc.first;
    if (track != 0) {
        if (format_ == TimeFormat::Tmsf)
            return ok(twoDigits(track) + QStringLiteral(":00:00:00"));
        return ok(formatPosition(toc.trackStart(track), toc));
    }
    return ok(formatPosition(drive.position(), toc));
}

QString CdAudioClient::formatLength(qint64 frames) const
{
    if (format_ == TimeFormat::Milliseconds)
        return QString::number(framesToMs(frames));
    return framesToMsf(frames);
}

QString CdAudioClient::formatPosition(int frame, const DiscToc& toc) const
{
    switch (format_) {
    case TimeFormat::Milliseconds:
        return QString::number(framesToMs(frame));
    case TimeFormat::Msf:
        return framesToMsf(frame);
    case TimeFormat::Tmsf:
        break;
    }
    const int track = toc.trackAt(frame);
    return twoDigits(track) + QLatin1Char(':') + framesToMsf(qMax(0, frame - toc.trackStart(track)));
}

MciReply CdAudioClient::set(const QStringList& args)
{
    if (args.isEmpty())
        return error(mci::MissingParameter);
    if (args.size() >= 2 && args.at(0) == QLatin1String("time") && args.at(1) == QLatin1String("format")) {
        if (args.size() == 2)
            return error(mci::MissingParameter);
        if (args.size() > 3)
            return error(mci::UnrecognizedKeyword);
        const QString f = args.at(2);
        if (f == QLatin1String("tmsf"))
            format_ = TimeFormat::Tmsf;
        else if (f == QLatin1String("msf"))
            format_ = TimeFormat::Msf;
        else if (f == QLatin1String("ms") || f == QLatin1String("milliseconds"))
            format_ = TimeFormat::Milliseconds;
        else
            return error(mci::BadTimeFormat);
        return ok();
    }
    if (args.at(0) == QLatin1String("door")) {
        if (args.size() != 2)
            return error(args.size() < 2 ? mci::MissingParameter : mci::UnrecognizedKeyword);
        bool open = false;
        if (args.at(1) == QLatin1String("open"))
            open = true;
        else if (args.at(1) != QLatin1String("closed"))
            return error(mci::UnrecognizedKeyword);
        return device_.drive().setDoorOpen(open) ? ok() : error(mci::UnsupportedFunction);
    }
    return error(mci::UnrecognizedKeyword);
}

int CdAudioClient::parseAddress(const QString& text, const DiscToc& toc, bool isEnd, int& frame) const
{
    const int discStart = toc.starts.first();
    if (format_ == TimeFormat::Milliseconds) {
        bool negative = text.startsWith(QLatin1Char('-'));
        const qint64 ms = digitsValue(negative ? text.mid(1) : text);
        if (ms == -1)
            return mci::BadInteger;
        if (negative || ms == -2)
            return mci::OutOfRange;
        const qint64 f = msToFrames(ms);
        if (f > toc.leadout || (f == toc.leadout && !isEnd))
            return mci::OutOfRange;
        // The lead-in before the first track plays from the first track.
        frame = int(qMax<qint64>(f, discStart));
        return mci::NoError;
    }
    const QStringList parts = text.split(QLatin1Char(':'));
    const int maxParts = format_ == TimeFormat::Tmsf ? 4 : 3;
    if (parts.size() > maxParts)
        return mci::BadInteger;
    QList<qint64> v;
    for (const QString& p : parts) {
        const qint64 n = digitsValue(p);
        if (n == -1)
            return mci::BadInteger;
        if (n == -2)
            return mci::OutOfRange;
        v << n;
    }
    qint64 f = 0;
    if (format_ == TimeFormat::Tmsf) {
        const qint64 track = v.takeFirst();
        if (track < toc.first || track > toc.last)
            return mci::OutOfRange;
        f = toc.trackStart(int(track));
    }
    const qint64 minutes = v.value(0), seconds = v.value(1), frames = v.value(2);
    if (seconds >= 60 || frames >= kFramesPerSecond)
        return mci::OutOfRange;
    f += (minutes * 60 + seconds) * kFramesPerSecond + frames;
    if (f > toc.leadout || (f == toc.leadout && !isEnd))
        return mci::OutOfRange;
    frame = int(qMax<qint64>(f, discStart));
    return mci::NoError;
}

MciReply CdAudioClient::play(const QStringList& args)
{
    QString fromText, toText;
    for (int i = 0; i < args.size(); i += 2) {
        const QString& key = args.at(i);
        if (key != QLatin1String("from") && key != QLatin1String("to"))
            return error(mci::UnrecognizedKeyword);
        if (i + 1 >= args.size())
            return error(mci::MissingParameter);
        (key == QLatin1String("from") ? fromText : toText) = args.at(i + 1);
    }
    DiscToc toc;
    if (const int rc = readyToc(toc))
        return error(rc);
    CdDrive& drive = device_.drive();

    int from = 0;
    int to = toc.leadout;
    if (!fromText.isEmpty()) {
        if (const int rc = parseAddress(fromText, toc, false, from))
            return error(rc);
    }
    if (!toText.isEmpty()) {
        if (const int rc = parseAddress(toText, toc, true, to))
            return error(rc);
    }
    if (fromText.isEmpty()) {
        if (toText.isEmpty() && drive.audioState() == AudioState::Paused)
            return drive.resume() ? ok() : error(mci::Hardware);
        from = drive.position();
    }
    if (from >= to)
        return error(mci::OutOfRange);
    return drive.play(from, to) ? ok() : error(mci::Hardware);
}

MciReply CdAudioClient::control(const QString& verb)
{
    DiscToc toc;
    if (const int rc = readyToc(toc))
        return error(rc);
    CdDrive& drive = device_.drive();
    bool done = false;
    if (verb == QLatin1String("pause"))
        done = drive.pause();
    else if (verb == QLatin1String("resume"))
        done = drive.resume();
    else
        done = drive.stop();
    return done ? ok() : error(mci::Hardware);
}

} // namespace td

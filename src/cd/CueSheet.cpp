#include "cd/CueSheet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QtEndian>

namespace td {

namespace {

constexpr int kLeadIn = 150;
constexpr int kAudioSector = 2352;

// Words of a line; a quoted word may hold blanks.
QStringList words(const QString& line)
{
    QStringList out;
    qsizetype i = 0;
    while (i < line.size()) {
        while (i < line.size() && line.at(i).isSpace())
            ++i;
        if (i >= line.size())
            break;
        QString w;
        if (line.at(i) == QLatin1Char('"')) {
            const qsizetype close = line.indexOf(QLatin1Char('"'), i + 1);
            const qsizetype end = close < 0 ? line.size() : close;
            w = line.mid(i + 1, end - i - 1);
            i = end + 1;
        } else {
            while (i < line.size() && !line.at(i).isSpace())
                w += line.at(i++);
        }
        out << w;
    }
    return out;
}

// "mm:ss:ff" in frames; -1 when it is not one.
qint64 msfFrames(const QString& text)
{
    const QStringList p = text.split(QLatin1Char(':'));
    if (p.size() != 3)
        return -1;
    bool ok1 = false, ok2 = false, ok3 = false;
    const qint64 m = p.at(0).toLongLong(&ok1), s = p.at(1).toLongLong(&ok2), f = p.at(2).toLongLong(&ok3);
    if (!ok1 || !ok2 || !ok3 || m < 0 || s < 0 || s > 59 || f < 0 || f >= kFramesPerSecond)
        return -1;
    return (m * 60 + s) * kFramesPerSecond + f;
}

// Bytes a frame of a track mode takes in its file; 0 for a mode we do not know.
int sectorSizeOf(const QString& mode)
{
    const QString m = mode.toUpper();
    if (m == QLatin1String("AUDIO") || m.endsWith(QLatin1String("/2352")))
        return kAudioSector;
    if (m == QLatin1String("CDG"))
        return 2448;
    if (m.endsWith(QLatin1String("/2048")))
        return 2048;
    if (m.endsWith(QLatin1String("/2336")))
        return 2336;
    if (m.endsWith(QLatin1String("/2324")))
        return 2324;
    return 0;
}

// The data file as the sheet names it, sought beside the sheet: as written, then by its bare
// name, then in any letter case (sheets written on Windows).
QString findDataFile(const QDir& dir, QString name)
{
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QFileInfo direct(QDir::isAbsolutePath(name) ? name : dir.filePath(name));
    if (direct.isFile())
        return direct.filePath();
    const QString bare = QFileInfo(name).fileName();
    if (QFileInfo(dir.filePath(bare)).isFile())
        return dir.filePath(bare);
    for (const QString& entry : dir.entryList(QDir::Files))
        if (entry.compare(bare, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    return {};
}

struct DataFile {
    QString path;
    qint64 offset = 0; // where the frames begin (after a WAVE header)
    qint64 bytes = 0; // bytes of frames
    bool bigEndian = false;
};

// The sample data of a WAVE file of CD audio (16-bit stereo PCM at 44.1 kHz); false otherwise.
bool waveData(const QString& path, DataFile& out)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = f.read(12);
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE")
        return false;
    bool format = false;
    while (!f.atEnd()) {
        const QByteArray chunk = f.read(8);
        if (chunk.size() < 8)
            return false;
        const qint64 size = qFromLittleEndian<quint32>(chunk.constData() + 4);
        const qint64 at = f.pos();
        if (chunk.startsWith("fmt ")) {
            const QByteArray fmt = f.read(16);
            if (fmt.size() < 16)
                return false;
            const quint16 tag = qFromLittleEndian<quint16>(fmt.constData());
            const quint16 channels = qFromLittleEndian<quint16>(fmt.constData() + 2);
            const quint32 rate = qFromLittleEndian<quint32>(fmt.constData() + 4);
            const quint16 bits = qFromLittleEndian<quint16>(fmt.constData() + 14);
            format = (tag == 1 || tag == 0xFFFE) && channels == 2 && rate == 44100 && bits == 16;
            if (!format)
                return false;
        } else if (chunk.startsWith("data")) {
            out.offset = at;
            out.bytes = qMin(size, f.size() - at);
            return format;
        }
        if (!f.seek(at + size + (size & 1)))
            return false;
    }
    return false;
}

struct Track {
    int number = 0;
    bool audio = true;
    qint64 start = -1; // INDEX 01 on the disc
};

class Reader {
public:
    explicit Reader(const QString& cuePath)
        : cue_(QFileInfo(cuePath).fileName())
        , dir_(QFileInfo(cuePath).absoluteDir())
    {
    }

    bool line(const QStringList& w);
    bool finish(CueSheet& out);
    QString error;

private:
    bool fail(const QString& why)
    {
        error = why;
        return false;
    }
    // Ends the stretch of the file that began at the last track change, `frames` frames long.
    void closeRegion(qint64 frames);
    bool closeFile();

    QString cue_;
    QDir dir_;
    QList<CueSegment> segments_;
    QList<Track> tracks_;
    bool haveFile_ = false;
    DataFile file_;
    bool regionOpen_ = false;
    CueSegment region_; // the open stretch: start, file, offset, sectorSize, audio
    qint64 regionFileFrame_ = 0; // where it begins in the file, in frames
    int regionTrack_ = 0;
    qint64 fileStart_ = 0; // the disc frame at which the current file began, gaps included
    qint64 inserted_ = 0; // silence put in since the current file began
    qint64 end_ = 0; // disc frames laid out so far
    qint64 pregap_ = 0; // silence still to come before the current track's first index
    qint64 postgap_ = 0; // silence to come after the current track
    int trackSector_ = kAudioSector;
    bool trackAudio_ = true;
};

void Reader::closeRegion(qint64 frames)
{
    if (!regionOpen_)
        return;
    region_.frames = frames;
    if (frames > 0)
        segments_ << region_;
    end_ = region_.start + frames;
    regionOpen_ = false;
}

bool Reader::closeFile()
{
    if (!haveFile_)
        return true;
    if (regionOpen_) {
        const qint64 left = file_.bytes - (region_.offset - file_.offset);
        if (left < 0)
            return fail(QStringLiteral("the data file \"%1\" of image %2 is shorter than the image says")
                            .arg(QFileInfo(file_.path).fileName(), cue_));
        closeRegion((left + region_.sectorSize - 1) / region_.sectorSize);
    }
    haveFile_ = false;
    return true;
}

bool Reader::line(const QStringList& w)
{
    if (w.isEmpty())
        return true;
    const QString key = w.first().toUpper();
    if (key == QLatin1String("FILE")) {
        if (w.size() < 2)
            return fail(QStringLiteral("image %1 names a data file without its name").arg(cue_));
        if (!closeFile())
            return false;
        const QString type = w.size() > 2 ? w.at(2).toUpper() : QStringLiteral("BINARY");
        const QString path = findDataFile(dir_, w.at(1));
        if (path.isEmpty())
            return fail(QStringLiteral("the data file \"%1\" of image %2 is missing").arg(w.at(1), cue_));
        file_ = DataFile();
        file_.path = path;
        if (type == QLatin1String("WAVE")) {
            if (!waveData(path, file_))
                return fail(QStringLiteral("the data file \"%1\" of image %2 is not CD audio "
                                           "(WAVE of 16-bit stereo PCM at 44.1 kHz)")
                                .arg(w.at(1), cue_));
        } else if (type == QLatin1String("BINARY") || type == QLatin1String("MOTOROLA")) {
            file_.bytes = QFileInfo(path).size();
            file_.bigEndian = type == QLatin1String("MOTOROLA");
        } else {
            return fail(QStringLiteral("the data file \"%1\" of image %2 is of type %3, which cannot be read")
                            .arg(w.at(1), cue_, type));
        }
        haveFile_ = true;
        fileStart_ = end_;
        inserted_ = 0;
        return true;
    }
    if (key == QLatin1String("TRACK")) {
        bool ok = false;
        const int n = w.size() > 1 ? w.at(1).toInt(&ok) : 0;
        const int size = w.size() > 2 ? sectorSizeOf(w.at(2)) : 0;
        if (!ok || n < 1 || n > kMaxTracks || size == 0)
            return fail(QStringLiteral("image %1 has a track line that cannot be read").arg(cue_));
        if (!haveFile_)
            return fail(QStringLiteral("image %1 names no data file before its first track").arg(cue_));
        if (!tracks_.isEmpty() && n != tracks_.last().number + 1)
            return fail(QStringLiteral("the tracks of image %1 are not numbered in order").arg(cue_));
        if (!tracks_.isEmpty() && tracks_.last().start < 0)
            return fail(QStringLiteral("track %1 of image %2 has no start (INDEX 01)")
                            .arg(tracks_.last().number)
                            .arg(cue_));
        Track t;
        t.number = n;
        t.audio = w.at(2).toUpper() == QLatin1String("AUDIO");
        tracks_ << t;
        trackSector_ = size;
        trackAudio_ = t.audio;
        pregap_ = 0;
        return true;
    }
    if (key == QLatin1String("PREGAP") || key == QLatin1String("POSTGAP")) {
        const qint64 frames = w.size() > 1 ? msfFrames(w.at(1)) : -1;
        if (frames < 0 || tracks_.isEmpty())
            return fail(QStringLiteral("image %1 has a %2 line that cannot be read").arg(cue_, key));
        (key == QLatin1String("PREGAP") ? pregap_ : postgap_) = frames;
        return true;
    }
    if (key == QLatin1String("INDEX")) {
        bool ok = false;
        const int index = w.size() > 1 ? w.at(1).toInt(&ok) : -1;
        const qint64 at = w.size() > 2 ? msfFrames(w.at(2)) : -1;
        if (!ok || index < 0 || at < 0 || tracks_.isEmpty() || !haveFile_)
            return fail(QStringLiteral("image %1 has an index line that cannot be read").arg(cue_));
        if (regionOpen_ && at < regionFileFrame_)
            return fail(QStringLiteral("the indexes of image %1 are not in order").arg(cue_));
        Track& track = tracks_.last();
        if (!regionOpen_ || regionTrack_ != track.number) {
            // The track's first index in this file: its stretch of the file begins here (at the
            // file's start when it is the first in the file), after the silence of the gaps.
            const qint64 from = regionOpen_ ? at : 0;
            CueSegment next;
            next.file = file_.path;
            next.fileEnd = file_.offset + file_.bytes;
            next.bigEndian = file_.bigEndian;
            next.sectorSize = trackSector_;
            next.audio = trackAudio_;
            if (regionOpen_) {
                next.offset = region_.offset + (from - regionFileFrame_) * region_.sectorSize;
                closeRegion(from - regionFileFrame_);
            } else {
                next.offset = file_.offset;
            }
            for (qint64 gap : { postgap_, pregap_ }) {
                if (gap > 0) {
                    CueSegment silence;
                    silence.start = end_;
                    silence.frames = gap;
                    segments_ << silence;
                    end_ += gap;
                    inserted_ += gap;
                }
            }
            postgap_ = pregap_ = 0;
            next.start = fileStart_ + inserted_ + from;
            region_ = next;
            regionFileFrame_ = from;
            regionTrack_ = track.number;
            regionOpen_ = true;
        }
        if (index == 1)
            track.start = region_.start + (at - regionFileFrame_);
        return true;
    }
    return true; // REM, TITLE, PERFORMER, FLAGS, ISRC, CATALOG, ...
}

bool Reader::finish(CueSheet& out)
{
    if (!closeFile())
        return false;
    if (postgap_ > 0) {
        CueSegment silence;
        silence.start = end_;
        silence.frames = postgap_;
        segments_ << silence;
        end_ += postgap_;
    }
    if (tracks_.isEmpty())
        return fail(QStringLiteral("image %1 holds no track").arg(cue_));
    DiscToc toc;
    toc.first = tracks_.first().number;
    toc.last = tracks_.last().number;
    for (const Track& t : tracks_) {
        if (t.start < 0)
            return fail(QStringLiteral("track %1 of image %2 has no start (INDEX 01)").arg(t.number).arg(cue_));
        toc.starts << int(kLeadIn + t.start);
        toc.data << !t.audio;
    }
    toc.leadout = int(kLeadIn + end_);
    if (!toc.isValid())
        return fail(QStringLiteral("the tracks of image %1 do not follow one another").arg(cue_));
    out.toc = toc;
    out.segments = segments_;
    return true;
}

} // namespace

bool readCueSheet(const QString& cuePath, CueSheet& out, QString* error)
{
    const QString name = QFileInfo(cuePath).fileName();
    auto failed = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    QFile f(cuePath);
    if (!f.open(QIODevice::ReadOnly))
        return failed(QStringLiteral("image %1 not found").arg(cuePath));
    // A cue sheet is small; one that is not is no cue sheet.
    if (f.size() > 1024 * 1024)
        return failed(QStringLiteral("image %1 is no cue sheet").arg(name));
    QByteArray bytes = f.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QString text = QString::fromUtf8(bytes);
    // Not UTF-8: an older sheet in a single-byte code page.
    if (text.contains(QChar::ReplacementCharacter))
        text = QString::fromLatin1(bytes);
    Reader reader(cuePath);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (!reader.line(words(line)))
            return failed(reader.error);
    }
    if (!reader.finish(out))
        return failed(reader.error);
    return true;
}

} // namespace td

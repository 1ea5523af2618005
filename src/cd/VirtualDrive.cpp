#include "cd/VirtualDrive.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace td {

VirtualDrive::VirtualDrive(QString path, std::shared_ptr<PlayClock> clock)
    : path_(std::move(path))
    , playback_(std::move(clock))
{
}

bool VirtualDrive::acquire()
{
    // The file stands for the disc, not the drive: the drive is there even when the file is not.
    acquired_ = true;
    error_.clear();
    refresh();
    return true;
}

QString VirtualDrive::name() const
{
    return QStringLiteral("virtual drive %1").arg(QFileInfo(path_).fileName());
}

void VirtualDrive::refresh()
{
    MediaState state = MediaState::NoDisc;
    DiscToc toc;
    QString error;
    QFile file(path_);
    if (!file.exists()) {
        error = QStringLiteral("%1 does not exist (no disc)").arg(path_);
    } else if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        state = MediaState::NotReady;
        error = QStringLiteral("%1 cannot be read: %2").arg(path_, file.errorString());
    } else {
        QTextStream in(&file);
        bool found = false;
        while (!in.atEnd() && !found) {
            const QString line = in.readLine().trimmed();
            if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
                continue;
            found = true;
            const QString word = line.toLower();
            if (word == QLatin1String("open")) {
                state = MediaState::DoorOpen;
            } else if (word == QLatin1String("nodisc")) {
                state = MediaState::NoDisc;
            } else if (word == QLatin1String("notready")) {
                state = MediaState::NotReady;
            } else if (parseTocLine(line, toc, &error)) {
                state = MediaState::Ready;
            } else {
                state = MediaState::NotReady;
                error = QStringLiteral("%1: %2").arg(path_, error);
            }
        }
        if (!found)
            error = QStringLiteral("%1 holds no table of contents (no disc)").arg(path_);
    }
    if (doorForcedOpen_)
        state = MediaState::DoorOpen;
    if (state != MediaState::Ready)
        toc = DiscToc();
    if (toc != toc_) {
        toc_ = toc;
        playback_.reset(toc.isEmpty() ? 0 : toc.starts.first(), toc.leadout);
    }
    state_ = state;
    error_ = error;
}

MediaState VirtualDrive::media()
{
    refresh();
    return state_;
}

bool VirtualDrive::toc(DiscToc& out)
{
    refresh();
    if (state_ != MediaState::Ready)
        return false;
    out = toc_;
    return true;
}

AudioState VirtualDrive::audioState()
{
    refresh();
    return playback_.state();
}

int VirtualDrive::position()
{
    refresh();
    return playback_.position();
}

bool VirtualDrive::play(int from, int to)
{
    refresh();
    if (state_ != MediaState::Ready)
        return false;
    playback_.play(from, to);
    return true;
}

bool VirtualDrive::pause()
{
    playback_.pause();
    return true;
}

bool VirtualDrive::resume()
{
    playback_.resume();
    return true;
}

bool VirtualDrive::stop()
{
    playback_.stop();
    return true;
}

bool VirtualDrive::setDoorOpen(bool open)
{
    doorForcedOpen_ = open;
    refresh();
    return true;
}

} // namespace td

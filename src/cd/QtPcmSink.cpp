#include "cd/QtPcmSink.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <QTimer>

namespace td {

namespace {

constexpr int kPushMs = 20;
constexpr int kBytesPerSampleFrame = 4; // one 16-bit sample for each of two channels

} // namespace

QtPcmSink::QtPcmSink() = default;

QtPcmSink::~QtPcmSink()
{
    stop();
}

bool QtPcmSink::start(PcmFeed* feed)
{
    stop();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return false;
    QAudioFormat format;
    format.setSampleRate(kSampleRate);
    format.setChannelCount(2);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format))
        return false;
    auto sink = std::make_unique<QAudioSink>(device, format);
    // Half a second queued in the output: enough to ride out a busy moment of the program.
    sink->setBufferSize(kSampleRate * kBytesPerSampleFrame / 2);
    QIODevice* io = sink->start();
    if (!io || sink->error() != QAudio::NoError)
        return false;
    sink_ = std::move(sink);
    io_ = io;
    feed_ = feed;
    pushed_ = 0;
    if (!timer_) {
        timer_ = std::make_unique<QTimer>();
        timer_->setInterval(kPushMs);
        QObject::connect(timer_.get(), &QTimer::timeout, [this] { push(); });
    }
    timer_->start();
    push();
    return true;
}

void QtPcmSink::push()
{
    if (!sink_ || !feed_ || sink_->state() == QAudio::SuspendedState
        || sink_->state() == QAudio::StoppedState)
        return;
    // Whole sample frames only, so that left and right never swap.
    const qint64 room = sink_->bytesFree() / kBytesPerSampleFrame * kBytesPerSampleFrame;
    if (room <= 0)
        return;
    const qsizetype held = pending_.size();
    if (held < room) {
        pending_.resize(room);
        const qint64 got = feed_->readPcm(pending_.data() + held, room - held);
        pending_.resize(held + qsizetype(got));
    }
    if (pending_.isEmpty())
        return;
    const qint64 written = io_->write(pending_.constData(), qMin<qint64>(room, pending_.size()));
    if (written > 0) {
        pending_.remove(0, qsizetype(written));
        pushed_ += written;
    }
}

void QtPcmSink::pause()
{
    if (sink_)
        sink_->suspend();
}

void QtPcmSink::resume()
{
    if (sink_)
        sink_->resume();
}

void QtPcmSink::stop()
{
    if (timer_)
        timer_->stop();
    if (sink_)
        sink_->stop();
    sink_.reset();
    io_ = nullptr;
    feed_ = nullptr;
    pending_.clear();
}

qint64 QtPcmSink::framesPlayed() const
{
    if (!sink_)
        return 0;
    const qint64 pushedFrames = pushed_ / kBytesPerFrame;
    // Everything handed over and the output has run dry: all of it has been heard.
    if (feed_ && pending_.isEmpty() && feed_->atEnd() && sink_->state() == QAudio::IdleState)
        return pushedFrames;
    const qint64 heard = sink_->processedUSecs() * 75 / 1000000;
    return qMin(heard, pushedFrames);
}

bool QtPcmSink::failed() const
{
    return sink_ && (sink_->error() == QAudio::OpenError || sink_->error() == QAudio::FatalError);
}

} // namespace td

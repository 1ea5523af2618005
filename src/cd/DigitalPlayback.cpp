#include "cd/DigitalPlayback.h"

#include "cd/SectorReader.h"

#include <algorithm>

namespace td {

QString noAudioOutputNotice()
{
    return QStringLiteral("No audio output: playing silently");
}

DigitalPlayback::DigitalPlayback(std::shared_ptr<PlayClock> clock, std::unique_ptr<PcmSink> sink)
    : silent_(std::move(clock))
    , sink_(std::move(sink))
{
}

DigitalPlayback::~DigitalPlayback()
{
    halt();
}

void DigitalPlayback::reset(int home, int discEnd, SectorSourceFactory source)
{
    halt();
    source_ = std::move(source);
    silent_.reset(home, discEnd);
    silentMode_ = false;
    state_ = AudioState::Stopped;
    home_ = home;
    discEnd_ = discEnd;
    held_ = home;
}

void DigitalPlayback::halt()
{
    if (silentMode_) {
        silent_.stop();
    } else if (state_ != AudioState::Stopped) {
        update();
        if (state_ == AudioState::Playing)
            held_ = digitalPosition();
        state_ = AudioState::Stopped;
    }
    if (reader_)
        sink_->stop();
    reader_.reset();
    retired_.clear();
}

int DigitalPlayback::digitalPosition() const
{
    if (!reader_)
        return held_;
    const int from = reader_->from();
    const qint64 played = qBound(qint64(0), sink_->framesPlayed(), qint64(reader_->endAddress() - from));
    return from + int(played);
}

void DigitalPlayback::update()
{
    if (silentMode_ || state_ == AudioState::Stopped || !reader_)
        return;
    if (sink_->failed()) {
        // The output went away during the play: the rest goes on silently from where it was.
        const int at = digitalPosition();
        const int to = reader_->endAddress();
        const bool paused = state_ == AudioState::Paused;
        retire();
        state_ = AudioState::Stopped;
        playSilently(paused ? held_ : at, to);
        if (paused)
            silent_.pause();
        return;
    }
    if (state_ != AudioState::Playing || !reader_->readingDone())
        return;
    const int end = reader_->endAddress();
    if (sink_->framesPlayed() >= end - reader_->from()) {
        retire();
        state_ = AudioState::Stopped;
        held_ = end >= discEnd_ ? home_ : end;
    }
}

void DigitalPlayback::retire()
{
    if (!reader_)
        return;
    sink_->stop();
    reader_->cancel();
    retired_.push_back(std::move(reader_));
    // Readers whose thread has returned cost nothing to join.
    retired_.erase(std::remove_if(retired_.begin(), retired_.end(),
                       [](const std::unique_ptr<SectorReader>& r) { return r->readingDone(); }),
        retired_.end());
}

AudioState DigitalPlayback::state()
{
    update();
    return silentMode_ ? silent_.state() : state_;
}

int DigitalPlayback::position()
{
    update();
    if (silentMode_)
        return silent_.position();
    return state_ == AudioState::Playing ? digitalPosition() : held_;
}

void DigitalPlayback::play(int from, int to)
{
    update();
    silent_.stop();
    silentMode_ = false;
    retire();
    to = qMax(from, to);
    reader_ = std::make_unique<SectorReader>(source_, from, to);
    if (!sink_->start(reader_.get())) {
        // Nothing has been read: the disc is not touched when nobody could hear it.
        reader_.reset();
        playSilently(from, to);
        return;
    }
    reader_->begin();
    state_ = AudioState::Playing;
    noticeDue_ = true;
}

void DigitalPlayback::playSilently(int from, int to)
{
    silentMode_ = true;
    state_ = AudioState::Stopped;
    silent_.play(from, to);
    if (noticeDue_) {
        notice_ = noAudioOutputNotice();
        noticeDue_ = false;
    }
}

void DigitalPlayback::pause()
{
    update();
    if (silentMode_) {
        silent_.pause();
    } else if (state_ == AudioState::Playing) {
        held_ = digitalPosition();
        sink_->pause();
        state_ = AudioState::Paused;
    }
}

void DigitalPlayback::resume()
{
    update();
    if (silentMode_) {
        silent_.resume();
    } else if (state_ == AudioState::Paused) {
        sink_->resume();
        state_ = AudioState::Playing;
    }
}

void DigitalPlayback::stop()
{
    update();
    if (silentMode_) {
        silent_.stop();
    } else if (state_ != AudioState::Stopped) {
        if (state_ == AudioState::Playing)
            held_ = digitalPosition();
        retire();
        state_ = AudioState::Stopped;
    }
}

QString DigitalPlayback::takeNotice()
{
    QString n;
    n.swap(notice_);
    return n;
}

} // namespace td

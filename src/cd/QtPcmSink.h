#pragma once
// The computer's default sound output through Qt Multimedia. Samples are pushed to the output from
// a timer on the thread that started the play, as much as the output has room for.

#include "cd/PcmSink.h"

#include <QByteArray>
#include <memory>

class QAudioSink;
class QIODevice;
class QTimer;

namespace td {

class QtPcmSink : public PcmSink {
public:
    QtPcmSink();
    ~QtPcmSink() override;

    // False when the system has no sound output or the output does not take CD audio.
    bool start(PcmFeed* feed) override;
    void pause() override;
    void resume() override;
    void stop() override;
    qint64 framesPlayed() const override;
    bool failed() const override;

private:
    void push();

    std::unique_ptr<QAudioSink> sink_;
    std::unique_ptr<QTimer> timer_;
    QIODevice* io_ = nullptr;
    PcmFeed* feed_ = nullptr;
    QByteArray pending_; // taken from the feed, not yet taken by the output
    qint64 pushed_ = 0; // bytes handed to the output
};

} // namespace td

#include "common/ui/SoundPlayer.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMediaDevices>
#include <QPointer>
#include <QSoundEffect>
#include <QUrl>

namespace td {

namespace {

// One sound at a time, owned by the application object so that it outlives the window that
// started it and goes with the program.
QPointer<QSoundEffect>& current()
{
    static QPointer<QSoundEffect> effect;
    return effect;
}

void stopCurrent()
{
    if (QSoundEffect* e = current().data()) {
        e->stop();
        e->deleteLater();
    }
    current() = nullptr;
}

} // namespace

bool isWaveFile(const QString& file)
{
    QFile f(file);
    if (!QFileInfo(file).isFile() || !f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = f.read(12);
    return head.size() == 12 && head.startsWith("RIFF") && head.mid(8, 4) == "WAVE";
}

bool playSoundAsync(const QString& file, QObject* context, std::function<void(const QString&)> failedLater)
{
    stopCurrent();
    if (!isWaveFile(file))
        return false;
    // Without an audio output the effect would stay silent without saying so.
    if (QMediaDevices::audioOutputs().isEmpty())
        return false;
    auto* effect = new QSoundEffect(QCoreApplication::instance());
    current() = effect;
    QPointer<QObject> watch(context);
    const bool hasContext = context != nullptr;
    auto failed = std::make_shared<bool>(false);
    QObject::connect(effect, &QSoundEffect::statusChanged, effect, [=] {
        if (effect->status() != QSoundEffect::Error || *failed)
            return;
        *failed = true;
        if (current() == effect)
            current() = nullptr;
        effect->deleteLater();
        if (failedLater && (!hasContext || watch))
            failedLater(file);
    });
    QObject::connect(effect, &QSoundEffect::playingChanged, effect, [effect] {
        // Played to its end: the effect goes.
        if (!effect->isPlaying() && effect->status() == QSoundEffect::Ready) {
            if (current() == effect)
                current() = nullptr;
            effect->deleteLater();
        }
    });
    effect->setSource(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()));
    effect->play();
    return true;
}

} // namespace td

#include "gui/desktop/SoundPlayer.h"

#include <QApplication>
#include <QAudioDevice>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace mv::gui {
namespace {

std::function<void()>& beeper() {
    static std::function<void()> beep;
    return beep;
}

} // namespace

SoundPlayer::SoundPlayer(QObject* parent) : QObject(parent), m_effect(new QSoundEffect(this)) {
    connect(m_effect, &QSoundEffect::statusChanged, this, &SoundPlayer::onStatusChanged);
}

bool SoundPlayer::play(const QString& file, bool loop) {
    stop();
    if (!QFileInfo(file).isFile()) {
        emit failed(QStringLiteral("Sound file not found: %1").arg(file));
        return false;
    }
    // Without a device the effect would claim to play and nobody would hear the alarm.
    if (QMediaDevices::defaultAudioOutput().isNull()) {
        emit failed(QStringLiteral("No sound device to play %1").arg(file));
        return false;
    }
    m_file = file;
    m_effect->setLoopCount(loop ? int(QSoundEffect::Infinite) : 1);
    const QUrl source = QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath());
    if (m_effect->source() != source) m_effect->setSource(source);
    // Loading runs in the background; a play asked for before it ends starts once it is ready.
    m_effect->play();
    if (m_effect->status() == QSoundEffect::Error) onStatusChanged();
    return true;
}

void SoundPlayer::playAlarm(const QString& file, bool loop) {
    // The beep stands in for a tune that cannot be heard, so the alarm is never silent.
    if (!QFileInfo(file).isFile() || !play(file, loop)) beep();
}

void SoundPlayer::stop() {
    m_effect->stop();
}

bool SoundPlayer::isPlaying() const {
    return m_effect->isPlaying();
}

void SoundPlayer::onStatusChanged() {
    if (m_effect->status() == QSoundEffect::Error)
        emit failed(QStringLiteral("Unable to play %1").arg(m_file));
}

void SoundPlayer::beep() {
    if (beeper())
        beeper()();
    else
        QApplication::beep();
}

void SoundPlayer::setBeeper(std::function<void()> beep) {
    beeper() = std::move(beep);
}

} // namespace mv::gui

#pragma once
// The alarm: a wave file played in the background, once or over and over until stopped, and the
// desktop's warning beep. A machine without a sound device gets a report, never a wait.
#include <QObject>
#include <QString>
#include <functional>

class QSoundEffect;

namespace mv::gui {

class SoundPlayer : public QObject {
    Q_OBJECT
public:
    explicit SoundPlayer(QObject* parent = nullptr);

    // Starts `file` (looping until stop() when `loop`); returns at once. False, reported through
    // failed(), when the file is missing or there is no sound device; a file that turns out
    // unplayable is reported through failed() a moment later.
    bool play(const QString& file, bool loop);
    // The alarm: the wave file when it exists and can be heard, else the warning beep.
    void playAlarm(const QString& file, bool loop);
    // Stops whatever this program plays; nothing playing is fine.
    void stop();
    bool isPlaying() const;

    static void beep();
    // Tests count beeps instead of hearing them; an empty function restores the real beep.
    static void setBeeper(std::function<void()> beeper);

signals:
    void failed(const QString& reason);

private:
    void onStatusChanged();

    QSoundEffect* m_effect;
    QString m_file;
};

} // namespace mv::gui

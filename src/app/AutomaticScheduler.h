#pragma once
// The timing of automatic checking: the mode (as stored, or switched on for one command-line run
// only), the minute timer, the countdown to the next run and the captions that show them. The
// controller runs the checks when a tick finds a run due. The host calls the controller's
// Timer1Timer once a minute while timerEnabled(). Owned by the controller.
#include "app/View.h"

#include <optional>
#include <string>

namespace mv {

// "Mailvane - next e-mail check in N minute(s)".
std::string countdownCaption(int minutes);

class AutomaticScheduler {
public:
    explicit AutomaticScheduler(View& view) : m_view(view) {}

    // The stored mode and minutes (start-up, the settings window closed): the countdown starts
    // again from the minutes.
    void configure(bool automatic, int minutes);
    // The mode switched from the tray; switching off starts the countdown again.
    void setStoredMode(bool automatic);
    // Automatic mode for this run of the program only, never stored.
    void setModeForRun(bool automatic);

    bool automatic() const { return m_modeForRun.value_or(m_stored); }
    int minutes() const { return m_minutes; }
    int countdown() const { return m_countdown; }
    bool timerEnabled() const { return m_timerEnabled; }
    // True for the duration of one tick's work (a check then is part of an automatic run).
    bool inRun() const { return m_inRun; }

    // Captions, tray icon and timer for a mode.
    void UpdateAutomaticCaptions(bool automatic, int minutes);
    // The start of a tick: one minute less, captions of the mode. True when a run is due.
    bool startTick();
    // The end of every tick, however its run ended: a run that was due leaves the countdown
    // started again (a run that ended early must not run again at every following tick), and
    // the timer follows the mode.
    void endTick();
    // A run now, whatever the countdown says.
    void makeDue() { m_countdown = 0; }

    // Around modal windows and operations: off now, back on afterwards in automatic mode.
    void disableTimer() { m_timerEnabled = false; }
    void restoreTimer() { m_timerEnabled = automatic(); }
    void setTimerEnabled(bool enabled) { m_timerEnabled = enabled; }

private:
    View& m_view;
    bool m_stored = false;
    std::optional<bool> m_modeForRun;
    int m_minutes = 10;
    int m_countdown = 10;
    bool m_timerEnabled = false;
    bool m_inRun = false;
};

} // namespace mv

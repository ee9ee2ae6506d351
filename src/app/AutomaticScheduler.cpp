#include "app/AutomaticScheduler.h"

namespace mv {

std::string countdownCaption(int minutes) {
    return "Mailvane - next e-mail check in " + std::to_string(minutes) +
           (minutes == 1 ? " minute" : " minutes");
}

void AutomaticScheduler::configure(bool automatic, int minutes) {
    m_stored = automatic;
    m_minutes = minutes;
    m_countdown = minutes;
    UpdateAutomaticCaptions(this->automatic(), minutes);
}

void AutomaticScheduler::setStoredMode(bool automatic) {
    m_stored = automatic;
    m_modeForRun.reset();
    if (!automatic) m_countdown = m_minutes;
    UpdateAutomaticCaptions(automatic, m_minutes);
}

void AutomaticScheduler::setModeForRun(bool automatic) {
    m_modeForRun = automatic;
    UpdateAutomaticCaptions(automatic, m_countdown);
}

void AutomaticScheduler::UpdateAutomaticCaptions(bool automatic, int minutes) {
    m_timerEnabled = automatic;
    m_view.setCaption(automatic ? countdownCaption(minutes) : "Mailvane");
    m_view.setAutomaticMode(automatic);
}

bool AutomaticScheduler::startTick() {
    --m_countdown;
    UpdateAutomaticCaptions(automatic(), m_minutes);
    m_inRun = true;
    if (m_countdown > 0) {
        m_view.setCaption(countdownCaption(m_countdown));
        return false;
    }
    m_timerEnabled = false; // ticks never overlap a run
    return true;
}

void AutomaticScheduler::endTick() {
    m_inRun = false;
    if (m_countdown <= 0) m_countdown = m_minutes;
    m_timerEnabled = automatic();
}

} // namespace mv

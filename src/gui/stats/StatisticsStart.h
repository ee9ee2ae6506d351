#pragma once
// "Activity Log Statistics for Mailvane": the start window that picks the activity log, reads it
// with a progress bar (Cancel stops the reading) and then shows the statistics window in its place.
// One statistics window at a time, process-wide.
#include "base/DateTime.h"
#include "base/RegionalSettings.h"

#include <QDialog>

class QLineEdit;
class QProgressBar;
class QPushButton;
class QToolButton;

namespace mv::gui {

// True from the start window's OK until its statistics window has closed.
bool statisticsInProgress();

class StatisticsStart : public QDialog {
public:
    // `regional` are the program's formats; the clock gives "now" for the date range.
    StatisticsStart(const QString& logPath, RegionalSettings regional, const Clock& clock,
                    QWidget* parent = nullptr);

protected:
    void reject() override;

private:
    void browse();
    void open();
    // While the log reads, only Cancel (which then stops the reading) stays live.
    void setReading(bool reading);

    RegionalSettings m_regional;
    const Clock& m_clock;
    QLineEdit* m_path;
    QToolButton* m_browse;
    QProgressBar* m_progress;
    QPushButton* m_ok;
    bool m_reading = false;
    bool m_cancelled = false;
};

// Shows the start window modally unless a statistics window is in progress or a start window
// opened here is still up.
void openStatisticsWindow(QWidget* parent, const QString& logPath, const RegionalSettings& regional,
                          const Clock& clock);

} // namespace mv::gui

#include "app/CheckController.h"
#include "gui/WindowOpeners.h"
#include "gui/stats/StatisticsStart.h"

namespace mv::gui {

void openStatistics(QWidget* parent, CheckController& controller) {
    static const SystemClock clock;
    openStatisticsWindow(parent, QString::fromStdString(controller.general().logfile),
                         controller.regional(), clock);
}

} // namespace mv::gui

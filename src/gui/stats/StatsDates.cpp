#include "gui/stats/StatsDates.h"

#include "base/Text.h"

#include <QDateTime>
#include <cmath>

namespace mv::gui {

namespace {
const QDate kDayZero(1899, 12, 30);
}

QDate toQDate(DateTime value) {
    return kDayZero.addDays(static_cast<qint64>(std::floor(value)));
}

DateTime fromQDate(QDate date) {
    return static_cast<DateTime>(kDayZero.daysTo(date));
}

qint64 chartMsecs(DateTime value) {
    return toQDate(value).startOfDay().toMSecsSinceEpoch();
}

QString logText(std::string_view text) {
    return QString::fromStdString(displayText(text));
}

} // namespace mv::gui

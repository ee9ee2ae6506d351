#pragma once
// The statistics keep dates as day counts since 30 December 1899; the windows show them with Qt.
#include "base/DateTime.h"

#include <QDate>
#include <QString>
#include <string_view>

namespace mv::gui {

QDate toQDate(DateTime value);
DateTime fromQDate(QDate date);
// Midnight of the value's day as a chart's x value (milliseconds since 1970, local time).
qint64 chartMsecs(DateTime value);
// A log text (UTF-8, or Latin-1 when it is not) as shown.
QString logText(std::string_view text);

} // namespace mv::gui

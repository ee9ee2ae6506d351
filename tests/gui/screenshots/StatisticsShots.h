#pragma once
// Pictures of the statistics windows over a realistic log of a few months: the start window,
// every page of the statistics window and its hints, the date range dialog; saved as PNG files
// into a folder, for a person to look at. One function a window.
#include <QStringList>

namespace mv::gui {

// Each returns the names of the files written.
QStringList shootStatisticsStart(const QString& outDir);
QStringList shootStatisticsPages(const QString& outDir);
QStringList shootDateRange(const QString& outDir);

} // namespace mv::gui

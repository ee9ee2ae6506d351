#pragma once
// Pictures of the statistics windows over a realistic log of a few months, one function per
// window, each writing its PNG files into `folder`.
#include <QString>

namespace mv::test {

void shootStatisticsStart(const QString& folder);
void shootStatisticsPages(const QString& folder);
void shootDateRange(const QString& folder);

} // namespace mv::test

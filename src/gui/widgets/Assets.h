#pragma once
// Read-only files that ship with the program (help pages, alarm sound, starter lists) live in
// share/mailvane beside the bin folder of the running program, in the build tree as when installed.
#include <QString>

namespace mv::gui {

// The full path of `relative` (e.g. "help/index.html") under share/mailvane.
QString assetPath(const QString& relative);

} // namespace mv::gui

#pragma once
// Pictures of the "General settings" window (every page, both panels of "Automatic"), its
// security dialog and the "Address" dialog, saved as PNG files into a folder, for a person to look
// at. The controller supplies the settings shown.
#include <QStringList>

namespace mv {
class CheckController;
}

namespace mv::gui {

// Returns the names of the files written.
QStringList shootGeneralSettings(CheckController& controller, const QString& outDir);

} // namespace mv::gui

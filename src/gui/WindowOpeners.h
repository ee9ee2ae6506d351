#pragma once
// The settings and statistics windows, opened modally from the main window, the tray and each
// other. Each call returns when its window has closed; what surrounds it (the alarm stopped, the
// automatic timer paused and restored, captions refreshed) is the caller's.
class QWidget;

namespace mv {
class CheckController;
}

namespace mv::gui {

// "Spam Settings": true when closed with OK (the rules were saved).
bool openSpamSettings(QWidget* parent, CheckController& controller);
// "General settings": true when closed with OK (the settings were saved).
bool openGeneralSettings(QWidget* parent, CheckController& controller);
// "Activity Log Statistics for Mailvane", unless a statistics window is already open.
void openStatistics(QWidget* parent, CheckController& controller);

} // namespace mv::gui

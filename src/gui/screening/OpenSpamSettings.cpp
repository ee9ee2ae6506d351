// The "Spam settings" command: the window over the controller's rule set, column widths kept
// beside the settings.
#include "app/CheckController.h"
#include "gui/WindowOpeners.h"
#include "gui/screening/SpamSettingsWindow.h"

namespace mv::gui {

bool openSpamSettings(QWidget* parent, CheckController& controller) {
    SpamSettingsWindow window(controller.rules(), controller.accounts(),
                              controller.home().lockFile(), controller.settings(), parent);
    return window.exec() == QDialog::Accepted;
}

} // namespace mv::gui

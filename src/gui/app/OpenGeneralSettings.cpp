// "General settings": a window made for this opening, offering the network connections the
// dial-up layer knows now and looking in the user's own home for other mail programs.
#include "app/CheckController.h"
#include "gui/WindowOpeners.h"
#include "gui/app/GeneralSettingsWindow.h"
#include "net/RasDialer.h"

namespace mv::gui {

bool openGeneralSettings(QWidget* parent, CheckController& controller) {
    TRasDialer dialer;
    TfrmGeneral window(controller, processEnvironment(), dialer.Entries(), parent);
    return window.exec() == QDialog::Accepted;
}

} // namespace mv::gui

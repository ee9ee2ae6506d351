// "General settings": a window made for this opening, offering the network connections the
// dial-up layer knows now and looking in the user's own home for other mail programs.
#include "app/CheckController.h"
#include "base/RunAside.h"
#include "gui/WindowOpeners.h"
#include "gui/app/GeneralSettingsWindow.h"
#include "net/RasDialer.h"

namespace mv::gui {

bool openGeneralSettings(QWidget* parent, CheckController& controller) {
    // Asking NetworkManager takes a few calls of its client, each allowed seconds: the windows
    // stay live meanwhile.
    std::vector<std::string> entries = runAside([] { return TRasDialer().Entries(); },
                                                [&controller] { controller.platform().pump(); });
    TfrmGeneral window(controller, processEnvironment(), std::move(entries), parent);
    return window.exec() == QDialog::Accepted;
}

} // namespace mv::gui

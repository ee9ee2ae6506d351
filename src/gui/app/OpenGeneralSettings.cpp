// Stand-in until the "General settings" window is built: says so instead of opening nothing.
#include "gui/WindowOpeners.h"
#include "gui/widgets/MessageBox.h"

namespace mv::gui {

bool openGeneralSettings(QWidget* parent, CheckController& /*controller*/) {
    MessageBox::information(parent, QStringLiteral("The General settings window is not available yet."));
    return false;
}

} // namespace mv::gui

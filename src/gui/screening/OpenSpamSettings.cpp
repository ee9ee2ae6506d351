// Stand-in until the "Spam settings" window is built: says so instead of opening nothing.
#include "gui/WindowOpeners.h"
#include "gui/widgets/MessageBox.h"

namespace mv::gui {

bool openSpamSettings(QWidget* parent, CheckController& /*controller*/) {
    MessageBox::information(parent, QStringLiteral("The Spam settings window is not available yet."));
    return false;
}

} // namespace mv::gui

// Stand-in until the "Statistics" window is built: says so instead of opening nothing.
#include "gui/WindowOpeners.h"
#include "gui/widgets/MessageBox.h"

namespace mv::gui {

void openStatistics(QWidget* parent, CheckController& /*controller*/) {
    MessageBox::information(parent, QStringLiteral("The Statistics window is not available yet."));
}

} // namespace mv::gui

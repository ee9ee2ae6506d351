#pragma once
// The OK (and Cancel) row of the small dialogs, with the names tests find them by.
#include <QDialogButtonBox>

namespace mv::gui {

// Buttons named btOK and btCancel, wired to the dialog's accept and reject.
QDialogButtonBox* dialogButtons(QDialog& dialog, QDialogButtonBox::StandardButtons buttons);

} // namespace mv::gui

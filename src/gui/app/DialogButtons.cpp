#include "gui/app/DialogButtons.h"

#include <QDialog>
#include <QPushButton>

namespace mv::gui {

QDialogButtonBox* dialogButtons(QDialog& dialog, QDialogButtonBox::StandardButtons buttons) {
    auto* box = new QDialogButtonBox(buttons, &dialog);
    if (QPushButton* ok = box->button(QDialogButtonBox::Ok))
        ok->setObjectName(QStringLiteral("btOK"));
    if (QPushButton* cancel = box->button(QDialogButtonBox::Cancel))
        cancel->setObjectName(QStringLiteral("btCancel"));
    QObject::connect(box, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return box;
}

} // namespace mv::gui

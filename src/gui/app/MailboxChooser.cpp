#include "gui/app/MailboxChooser.h"

#include "gui/app/DialogButtons.h"

#include <QComboBox>
#include <QLabel>
#include <QVBoxLayout>

namespace mv::gui {

TfrmWhichMailbox::TfrmWhichMailbox(const QStringList& lines, int preselected, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmWhichMailbox"));
    setWindowTitle(QStringLiteral("Which Mail Box?"));
    auto* heading = new QLabel(QStringLiteral("Which mailbox do you wish to check?"), this);
    m_which = new QComboBox(this);
    m_which->setObjectName(QStringLiteral("cbWhich"));
    m_which->addItems(lines);
    m_which->setCurrentIndex(preselected >= 0 && preselected < lines.size() ? preselected : 0);
    auto* buttons = dialogButtons(*this, QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(m_which);
    layout->addWidget(buttons);
    setMinimumWidth(400);
}

int TfrmWhichMailbox::chosenIndex() const {
    return m_which->currentIndex();
}

} // namespace mv::gui

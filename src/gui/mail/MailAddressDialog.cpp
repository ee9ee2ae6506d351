#include "gui/mail/MailAddressDialog.h"

#include "base/Text.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace mv::gui {

namespace {
QLineEdit* labelledEdit(const char* name, const QString& label, QVBoxLayout* layout) {
    auto* edit = new QLineEdit;
    edit->setObjectName(QString::fromLatin1(name));
    // A character can take several bytes; the byte limit is applied on OK.
    edit->setMaxLength(static_cast<int>(kShortTextMax));
    auto* caption = new QLabel(label);
    caption->setBuddy(edit);
    layout->addWidget(caption);
    layout->addWidget(edit);
    return edit;
}
} // namespace

TMailAddressDlg::TMailAddressDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("MailAddressDlg"));
    setWindowTitle(QStringLiteral("Address"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    m_nameEdit = labelledEdit("NameEdit", QStringLiteral("&Name"), layout);
    m_addressEdit = labelledEdit("AddressEdit", QStringLiteral("&Address"), layout);
    m_addressEdit->setMinimumWidth(m_addressEdit->fontMetrics().averageCharWidth() * 40);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TMailAddressDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TMailAddressDlg::reject);
    layout->addWidget(buttons);
    setFixedSize(sizeHint());
}

void TMailAddressDlg::assign(const TEmailAddress& address) {
    m_address = address;
    m_nameEdit->setText(QString::fromStdString(displayText(address.Name)));
    m_addressEdit->setText(QString::fromStdString(displayText(address.Address)));
}

void TMailAddressDlg::accept() {
    m_address.Name = cutShort(m_nameEdit->text().toStdString());
    m_address.Address = cutShort(m_addressEdit->text().toStdString());
    QDialog::accept();
}

bool editAddress(QWidget* parent, TEmailAddress& address) {
    TMailAddressDlg dialog(parent);
    dialog.assign(address);
    if (dialog.exec() != QDialog::Accepted) return false;
    address = dialog.address();
    return true;
}

} // namespace mv::gui

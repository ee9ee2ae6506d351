#pragma once
// The "Address" dialog: edits the display name and the mailbox of one e-mail address. It works on
// a copy of the address and hands it back only when closed with OK, each field cut to the mail
// library's 255 bytes. Made for one editing and gone with it.
#include "mail/EmailAddress.h"

#include <QDialog>

class QLineEdit;

namespace mv::gui {

class TMailAddressDlg : public QDialog {
    Q_OBJECT
public:
    explicit TMailAddressDlg(QWidget* parent = nullptr);

    // Fills the fields from `address` (the working copy).
    void assign(const TEmailAddress& address);
    // The working copy: what OK last stored.
    const TEmailAddress& address() const { return m_address; }

    void accept() override;

private:
    QLineEdit* m_nameEdit;
    QLineEdit* m_addressEdit;
    TEmailAddress m_address;
};

// `TEmailAddress::Edit`: shows the dialog filled with `address`; on OK the edited values are
// assigned back and true is returned.
bool editAddress(QWidget* parent, TEmailAddress& address);

} // namespace mv::gui

#pragma once
// "Security of mailbox N": how one account protects its session (implicit TLS, STARTTLS
// required or when offered, none) and the fingerprint of a self-signed certificate it trusts.
// Opened from a row of the settings window's "Mailboxes" page; lives while it is shown.
#include "net/Transport.h"

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace mv::gui {

// The short word a mailbox row shows for its mode: "TLS", "STARTTLS", "If offered", "None".
QString securityCaption(TlsMode mode);

class SecurityDialog : public QDialog {
    Q_OBJECT
public:
    SecurityDialog(int mailbox, TlsMode mode, const std::string& fingerprint,
                   QWidget* parent = nullptr);

    TlsMode mode() const;
    // In the stored form, or empty.
    std::string fingerprint() const { return m_fingerprint; }

    void accept() override;

private:
    QComboBox* m_cbSecurity;
    QLineEdit* m_edFingerprint;
    std::string m_fingerprint;
};

} // namespace mv::gui

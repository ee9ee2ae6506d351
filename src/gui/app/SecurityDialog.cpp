#include "gui/app/SecurityDialog.h"

#include "app/settings/MailboxAccounts.h"
#include "gui/widgets/MessageBox.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace mv::gui {

namespace {
// In the order of the list: each mode's word on the mailbox row and its line in the list.
struct ModeWords {
    TlsMode mode;
    const char* caption;
    const char* description;
};
constexpr ModeWords kModes[] = {
    {TlsMode::StartTlsIfOffered, "If offered", "STARTTLS when the server offers it"},
    {TlsMode::StartTls, "STARTTLS", "STARTTLS required"},
    {TlsMode::Tls, "TLS", "TLS from the first byte (port 995)"},
    {TlsMode::None, "None", "None: password sent in clear"},
};
} // namespace

QString securityCaption(TlsMode mode) {
    for (const ModeWords& words : kModes)
        if (words.mode == mode) return QString::fromLatin1(words.caption);
    return {};
}

SecurityDialog::SecurityDialog(int mailbox, TlsMode mode, const std::string& fingerprint,
                               QWidget* parent)
    : QDialog(parent), m_cbSecurity(new QComboBox(this)), m_edFingerprint(new QLineEdit(this)),
      m_fingerprint(fingerprint) {
    setWindowTitle(QStringLiteral("Security of mailbox %1").arg(mailbox));
    setObjectName(QStringLiteral("SecurityDialog"));
    m_cbSecurity->setObjectName(QStringLiteral("cbSecurity"));
    for (const ModeWords& words : kModes)
        m_cbSecurity->addItem(QString::fromLatin1(words.description),
                              QString::fromStdString(tlsModeName(words.mode)));
    m_cbSecurity->setCurrentIndex(
        m_cbSecurity->findData(QString::fromStdString(tlsModeName(mode))));
    m_edFingerprint->setObjectName(QStringLiteral("edFingerprint"));
    m_edFingerprint->setText(QString::fromStdString(fingerprint));
    m_edFingerprint->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_edFingerprint->setMinimumWidth(
        QFontMetrics(m_edFingerprint->font()).horizontalAdvance(QString(96, QLatin1Char('0'))));

    auto* securityLabel = new QLabel(QStringLiteral("&Security:"));
    securityLabel->setBuddy(m_cbSecurity);
    auto* fingerprintLabel = new QLabel(QStringLiteral("Trusted certificate &fingerprint:"));
    fingerprintLabel->setBuddy(m_edFingerprint);
    auto* note = new QLabel(
        QStringLiteral("Leave the fingerprint empty unless the server uses a certificate of its "
                       "own making; it is the certificate's SHA-256 hash in hexadecimal."));
    note->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &SecurityDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SecurityDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(securityLabel);
    layout->addWidget(m_cbSecurity);
    layout->addSpacing(8);
    layout->addWidget(fingerprintLabel);
    layout->addWidget(m_edFingerprint);
    layout->addWidget(note);
    layout->addWidget(buttons);
}

TlsMode SecurityDialog::mode() const {
    return parseTlsMode(m_cbSecurity->currentData().toString().toStdString())
        .value_or(kDefaultSecurity);
}

void SecurityDialog::accept() {
    std::string typed = m_edFingerprint->text().trimmed().toStdString();
    std::optional<std::string> normal = normalizeFingerprint(typed);
    if (!typed.empty() && !normal) {
        MessageBox::error(this, QStringLiteral("The fingerprint must be the 64 hexadecimal digits "
                                               "of a SHA-256 hash, with or without colons."));
        m_edFingerprint->setFocus();
        return;
    }
    m_fingerprint = normal.value_or("");
    QDialog::accept();
}

} // namespace mv::gui

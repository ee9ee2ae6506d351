#include "screenshots/GeneralSettingsShots.h"

#include "app/CheckController.h"
#include "gui/app/GeneralSettingsWindow.h"
#include "gui/app/SecurityDialog.h"
#include "gui/mail/MailAddressDialog.h"

#include <QApplication>
#include <QDir>
#include <QRadioButton>
#include <QStringList>
#include <QTabWidget>

namespace mv::gui {

namespace {
QString save(QWidget& widget, const QString& outDir, const QString& name) {
    widget.show();
    QApplication::processEvents();
    QString file = QDir(outDir).filePath(name + QStringLiteral(".png"));
    widget.grab().save(file);
    return file;
}
} // namespace

QStringList shootGeneralSettings(CheckController& controller, const QString& outDir) {
    QStringList files;
    TfrmGeneral window(controller, {{"HOME", "/nonexistent"}}, {"Home network", "Phone"});
    window.show();
    auto* pages = window.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    const char* names[] = {"mailboxes", "connection",   "automatic",
                           "startup",   "activity-log", "mail-program"};
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        files << save(window, outDir, QStringLiteral("general-%1-%2").arg(i + 1).arg(names[i]));
    }
    pages->setCurrentIndex(2);
    for (const char* mode : {"rbManual", "rbAuto"}) {
        window.findChild<QRadioButton*>(QString::fromLatin1(mode))->setChecked(true);
        files << save(window, outDir, QStringLiteral("general-3-automatic-%1").arg(mode + 2));
    }
    SecurityDialog security(2, TlsMode::StartTls, "", &window);
    files << save(security, outDir, QStringLiteral("general-security"));
    window.reject();

    TMailAddressDlg address;
    address.assign({"Ann Other", "ann.other@example.net"});
    files << save(address, outDir, QStringLiteral("address-dialog"));
    return files;
}

} // namespace mv::gui

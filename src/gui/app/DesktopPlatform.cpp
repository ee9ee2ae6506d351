#include "gui/app/DesktopPlatform.h"

#include "gui/app/Desktop.h"
#include "gui/desktop/SoundPlayer.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace mv::gui {

namespace {
bool openInItsApplication(const QFileInfo& info) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}
} // namespace

void DesktopPlatform::playSound(const std::string& file, bool loop) {
    m_desktop.playSound(QString::fromStdString(file), loop);
}

void DesktopPlatform::stopSound() {
    m_desktop.stopSound();
}

void DesktopPlatform::beep() {
    SoundPlayer::beep();
}

bool DesktopPlatform::open(const std::string& path) {
    QString target = QString::fromStdString(path);
    QFileInfo info(target);
    // A whole path first: a program folder may hold blanks ("/opt/My Mailer/run").
    if (info.isFile() && info.isExecutable()) return QProcess::startDetached(target, {});
    if (info.exists()) return openInItsApplication(info);
    // Desktop entries, flatpak and snap give command lines: "flatpak run org.example.Mail".
    QStringList words = QProcess::splitCommand(target);
    if (words.isEmpty()) return false;
    QString program = words.takeFirst();
    return QProcess::startDetached(program, words);
}

bool DesktopPlatform::openFile(const std::string& path) {
    QFileInfo info(QString::fromStdString(path));
    return info.isFile() && openInItsApplication(info);
}

void DesktopPlatform::pump() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace mv::gui

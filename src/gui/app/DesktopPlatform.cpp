#include "gui/app/DesktopPlatform.h"

#include "gui/app/Desktop.h"
#include "gui/desktop/SoundPlayer.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace mv::gui {

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
    if (info.exists() && !(info.isFile() && info.isExecutable()))
        return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
    return QProcess::startDetached(target, {});
}

void DesktopPlatform::pump() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace mv::gui

#include "gui/app/SplashWindow.h"

#include "gui/widgets/Pictures.h"

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace mv::gui {

namespace {
constexpr QSize kPictureSize(400, 240);

QPointer<TfrmSplash>& shownSplash() {
    static QPointer<TfrmSplash> splash;
    return splash;
}
} // namespace

TfrmSplash::TfrmSplash()
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("TfrmSplash"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_label = new QLabel(this);
    m_label->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_label);
    setFixedSize(kPictureSize);
    m_timSplash.setSingleShot(true);
    m_timSplash.setTimerType(Qt::PreciseTimer); // a coarse timer may end it 5% early
    m_timSplash.setInterval(kShowMs);
    connect(&m_timSplash, &QTimer::timeout, this, &QWidget::close);
}

void TfrmSplash::setPicture(int picture) {
    m_picture = picture;
    QString file = picturePath(QStringLiteral("splash-%1.svg").arg(picture));
    if (QFile::exists(file))
        m_label->setPixmap(QIcon(file).pixmap(kPictureSize));
    else
        m_label->setText(QStringLiteral("Mailvane"));
}

void TfrmSplash::showFirst() {
    setPicture(1);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    shownSplash() = this;
    repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TfrmSplash::showSecondAndExpire() {
    if (isHidden()) return;
    setPicture(2);
    repaint();
    m_timSplash.start();
}

void TfrmSplash::closeShown() {
    if (QPointer<TfrmSplash> splash = shownSplash(); splash && splash->isVisible()) splash->close();
}

} // namespace mv::gui

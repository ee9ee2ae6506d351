#include "gui/app/ProgressWindow.h"

#include "gui/widgets/Pictures.h"

#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace mv::gui {

namespace {

// A small turning wheel of dots that shows the program is waiting on the network.
class WaitAnimation final : public QWidget {
public:
    explicit WaitAnimation(QWidget* parent) : QWidget(parent) {
        setFixedSize(32, 32);
        m_timer.setInterval(120);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            m_step = (m_step + 1) % kDots;
            update();
        });
    }
    void setRunning(bool running) { running ? m_timer.start() : m_timer.stop(); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(width() / 2.0, height() / 2.0);
        QColor colour = palette().color(QPalette::Highlight);
        for (int i = 0; i < kDots; ++i) {
            colour.setAlphaF(0.15 + 0.85 * ((i - m_step + kDots) % kDots) / double(kDots - 1));
            painter.setBrush(colour);
            painter.setPen(Qt::NoPen);
            painter.drawEllipse(QPointF(0, -11), 3, 3);
            painter.rotate(360.0 / kDots);
        }
    }

private:
    static constexpr int kDots = 8;
    QTimer m_timer;
    int m_step = 0;
};

QLabel* captionLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

} // namespace

TfrmRetrieving::TfrmRetrieving(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmRetrieving"));
    setWindowTitle(QStringLiteral("Retrieving ..."));
    setModal(false);
    m_heading = new QLabel(this);
    m_heading->setObjectName(QStringLiteral("lblHeading"));
    QFont big = m_heading->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    m_heading->setFont(big);
    m_server = new QLabel(this);
    m_server->setObjectName(QStringLiteral("lblServer"));
    m_user = new QLabel(this);
    m_user->setObjectName(QStringLiteral("lblMailbox"));
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("lblMessage"));
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("ProgressBar1"));
    auto* animation = new WaitAnimation(this);
    m_animation = animation;
    auto* cancel = new QPushButton(QStringLiteral("Click to cancel"), this);
    cancel->setObjectName(QStringLiteral("btCancel"));
    cancel->setIcon(buttonIcon(ButtonPicture::Stop));
    connect(cancel, &QPushButton::clicked, this, &TfrmRetrieving::cancelClicked);

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_heading, 0, 0, 1, 3);
    grid->addWidget(captionLabel(QStringLiteral("Server:"), this), 1, 0);
    grid->addWidget(m_server, 1, 1);
    grid->addWidget(captionLabel(QStringLiteral("Mailbox:"), this), 2, 0);
    grid->addWidget(m_user, 2, 1);
    grid->addWidget(animation, 1, 2, 2, 1, Qt::AlignCenter);
    grid->addWidget(m_message, 3, 0, 1, 3);
    grid->addWidget(m_bar, 4, 0, 1, 3);
    grid->addWidget(cancel, 5, 0, 1, 3, Qt::AlignCenter);
    grid->setColumnStretch(1, 1);
    setMinimumWidth(380);
}

void TfrmRetrieving::start(const QString& heading, const QString& server, const QString& user) {
    m_heading->setText(heading);
    m_server->setText(server);
    m_user->setText(user);
    m_message->clear();
    m_bar->hide();
    static_cast<WaitAnimation*>(m_animation)->setRunning(true);
    show();
    raise();
}

void TfrmRetrieving::setHeading(const QString& heading) {
    m_heading->setText(heading);
}

void TfrmRetrieving::setMessage(const QString& message) {
    m_message->setText(message);
}

void TfrmRetrieving::setBar(int position, int maximum) {
    m_bar->setVisible(maximum > 0);
    if (maximum <= 0) return;
    m_bar->setRange(0, maximum);
    m_bar->setValue(position);
}

void TfrmRetrieving::stop() {
    static_cast<WaitAnimation*>(m_animation)->setRunning(false);
    hide();
}

void TfrmRetrieving::reject() {
    emit cancelClicked();
}

} // namespace mv::gui

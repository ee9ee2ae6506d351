#pragma once
// The progress window "Retrieving ..." of a check or deletion: heading, server, mailbox, a message,
// a progress bar, a small animation and "Click to cancel". Not modal: the main window and the tray
// stay live while it shows.
#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace mv::gui {

class TfrmRetrieving final : public QDialog {
    Q_OBJECT
public:
    explicit TfrmRetrieving(QWidget* parent = nullptr);

    // Shows the window reset: message empty, bar hidden, animation running.
    void start(const QString& heading, const QString& server, const QString& user);
    void setHeading(const QString& heading);
    void setMessage(const QString& message);
    // A maximum of 0 hides the bar.
    void setBar(int position, int maximum);
    void stop();

signals:
    void cancelClicked();

protected:
    void reject() override; // Esc and the title bar's close cancel too

private:
    QLabel* m_heading;
    QLabel* m_server;
    QLabel* m_user;
    QLabel* m_message;
    QProgressBar* m_bar;
    QWidget* m_animation;
};

} // namespace mv::gui

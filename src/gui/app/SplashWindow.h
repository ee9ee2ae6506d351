#pragma once
// The splash window shown while the program starts: its first picture at once, the second once the
// main window exists, gone 1.5 seconds later.
#include <QPointer>
#include <QTimer>
#include <QWidget>

class QLabel;

namespace mv::gui {

class TfrmSplash final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kShowMs = 1500;

    TfrmSplash();
    // Shows the first picture and paints it at once.
    void showFirst();
    // The second picture; the window closes itself kShowMs later. Nothing once it was closed.
    void showSecondAndExpire();
    // Closes the splash that shows now, if any: a message box at start-up must not sit under it.
    static void closeShown();
    int picture() const { return m_picture; }

private:
    void setPicture(int picture);

    QLabel* m_label;
    QTimer m_timSplash;
    int m_picture = 0;
};

} // namespace mv::gui

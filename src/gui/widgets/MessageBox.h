#pragma once
// Every message box and yes/no question of the desktop program goes through here. In test mode
// nothing is shown: each box is recorded, and each question takes the next answer a test queued
// (No when none is queued), so no modal box ever blocks a test and every question is visible.
#include <QString>
#include <QStringList>

class QWidget;

namespace mv::gui {

class MessageBox {
public:
    static void information(QWidget* parent, const QString& text);
    static void warning(QWidget* parent, const QString& text);
    static void error(QWidget* parent, const QString& text);
    // Yes / No; true for Yes.
    static bool question(QWidget* parent, const QString& text);

    // --- Tests ---
    static void setTestMode(bool on);
    static void queueAnswer(bool yes);
    // The texts shown since the last take, each prefixed by its kind: "information: ...",
    // "warning: ...", "error: ...", "question: ...".
    static QStringList takeShown();
    // The window the last box was shown over (null: none, or it is gone).
    static QWidget* lastShownOver();

private:
    enum class Kind { Information, Warning, Error, Question };
    static bool show(QWidget* parent, Kind kind, const QString& text);
};

} // namespace mv::gui

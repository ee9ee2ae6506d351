// Puts the tray icon into a real notification area (run under Xvfb with a tray host beside it)
// and checks what a user would: the icon is embedded in the tray, shows its hint and its
// notifications, and a right click on it opens the tray menu. Exit code 0 when all holds; each
// failure is printed.
#include "gui/desktop/TrayIcon.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QTest>
#include <QWidget>
#include <cstdio>

using mv::gui::TrayIcon;

namespace {

int failures = 0;

void check(bool ok, const char* what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    failures += !ok;
}

QString xwininfo(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral("xwininfo"), arguments);
    process.waitForFinished(5000);
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

int indentOf(const QString& line) {
    int indent = 0;
    while (indent < line.size() && line[indent] == QLatin1Char(' '))
        ++indent;
    return indent;
}

// The id of a window named after this program somewhere below the tray host's window ("panel")
// in the X server's window tree; 0 when there is none.
WId embeddedWindow() {
    const QStringList lines =
        xwininfo({QStringLiteral("-tree"), QStringLiteral("-root")}).split(QLatin1Char('\n'));
    const QString ours = QLatin1Char('"') + QCoreApplication::applicationName() + QLatin1Char('"');
    int panelIndent = -1;
    for (const QString& line : lines) {
        if (panelIndent >= 0 && indentOf(line) <= panelIndent && !line.trimmed().isEmpty())
            panelIndent = -1;
        if (line.contains(QStringLiteral("\"panel\":")))
            panelIndent = indentOf(line);
        else if (panelIndent >= 0 && line.contains(ours))
            return line.trimmed().section(QLatin1Char(' '), 0, 0).toULongLong(nullptr, 16);
    }
    return 0;
}

// Whether a window on screen shows `text` in one of its labels.
bool shownText(const QString& text) {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible())
            for (const QLabel* label : window->findChildren<QLabel*>())
                if (label->text().contains(text)) return true;
    return false;
}

// The widget behind the icon's embedded window, looked up anew for every use: the platform's
// tray code replaces it whenever the tray host (re)appears, as it may just after start-up.
QWidget* iconWidget() {
    const WId id = embeddedWindow();
    if (id == 0) return nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->internalWinId() == id) return widget;
    return nullptr;
}

bool clickIcon(Qt::MouseButton button, bool twice = false) {
    QWidget* widget = iconWidget();
    if (!widget) return false;
    if (twice)
        QTest::mouseDClick(widget, button, {}, QPoint(8, 8));
    else
        QTest::mouseClick(widget, button, {}, QPoint(8, 8));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    // Every line reaches the log before anything that could end the run.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    QApplication app(argc, argv);
    // The tray host may still be starting.
    const bool available = QTest::qWaitFor([] { return TrayIcon::trayAvailable(); }, 10000);
    check(available, "the desktop has a notification area");
    if (!available) return 1;

    QWidget mainWindow;
    TrayIcon tray(&mainWindow);
    check(tray.setActive(true), "the icon is put into the notification area");
    check(QTest::qWaitFor([&] { return tray.systemTrayIcon()->geometry().isValid(); }, 5000),
          "the icon has a place in the tray");

    check(QTest::qWaitFor([] { return embeddedWindow() != 0; }, 5000),
          "the icon's window is embedded in the tray host's window");
    // Asked anew each time: a tray host that has just started may embed the icon twice.
    check(QTest::qWaitFor(
              [] {
                  const WId icon = embeddedWindow();
                  return icon != 0 && xwininfo({QStringLiteral("-id"), QString::number(icon)})
                                          .contains(QStringLiteral("Map State: IsViewable"));
              },
              5000),
          "the icon's window is on screen");
    check(tray.systemTrayIcon()->toolTip() == QStringLiteral("Mailvane (right click)"),
          "the icon carries its hint");

    // A desktop notification beside the icon.
    const QString news = QStringLiteral("Mailvane - MailBox anna - 2 messages");
    tray.notify(QStringLiteral("Mailvane"), news);
    check(QTest::qWaitFor([&] { return shownText(news); }, 3000), "a notification shows its text");

    // A right click on the icon's own window, handled by the platform's tray code.
    check(iconWidget() != nullptr, "the embedded window belongs to the icon");
    bool menuAsked = false;
    QObject::connect(tray.menu(), &QMenu::aboutToShow, [&] { menuAsked = true; });
    check(clickIcon(Qt::RightButton), "the icon can be right-clicked");
    check(QTest::qWaitFor([&] { return tray.menu()->isVisible(); }, 3000),
          "a right click opens the tray menu");
    check(menuAsked, "the menu announced its opening (which stops the alarm)");
    tray.menu()->hide();

    // During a check the right click is an ordinary click and opens nothing.
    tray.setAutoPopup(false);
    bool clicked = false;
    QObject::connect(&tray, &TrayIcon::clicked, [&] { clicked = true; });
    check(clickIcon(Qt::RightButton), "the icon can be right-clicked again");
    check(QTest::qWaitFor([&] { return clicked; }, 3000), "without auto-popup it is a click");
    check(!tray.menu()->isVisible(), "without auto-popup no menu opens");

    // A double click is only a double click, not a click as well.
    tray.setAutoPopup(true);
    clicked = false;
    bool doubled = false;
    QObject::connect(&tray, &TrayIcon::doubleClicked, [&] { doubled = true; });
    check(clickIcon(Qt::LeftButton, true), "the icon can be double-clicked");
    check(QTest::qWaitFor([&] { return doubled; }, 3000), "a double click is reported");
    QTest::qWait(TrayIcon::ClickWait + 200);
    check(!clicked, "a double click is no single click");

    check(tray.setActive(false), "the icon is taken out again");
    check(QTest::qWaitFor([] { return embeddedWindow() == 0; }, 5000),
          "the tray no longer holds the icon");
    return failures == 0 ? 0 : 1;
}

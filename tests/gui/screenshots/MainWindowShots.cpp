// The main window and the windows around a check.
#include "gui/app/AboutWindow.h"
#include "gui/app/Desktop.h"
#include "gui/app/MailboxChooser.h"
#include "gui/app/SplashWindow.h"
#include "screenshots/Shots.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QMenu>
#include <QPainter>
#include <QTimer>
#include <QTreeView>
#include <memory>

namespace mv::gui::shots {

QString Context::save(QWidget& widget, const QString& name) const {
    widget.show();
    widget.raise();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    QString file = QDir(outDir).filePath(name + QStringLiteral(".png"));
    widget.grab().save(file);
    return file;
}

void onNextModal(const char* className, std::function<void(QWidget&)> inspect) {
    QTimer::singleShot(50, [className, inspect] {
        QWidget* window = QApplication::activeModalWidget();
        if (window == nullptr || !window->inherits(className))
            return onNextModal(className, inspect);
        inspect(*window);
        if (auto* dialog = qobject_cast<QDialog*>(window)) dialog->accept();
    });
}

namespace {

void selectRows(Desktop& desktop, std::initializer_list<int> rows) {
    QTreeView* list = desktop.mainWindow().list();
    list->clearSelection();
    for (int row : rows)
        list->selectionModel()->select(desktop.model().index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

// The first row marked `mark`, else 0.
int firstRowMarked(Desktop& desktop, int mark) {
    const auto& rows = desktop.controller().rows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].mark == mark) return static_cast<int>(i);
    return 0;
}

} // namespace

QStringList mainWindow(const Context& context) {
    selectRows(context.desktop, {firstRowMarked(context.desktop, 0)});
    TfrmMain& window = context.desktop.mainWindow();
    QStringList files{context.save(window, QStringLiteral("main-window"))};
    // A server's long answer in the status line: cut short there, the window as wide as before.
    const QString status = window.status();
    window.setStatus(QStringLiteral("-ERR [SYS/TEMP] The mailbox is in use by another session "
                                    "that has been open since this morning; the server will "
                                    "release it when that session ends or times out."));
    files << context.save(window, QStringLiteral("main-window-long-status"));
    window.setStatus(status);
    return files;
}

// The panel is a window of its own: drawn onto the main window's picture where it drops down.
QStringList optionsPanel(const Context& context) {
    TfrmMain& window = context.desktop.mainWindow();
    context.save(window, QStringLiteral("main-window"));
    window.showOptionsPanel();
    QWidget* panel = window.optionsPanel();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    QPixmap picture = window.grab();
    QPainter painter(&picture);
    painter.drawPixmap(window.mapFromGlobal(panel->mapToGlobal(QPoint(0, 0))), panel->grab());
    painter.end();
    panel->hide();
    QString file = QDir(context.outDir).filePath(QStringLiteral("main-window-options.png"));
    picture.save(file);
    return {file};
}

// Drawn from inside a running check, when the fifth header has come.
QStringList progressWindow(const Context& context) {
    Desktop& desktop = context.desktop;
    auto files = std::make_shared<QStringList>();
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection =
        QObject::connect(&desktop.model(), &QAbstractItemModel::rowsInserted,
                         [&context, files, connection](const QModelIndex&, int, int last) {
                             if (last < 4) return;
                             QObject::disconnect(*connection);
                             *files << context.save(context.desktop.progressWindow(),
                                                    QStringLiteral("progress-window"));
                         });
    desktop.check();
    QObject::disconnect(*connection);
    return *files;
}

QStringList reasonsViewer(const Context& context) {
    Desktop& desktop = context.desktop;
    selectRows(desktop, {firstRowMarked(desktop, 0)});
    QStringList files;
    onNextModal("mv::gui::TfrmViewHeader", [&](QWidget& viewer) {
        files << context.save(viewer, QStringLiteral("viewer-reasons"));
    });
    desktop.mainWindow().listMenu()->findChild<QAction*>(QStringLiteral("Why1"))->trigger();
    return files;
}

QStringList chooser(const Context& context) {
    TfrmWhichMailbox window({QStringLiteral("1) Mailbox demo - Server 127.0.0.1"),
                             QStringLiteral("2) Mailbox ann.other - Server pop.example.net"),
                             QStringLiteral("5) Mailbox bob - Server mail.example.com:1110")},
                            0, &context.desktop.mainWindow());
    return {context.save(window, QStringLiteral("chooser"))};
}

QStringList splash(const Context& context) {
    auto* window = new TfrmSplash; // closes and deletes itself
    window->showFirst();
    QString first = context.save(*window, QStringLiteral("splash-1"));
    window->showSecondAndExpire();
    QString second = context.save(*window, QStringLiteral("splash-2"));
    window->close();
    return {first, second};
}

QStringList about(const Context& context) {
    AboutWindow window(&context.desktop.mainWindow());
    return {context.save(window, QStringLiteral("about"))};
}

// The menu as a right click on the icon opens it, in automatic mode.
QStringList trayMenu(const Context& context) {
    context.desktop.setAutomatic(true);
    QMenu* menu = context.desktop.tray().menu();
    menu->popup(QPoint(40, 40));
    QString file = context.save(*menu, QStringLiteral("tray-menu"));
    menu->hide();
    context.desktop.setAutomatic(false);
    return {file};
}

} // namespace mv::gui::shots

#pragma once
// Pictures of the desktop program's windows for a person to look at: each window is one function
// that draws it into a folder as PNG files. The program around them (ScreenshotsMain.cpp) runs the
// real windows over the built-in demo mailbox after one check.
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace mv::gui {

class Desktop;

namespace shots {

struct Context {
    Desktop& desktop;
    QString outDir;
    // Shows `widget`, lets it paint, and saves it as OUTDIR/name.png; returns the file.
    QString save(QWidget& widget, const QString& name) const;
};

// One window's pictures: returns the files written.
using Shot = std::function<QStringList(const Context&)>;

// Runs `inspect` on the next modal window of class `className` as soon as it shows, then
// accepts it.
void onNextModal(const char* className, std::function<void(QWidget&)> inspect);

QStringList mainWindow(const Context& context);
QStringList optionsPanel(const Context& context);
QStringList progressWindow(const Context& context);
QStringList reasonsViewer(const Context& context);
QStringList chooser(const Context& context);
QStringList splash(const Context& context);
QStringList about(const Context& context);
QStringList trayMenu(const Context& context);

} // namespace shots
} // namespace mv::gui

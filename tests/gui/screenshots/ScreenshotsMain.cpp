// mailvane_screenshots OUTDIR [NAME...]: the desktop program over the built-in demo mailbox,
// checked once, with each window drawn into OUTDIR as PNG files (all of them, or the named ones).
// Offscreen unless a display is chosen; scripts/screenshots.sh runs it under Xvfb.
#include "app/DemoHome.h"
#include "gui/app/Desktop.h"
#include "gui/widgets/MessageBox.h"
#include "screenshots/GeneralSettingsShots.h"
#include "screenshots/Shots.h"
#include "screenshots/SpamSettingsShots.h"
#include "screenshots/StatisticsShots.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>
#include <utility>
#include <vector>

namespace {

using mv::gui::shots::Shot;

// A new window is one line here and one function.
const std::vector<std::pair<QString, Shot>>& allShots() {
    namespace s = mv::gui::shots;
    static const std::vector<std::pair<QString, Shot>> table = {
        {QStringLiteral("main"), s::mainWindow},
        {QStringLiteral("options"), s::optionsPanel},
        {QStringLiteral("progress"), s::progressWindow},
        {QStringLiteral("reasons"), s::reasonsViewer},
        {QStringLiteral("chooser"), s::chooser},
        {QStringLiteral("splash"), s::splash},
        {QStringLiteral("about"), s::about},
        {QStringLiteral("tray"), s::trayMenu},
        {QStringLiteral("general"),
         [](const s::Context& c) {
             return mv::gui::shootGeneralSettings(c.desktop.controller(), c.outDir);
         }},
        {QStringLiteral("spam"),
         [](const s::Context& c) { return mv::gui::shootSpamSettingsPages(c.outDir); }},
        {QStringLiteral("editors"),
         [](const s::Context& c) { return mv::gui::shootRuleEditors(c.outDir); }},
        {QStringLiteral("countries"),
         [](const s::Context& c) { return mv::gui::shootCountryList(c.outDir); }},
        {QStringLiteral("import"),
         [](const s::Context& c) { return mv::gui::shootImportDialog(c.outDir); }},
        {QStringLiteral("stats-start"),
         [](const s::Context& c) { return mv::gui::shootStatisticsStart(c.outDir); }},
        {QStringLiteral("stats"),
         [](const s::Context& c) { return mv::gui::shootStatisticsPages(c.outDir); }},
        {QStringLiteral("date-range"),
         [](const s::Context& c) { return mv::gui::shootDateRange(c.outDir); }},
    };
    return table;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Mailvane"));
    QStringList args = QApplication::arguments().mid(1);
    if (args.isEmpty()) {
        QTextStream(stderr) << "usage: mailvane_screenshots OUTDIR [NAME...]\n";
        return 2;
    }
    QString outDir = args.takeFirst();
    QDir().mkpath(outDir);
    mv::gui::MessageBox::setTestMode(true); // a stray box must not wait for a click

    mv::DemoMailbox mailbox(mv::DemoHome::messages());
    mv::DemoHome demoHome(mailbox);
    mv::HomeFolder home(demoHome.dir());
    mv::gui::Desktop desktop(home, mv::RegionalSettings::usEnglish());
    desktop.start();
    desktop.check();

    mv::gui::shots::Context context{desktop, outDir};
    for (const auto& [name, shot] : allShots()) {
        if (!args.isEmpty() && !args.contains(name)) continue;
        for (const QString& file : shot(context))
            QTextStream(stdout) << file << "\n";
    }
    for (const QString& shown : mv::gui::MessageBox::takeShown())
        QTextStream(stderr) << "shown: " << shown << "\n";
    return 0;
}

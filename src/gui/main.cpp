// mailvane: the desktop program.
//   mailvane [--home DIR]   the user's own settings, rules and log (DIR as with mailvane-cli)
//   mailvane --demo         over the built-in demo mailbox in a temporary home
#include "app/DemoHome.h"
#include "app/settings/HomeFolder.h"
#include "app/settings/PasswordKeyring.h"
#include "app/settings/SecretMemory.h"
#include "gui/app/Desktop.h"
#include "gui/app/SplashWindow.h"
#include "gui/desktop/SignalExit.h"
#include "gui/desktop/SingleInstance.h"
#include "gui/widgets/MessageBox.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QPointer>
#include <memory>
#include <optional>

namespace {

struct Options {
    std::optional<std::filesystem::path> home;
    bool demo = false;
};

Options parseOptions(const QApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Mailvane junk-mail screener"));
    parser.addHelpOption();
    QCommandLineOption home(QStringLiteral("home"),
                            QStringLiteral("Keep settings, rules and log in DIR."),
                            QStringLiteral("DIR"));
    QCommandLineOption demo(QStringLiteral("demo"),
                            QStringLiteral("Run over the built-in demo mailbox."));
    parser.addOption(home);
    parser.addOption(demo);
    parser.process(app); // exits with a message on an unknown option
    Options options;
    if (parser.isSet(home)) options.home = parser.value(home).toStdString();
    options.demo = parser.isSet(demo);
    return options;
}

// The demo's mailbox and home live as long as the program.
struct Demo {
    mv::DemoMailbox mailbox{mv::DemoHome::messages()};
    mv::DemoHome home{mailbox};
};

int run(QApplication& app, const Options& options) {
    std::unique_ptr<Demo> demo;
    if (options.demo) demo = std::make_unique<Demo>();
    mv::HomeFolder home = demo ? mv::HomeFolder(demo->home.dir())
                               : mv::HomeFolder::resolve(options.home, mv::processEnvironment());
    // A second start only brings the running program forward.
    mv::gui::SingleInstance instance(mv::gui::Desktop::instanceName(home));
    if (!instance.claim()) return 0;
    QPointer<mv::gui::TfrmSplash> splash = new mv::gui::TfrmSplash;
    splash->showFirst();
    home.prepare();
    mv::gui::Desktop desktop(home, mv::RegionalSettings::fromLocale());
    // Before the start reads the accounts; the demo's home is a portable one of its own.
    // The keyring is asked aside, with the windows live: its unlock prompt may take a while.
    if (!demo)
        desktop.controller().settings().usePasswordKeyring(
            mv::keyringCalledAside(mv::keyringForHome(options.home, mv::processEnvironment()),
                                   [] { QCoreApplication::processEvents(); }));
    QObject::connect(&desktop, &mv::gui::Desktop::ended, &app, &QCoreApplication::quit);
    QObject::connect(&instance, &mv::gui::SingleInstance::raiseRequested, &desktop,
                     &mv::gui::Desktop::showMain);
    mv::gui::SignalExit signalExit;
    QObject::connect(&signalExit, &mv::gui::SignalExit::exitRequested, &desktop,
                     &mv::gui::Desktop::requestExit);
    desktop.start();
    // An exit asked for during a start-up box ended the program before its event loop ran, where
    // a quit is not heard; the destructors below still tidy up (the demo's home too).
    if (desktop.ending()) return 0;
    if (splash) splash->showSecondAndExpire();
    return app.exec();
}

} // namespace

int main(int argc, char** argv) {
    mv::forbidCoreDumps(); // the start-up reads the passwords of the accounts
    mv::gui::SignalExit::catchSignals();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("mailvane"));
    QApplication::setApplicationDisplayName(QStringLiteral("Mailvane"));
    Options options = parseOptions(app);
    try {
        return run(app, options);
    } catch (const std::exception& e) {
        mv::gui::MessageBox::error(nullptr, QString::fromStdString(e.what()));
        return 1;
    }
}

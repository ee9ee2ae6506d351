// general_screenshots OUTDIR: renders the general settings window and the address dialog over a
// sample home in a temporary folder, offscreen unless a display is chosen.
#include "app/CheckController.h"
#include "app/RecordingView.h"
#include "screenshots/GeneralSettingsShots.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTextStream>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: general_screenshots OUTDIR\n";
        return 2;
    }
    QTemporaryDir dir;
    mv::HomeFolder home(dir.path().toStdString());
    home.create();
    mv::SettingsStore store(home.settingsFile());
    store.saveAccount(1,
                      {"pop.example.net", "ann.other@example.net", "secret", mv::TlsMode::Tls, ""});
    store.saveAccount(3, {"mail.example.com:1110", "bob", "secret", mv::TlsMode::StartTls, ""});
    store.writeString(mv::Setting::Logfile, (home.programDir() / "logfile.txt").string());
    store.writeString(mv::Setting::Mailer, "/usr/bin/thunderbird");
    store.writeInteger(mv::Setting::Count, 1234);
    mv::test::RecordingView view;
    mv::test::RecordingPlatform platform;
    mv::SystemClock clock;
    mv::CheckController controller(home, store, view, platform, clock,
                                   mv::RegionalSettings::usEnglish());
    controller.startUp();
    QDir().mkpath(QString::fromLocal8Bit(argv[1]));
    for (const QString& file :
         mv::gui::shootGeneralSettings(controller, QString::fromLocal8Bit(argv[1])))
        QTextStream(stdout) << file << "\n";
    return 0;
}

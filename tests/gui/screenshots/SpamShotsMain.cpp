// spam_screenshots OUTDIR: the spam settings windows as PNG files, offscreen.
#include "gui/widgets/MessageBox.h"
#include "screenshots/SpamSettingsShots.h"

#include <QApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: spam_screenshots OUTDIR\n");
        return 2;
    }
    mv::gui::MessageBox::setTestMode(true);
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    QStringList files = mv::gui::shootSpamSettingsPages(out);
    files << mv::gui::shootRuleEditors(out) << mv::gui::shootCountryList(out)
          << mv::gui::shootImportDialog(out);
    for (const QString& file : files)
        std::printf("%s\n", qPrintable(file));
    return 0;
}

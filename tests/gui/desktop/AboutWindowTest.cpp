// The About window names the program and its version and leads to the help.
#include "gui/app/AboutWindow.h"

#include "gui/widgets/Help.h"
#include "gui/widgets/MessageBox.h"

#include <QLabel>
#include <QRegularExpression>
#include <QUrl>
#include <gtest/gtest.h>

namespace mv::gui {
namespace {

TEST(AboutWindow, ShowsNameVersionAndLicence) {
    AboutWindow about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Mailvane"));
    EXPECT_EQ(about.findChild<QLabel*>(QStringLiteral("lblName"))->text(),
              QStringLiteral("Mailvane"));
    const QString version = about.findChild<QLabel*>(QStringLiteral("lblVersion"))->text();
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^Version \\d+\\.\\d+")).match(version).hasMatch())
        << version.toStdString();
    EXPECT_FALSE(about.findChild<QLabel*>(QStringLiteral("lblLicence"))->text().isEmpty());
    EXPECT_FALSE(about.findChild<QLabel*>(QStringLiteral("imIcon"))->pixmap().isNull());
}

TEST(AboutWindow, HelpLinkOpensTheContentsPage) {
    QList<QUrl> opened;
    setHelpOpener([&](const QUrl& url) {
        opened << url;
        return true;
    });
    AboutWindow about;
    emit about.findChild<QLabel*>(QStringLiteral("lblHelp"))->linkActivated(QStringLiteral("help"));
    setHelpOpener({});
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened[0].toLocalFile().endsWith(QStringLiteral("share/mailvane/help/index.html")));
    EXPECT_TRUE(MessageBox::takeShown().isEmpty()) << "the page ships in the build tree";
}

} // namespace
} // namespace mv::gui

// The help as the program finds it beside its executable: a page for every topic a window opens,
// and no page that points at a missing page, section or picture.
#include "gui/widgets/Assets.h"
#include "gui/widgets/Help.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace mv::gui {
namespace {

TEST(HelpPages, EveryTopicHasItsPage) {
    for (HelpTopic topic : {HelpTopic::Contents, HelpTopic::SpamSettings,
                            HelpTopic::GeneralSettings, HelpTopic::Statistics}) {
        const QString page = assetPath(QStringLiteral("help/") + helpPage(topic));
        EXPECT_TRUE(QFileInfo(page).isFile()) << page.toStdString();
    }
}

QString fileText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

TEST(HelpPages, EveryLinkAndPictureLeadsToAFile) {
    const QDir help(assetPath(QStringLiteral("help")));
    const QStringList pages = help.entryList({QStringLiteral("*.html")}, QDir::Files);
    ASSERT_FALSE(pages.isEmpty());
    const QRegularExpression reference(QStringLiteral("(?:href|src)=\"([^\"#]+)(?:#([^\"]*))?\""));
    int checked = 0;
    for (const QString& page : pages) {
        const QString html = fileText(help.filePath(page));
        ASSERT_FALSE(html.isEmpty()) << page.toStdString();
        for (const auto& match : reference.globalMatch(html)) {
            const QString target = match.captured(1);
            if (target.contains(QLatin1Char(':'))) continue; // mailto:, https:, not ours
            EXPECT_TRUE(QFileInfo::exists(help.filePath(target)))
                << page.toStdString() << " -> " << target.toStdString();
            // A link to a section needs the section, or the page opens at its top.
            if (const QString section = match.captured(2); !section.isEmpty()) {
                EXPECT_TRUE(fileText(help.filePath(target))
                                .contains(QStringLiteral("id=\"%1\"").arg(section)))
                    << page.toStdString() << " -> " << target.toStdString() << "#"
                    << section.toStdString();
            }
            ++checked;
        }
    }
    EXPECT_GT(checked, 0);
}

} // namespace
} // namespace mv::gui

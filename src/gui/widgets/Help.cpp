#include "gui/widgets/Help.h"

#include "gui/widgets/Assets.h"
#include "gui/widgets/MessageBox.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace mv::gui {
namespace {

std::function<bool(const QUrl&)>& opener() {
    static std::function<bool(const QUrl&)> open;
    return open;
}

} // namespace

QString helpPage(HelpTopic topic) {
    switch (topic) {
    case HelpTopic::Contents: return QStringLiteral("index.html");
    case HelpTopic::SpamSettings: return QStringLiteral("spam-settings.html");
    case HelpTopic::GeneralSettings: return QStringLiteral("general-settings.html");
    case HelpTopic::Statistics: return QStringLiteral("statistics.html");
    }
    return {};
}

bool openHelp(QWidget* parent, HelpTopic topic) {
    const QString page = helpPage(topic);
    const QString path = assetPath(QStringLiteral("help/") + page);
    const QUrl url = QUrl::fromLocalFile(path);
    const bool opened = QFileInfo::exists(path) &&
                        (opener() ? opener()(url) : QDesktopServices::openUrl(url));
    if (!opened)
        MessageBox::error(parent, QStringLiteral("Unable to open help file - %1.").arg(page));
    return opened;
}

void setHelpOpener(std::function<bool(const QUrl&)> open) { opener() = std::move(open); }

} // namespace mv::gui

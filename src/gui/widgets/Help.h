#pragma once
// The help pages, one a window, opened in the desktop's browser. A page that is missing or that
// no browser opens is reported as "Unable to open help file - <page>.".
#include <QString>
#include <functional>

class QUrl;
class QWidget;

namespace mv::gui {

enum class HelpTopic {
    Contents,        // the main window and everything else
    SpamSettings,    // context 100
    GeneralSettings, // context 200
    Statistics,
};

// The page's file name under share/mailvane/help.
QString helpPage(HelpTopic topic);
// Opens the topic's page; false (after telling the user) when it could not.
bool openHelp(QWidget* parent, HelpTopic topic);
// Tests replace the desktop's "open" so no browser starts; an empty function restores it.
void setHelpOpener(std::function<bool(const QUrl&)> opener);

} // namespace mv::gui

#pragma once
// Pictures of the spam settings windows for the documentation and for looking them over: each
// function fills a scratch folder with a realistic rule set, opens its window(s) offscreen and
// saves one PNG per page or window into `outDir`. Returns the files written.
#include <QString>
#include <QStringList>

namespace mv::gui {

// spam-settings-1-subject.png ... spam-settings-7-valid-domains.png
QStringList shootSpamSettingsPages(const QString& outDir);
// spam-editor-subject.png, -sender.png, -header.png, -exception.png
QStringList shootRuleEditors(const QString& outDir);
QStringList shootCountryList(const QString& outDir);
QStringList shootImportDialog(const QString& outDir);

} // namespace mv::gui

#include "gui/app/DesktopView.h"

#include "app/settings/MailboxAccounts.h"
#include "gui/WindowOpeners.h"
#include "gui/app/Desktop.h"
#include "gui/app/MailboxChooser.h"
#include "gui/app/MarkForDeletionDialog.h"
#include "gui/app/TextViewer.h"
#include "gui/widgets/MessageBox.h"

namespace mv::gui {

namespace {
QString q(const std::string& text) {
    return QString::fromStdString(text);
}
} // namespace

void DesktopView::setStatus(const std::string& text) {
    m_desktop.mainWindow().setStatus(q(text));
}

void DesktopView::setCaption(const std::string& caption) {
    m_desktop.mainWindow().setCaption(q(caption));
    m_desktop.setTrayHint(q(caption));
}

void DesktopView::setTrayHint(const std::string& hint) {
    m_desktop.setTrayHint(q(hint));
}

void DesktopView::setAutomaticMode(bool automatic) {
    m_desktop.automaticModeChanged(automatic);
}

void DesktopView::setButtons(const ButtonStates& states) {
    m_desktop.mainWindow().setButtons(states);
}

void DesktopView::setExitCaption(const std::string& caption) {
    m_desktop.setExitCaption(q(caption));
}

void DesktopView::setCheckPicture(bool listHasRows) {
    m_desktop.mainWindow().setCheckPicture(listHasRows);
}

void DesktopView::rowsInserted(int first, int last) {
    m_desktop.model().rowsAppended(first, last);
}

void DesktopView::rowChanged(int index) {
    m_desktop.model().rowChanged(index);
}

void DesktopView::listReset() {
    m_desktop.model().listReset();
}

void DesktopView::setBusy(bool busy) {
    m_desktop.setBusy(busy);
}

void DesktopView::showProgress(const std::string& heading, const std::string& server,
                               const std::string& user) {
    m_desktop.progressWindow().start(q(heading), q(server), q(user));
}

void DesktopView::setProgressHeading(const std::string& heading) {
    m_desktop.progressWindow().setHeading(q(heading));
}

void DesktopView::setProgressMessage(const std::string& message) {
    m_desktop.progressWindow().setMessage(q(message));
}

void DesktopView::setProgressBar(int position, int maximum) {
    m_desktop.progressWindow().setBar(position, maximum);
}

void DesktopView::hideProgress() {
    m_desktop.progressWindow().stop();
}

// Once the program ends, a cancelled check's "Operation has been canceled" would only hold up
// the exit the user asked for.
void DesktopView::showError(const std::string& message) {
    if (!m_desktop.ending()) MessageBox::error(m_desktop.boxParent(), q(message));
}

void DesktopView::showWarning(const std::string& message) {
    if (!m_desktop.ending()) MessageBox::warning(m_desktop.boxParent(), q(message));
}

void DesktopView::showInformation(const std::string& message) {
    if (!m_desktop.ending()) MessageBox::information(m_desktop.boxParent(), q(message));
}

bool DesktopView::askYesNo(const std::string& question) {
    return !m_desktop.ending() && MessageBox::question(m_desktop.boxParent(), q(question));
}

std::optional<int> DesktopView::chooseMailbox(const std::vector<ChooserEntry>& entries,
                                              int preselected) {
    QStringList lines;
    for (const ChooserEntry& entry : entries)
        lines << q(entry.text);
    TfrmWhichMailbox chooser(lines, preselected, &m_desktop.mainWindow());
    if (chooser.exec() != QDialog::Accepted || entries.empty()) return std::nullopt;
    return entries[static_cast<std::size_t>(chooser.chosenIndex())].mailbox;
}

void DesktopView::showText(ViewerMode mode, const std::string& text) {
    TfrmViewHeader viewer(&m_desktop.mainWindow());
    viewer.setContent(mode, q(text));
    viewer.exec();
}

bool DesktopView::confirmSpamList(SpamListChoice& choice) {
    TfrmMarkForDeletion dialog(choice, &m_desktop.mainWindow());
    if (dialog.exec() != QDialog::Accepted) return false;
    dialog.readInto(choice);
    return true;
}

void DesktopView::openSettings() {
    m_desktop.openSettingsFromController();
}

bool DesktopView::mainWindowVisible() const {
    return m_desktop.mainWindowVisible();
}

void DesktopView::showMainWindow() {
    m_desktop.showMain();
}

void DesktopView::hideToTray() {
    m_desktop.hideToTray();
}

void DesktopView::closeMainWindow() {
    m_desktop.requestExit();
}

void DesktopView::hideTrademark() {
    m_desktop.mainWindow().hideTrademark();
}

} // namespace mv::gui

#pragma once
// The bridge from the controller to the desktop: every View call lands on the main window, the
// progress window, the tray icon or one of the small dialogs. It decides nothing.
#include "app/View.h"

namespace mv::gui {

class Desktop;

class DesktopView final : public View {
public:
    explicit DesktopView(Desktop& desktop) : m_desktop(desktop) {}

    void setStatus(const std::string& text) override;
    void setCaption(const std::string& caption) override;
    void setTrayHint(const std::string& hint) override;
    void setAutomaticMode(bool automatic) override;
    void setButtons(const ButtonStates& states) override;
    void setExitCaption(const std::string& caption) override;
    void setCheckPicture(bool listHasRows) override;
    void rowsInserted(int first, int last) override;
    void rowChanged(int index) override;
    void listReset() override;
    void setBusy(bool busy) override;
    void showProgress(const std::string& heading, const std::string& server,
                      const std::string& user) override;
    void setProgressHeading(const std::string& heading) override;
    void setProgressMessage(const std::string& message) override;
    void setProgressBar(int position, int maximum) override;
    void hideProgress() override;
    void showError(const std::string& message) override;
    void showWarning(const std::string& message) override;
    void showInformation(const std::string& message) override;
    bool askYesNo(const std::string& question) override;
    std::optional<int> chooseMailbox(const std::vector<ChooserEntry>& entries,
                                     int preselected) override;
    void showText(ViewerMode mode, const std::string& text) override;
    bool confirmSpamList(SpamListChoice& choice) override;
    void openSettings() override;
    bool mainWindowVisible() const override;
    void showMainWindow() override;
    void hideToTray() override;
    void closeMainWindow() override;
    void hideTrademark() override;

private:
    Desktop& m_desktop;
};

} // namespace mv::gui

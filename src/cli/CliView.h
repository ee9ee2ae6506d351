#pragma once
// The command line's face of the check controller: messages and questions on the streams of the
// command, progress on a terminal's stderr, captions as status lines when asked for, and Ctrl+C as
// the Cancel button. `CheckSession` builds the controller over them for one command run.
#include "app/CheckController.h"
#include "app/ListCommands.h"
#include "app/Platform.h"
#include "app/View.h"
#include "cli/Command.h"

#include <atomic>
#include <csignal>
#include <optional>

namespace mv::cli {

class CliView final : public View {
public:
    explicit CliView(CommandContext& context) : m_context(context) {}

    // Questions are answered yes without asking (--yes).
    void setAssumeYes(bool yes) { m_assumeYes = yes; }
    // Captions are printed as status lines (the automatic command).
    void setPrintCaptions(bool print) { m_printCaptions = print; }
    // The last status line.
    const std::string& status() const { return m_status; }

    void setStatus(const std::string& text) override { m_status = text; }
    void setCaption(const std::string& caption) override;
    void setTrayHint(const std::string&) override {}
    void setAutomaticMode(bool) override {}
    void setButtons(const ButtonStates&) override {}
    void setExitCaption(const std::string&) override {}
    void setCheckPicture(bool) override {}
    void rowsInserted(int, int) override {}
    void rowChanged(int) override {}
    void listReset() override {}
    void setBusy(bool) override {}
    void showProgress(const std::string&, const std::string&, const std::string&) override {}
    void setProgressHeading(const std::string&) override {}
    void setProgressMessage(const std::string& message) override;
    void setProgressBar(int, int) override {}
    void hideProgress() override;
    void showError(const std::string& message) override;
    void showWarning(const std::string& message) override;
    void showInformation(const std::string& message) override;
    bool askYesNo(const std::string& question) override;
    std::optional<int> chooseMailbox(const std::vector<ChooserEntry>& entries,
                                     int preselected) override;
    bool confirmSpamList(SpamListChoice&) override { return false; }
    void showText(ViewerMode, const std::string& text) override;
    void openSettings() override;
    bool mainWindowVisible() const override { return true; }
    void showMainWindow() override {}
    void hideToTray() override {}
    void closeMainWindow() override {}
    void hideTrademark() override {}

private:
    CommandContext& m_context;
    bool m_assumeYes = false;
    bool m_printCaptions = false;
    bool m_progressShown = false;
    std::string m_status;
    std::string m_caption;
};

// Ctrl+C cancels the running network operation instead of killing the program, so the session
// ends properly and the log says what happened. Installed for the session's lifetime.
class CliPlatform final : public Platform {
public:
    CliPlatform();
    ~CliPlatform() override;
    CliPlatform(const CliPlatform&) = delete;
    CliPlatform& operator=(const CliPlatform&) = delete;

    void setController(CheckController* controller) { m_controller = controller; }
    void pump() override;
    // True once Ctrl+C was pressed (and taken back by this call).
    static bool takeInterrupt();

private:
    CheckController* m_controller = nullptr;
    struct sigaction m_previous {};
};

// One controller over the command's home folder, started up and ready for commands.
class CheckSession {
public:
    explicit CheckSession(CommandContext& context);

    CliView view;
    CliPlatform platform;
    CheckController controller;
    ListCommands list{controller};
};

} // namespace mv::cli

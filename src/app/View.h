#pragma once
// What the check controller asks of a front end: the desktop program's main window (through its
// bridge) and the command line each implement it. The view only presents; every decision is the
// controller's. Lives at least as long as the controller that talks to it.
//
// Every call comes on the controller's (the user-interface) thread, also from inside a running
// network operation: between the slices of its waits the Platform's pump runs, and a window
// processes its events there. A view may therefore call the controller's commands from any of
// these methods or from its pump; while an operation runs the controller refuses every command
// but cancel (see setBusy). Message boxes are never asked for while a network operation is
// waiting: the controller keeps them until the operation has ended.
#include <optional>
#include <string>
#include <vector>

namespace mv {

struct ChooserEntry;
struct SpamListChoice;

// The main window's buttons, as disableAllButtons / enableAllButtons leave them.
struct ButtonStates {
    bool checkEnabled = true;      // "Check e-mail" and "Settings and more"
    bool listButtonsShown = false; // mark, reset, launch, delete, auto-mark; the slogan otherwise
    bool operator==(const ButtonStates&) const = default;
};

// The heading of the text viewer.
enum class ViewerMode {
    Headers, // "Contents of selected e-mail headers"
    Reasons, // "Reasons that e-mail is marked or not marked"
    Body,    // "Contents of e-mail"
};

class View {
public:
    virtual ~View() = default;

    // The status line (second panel of the status bar).
    virtual void setStatus(const std::string& text) = 0;
    // The window caption; the title label and the tray hint repeat it.
    virtual void setCaption(const std::string& caption) = 0;
    // The tray hint alone (the deletion's "N spams deleted").
    virtual void setTrayHint(const std::string& hint) = 0;
    // Animated tray icon in automatic mode, the plain program icon otherwise; the tray menu's
    // "Enable/Disable automatic check" radio items follow `automatic` too.
    virtual void setAutomaticMode(bool automatic) = 0;

    // Check and settings enabled, list buttons shown: disabled and hidden while an operation
    // runs, the list buttons shown again only when the list has rows.
    virtual void setButtons(const ButtonStates& states) = 0;
    // The exit button's role: "Cancel" while a check or deletion runs, else "Goodbye" (or "Hide"
    // in tray mode). The tray's exit item follows.
    virtual void setExitCaption(const std::string& caption) = 0;
    // The check button's picture: "up" when the list has rows, "down" when it is empty.
    virtual void setCheckPicture(bool listHasRows) = 0;

    // --- The message list -----------------------------------------------------------------
    // The rows are read from CheckController::rows(); row i is always the server's message i + 1,
    // so front ends never add, remove or reorder rows themselves. Each notice comes after the
    // change, so a list model calls its begin and end notifications back to back.
    // Rows `first` to `last` (inclusive, 0-based) were appended at the end of the list.
    virtual void rowsInserted(int first, int last) = 0;
    // The mark of row `index` changed (a screening, a mark command); no other column changes,
    // so the selection stays as it is.
    virtual void rowChanged(int index) = 0;
    // Every row went (a new check, a deletion, a cancelled listing, the mail program's launch):
    // the list is empty now.
    virtual void listReset() = 0;

    // True when an operation starts (a check, a deletion, a body download, an automatic run, an
    // auto-mark or explanation that may ask the name server), false once the command that ran it
    // has returned (not when Cancel is pressed: the operation still has to end). Never nested.
    // While busy, every command but cancel is refused with a status text (kBusyText), so a front
    // end may leave its commands enabled; it should offer Cancel.
    virtual void setBusy(bool busy) = 0;

    // The progress window, not modal: its "Click to cancel" calls CheckController::cancel(true).
    // `showProgress` shows it reset (message empty, bar hidden, server and user from the
    // arguments) with the heading; only in an interactive operation.
    virtual void showProgress(const std::string& heading, const std::string& server,
                              const std::string& user) = 0;
    virtual void setProgressHeading(const std::string& heading) = 0;
    // The line under the heading ("Message 3 of 12").
    virtual void setProgressMessage(const std::string& message) = 0;
    // maximum 0 hides the bar.
    virtual void setProgressBar(int position, int maximum) = 0;
    // Also called when the window is not shown.
    virtual void hideProgress() = 0;

    // Modal message boxes with an OK button. Never called while a network operation waits.
    virtual void showError(const std::string& message) = 0;
    virtual void showWarning(const std::string& message) = 0;
    virtual void showInformation(const std::string& message) = 0;
    // A modal question with Yes and No; true for Yes.
    virtual bool askYesNo(const std::string& question) = 0;
    // The mailbox chooser "Which Mail Box?": the chosen entry's mailbox number, or nullopt when
    // cancelled. `preselected` is an index into `entries` (-1: none).
    virtual std::optional<int> chooseMailbox(const std::vector<ChooserEntry>& entries,
                                             int preselected) = 0;
    // The modal text viewer "View Selected Headers", headed by `mode`.
    virtual void showText(ViewerMode mode, const std::string& text) = 0;
    // "Mark e-mail for deletion": shows the selected messages and the two check boxes, which the
    // user may change; false on Cancel.
    virtual bool confirmSpamList(SpamListChoice& choice) = 0;
    // The general settings window, modal; returns when it is closed. The controller reads the
    // stored settings afterwards, so the window saves what the user confirmed before returning.
    virtual void openSettings() = 0;

    // Whether the main window is on screen: a check while it is hidden during an automatic run
    // is unattended.
    virtual bool mainWindowVisible() const = 0;
    // Brings the main window on screen (from the tray too) and to the front.
    virtual void showMainWindow() = 0;
    // Hides the main window, leaving the tray icon.
    virtual void hideToTray() = 0;
    // Ends the program (a manual check that found nothing with "exit when empty").
    virtual void closeMainWindow() = 0;
    // The small "TM" label beside the title goes for good once mail was found.
    virtual void hideTrademark() = 0;
};

} // namespace mv

#pragma once
// A View and a Platform that write down every call as one line of text ("status: ...",
// "error: ...") and answer the questions from a script, so controller tests read like the user's
// session.
#include "app/Platform.h"
#include "app/View.h"
#include "app/settings/MailboxAccounts.h"
#include "screening/QuickAdd.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace mv::test {

class RecordingView : public View {
public:
    std::vector<std::string> calls;
    std::deque<bool> answers;         // askYesNo, in order; a missing answer is "No"
    std::optional<int> chosenMailbox; // chooseMailbox; nullopt cancels
    bool visible = true;
    ButtonStates buttons;
    std::string exitCaption, caption;
    bool checkPictureUp = false;
    bool busy = false;
    // Called with every status text, e.g. to press Cancel in the middle of a check.
    std::function<void(const std::string&)> onStatus;
    // Called with the first row of every insertion, as a window's model would be.
    std::function<void(int)> onRowsInserted;
    // Called with every caption, e.g. to make a window call fail.
    std::function<void(const std::string&)> onCaption;
    // Called when the settings window is to open, e.g. to open a real one.
    std::function<void()> onSettings;

    bool saw(const std::string& call) const {
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    }
    std::vector<std::string> matching(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const auto& c : calls)
            if (c.starts_with(prefix)) out.push_back(c);
        return out;
    }

    void setStatus(const std::string& text) override {
        calls.push_back("status: " + text);
        if (onStatus) onStatus(text);
    }
    void setCaption(const std::string& c) override {
        caption = c;
        calls.push_back("caption: " + c);
        if (onCaption) onCaption(c);
    }
    void setTrayHint(const std::string& hint) override { calls.push_back("hint: " + hint); }
    void setAutomaticMode(bool on) override {
        calls.push_back(on ? "tray: animated" : "tray: plain");
    }
    void setButtons(const ButtonStates& states) override { buttons = states; }
    void setExitCaption(const std::string& c) override { exitCaption = c; }
    void setCheckPicture(bool up) override { checkPictureUp = up; }
    // The list notices as a model would receive them.
    void rowsInserted(int first, int last) override {
        calls.push_back("inserted: " + std::to_string(first) + "-" + std::to_string(last));
        if (onRowsInserted) onRowsInserted(first);
    }
    void rowChanged(int index) override { calls.push_back("changed: " + std::to_string(index)); }
    void listReset() override { calls.push_back("reset"); }
    void setBusy(bool on) override {
        busy = on;
        calls.push_back(on ? "busy: on" : "busy: off");
    }
    void showProgress(const std::string& heading, const std::string&, const std::string&) override {
        calls.push_back("progress: " + heading);
    }
    void setProgressHeading(const std::string&) override {}
    void setProgressMessage(const std::string&) override {}
    void setProgressBar(int, int) override {}
    void hideProgress() override {}
    void showError(const std::string& m) override { calls.push_back("error: " + m); }
    void showWarning(const std::string& m) override { calls.push_back("warning: " + m); }
    void showInformation(const std::string& m) override { calls.push_back("information: " + m); }
    bool askYesNo(const std::string& q) override {
        calls.push_back("ask: " + q);
        if (answers.empty()) return false;
        bool a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<int> chooseMailbox(const std::vector<ChooserEntry>& entries, int) override {
        calls.push_back("chooser: " + std::to_string(entries.size()) + " entries");
        return chosenMailbox;
    }
    bool confirmSpamList(SpamListChoice&) override { return true; }
    void showText(ViewerMode, const std::string& text) override {
        calls.push_back("text: " + text);
    }
    void openSettings() override {
        calls.push_back("settings window");
        if (onSettings) onSettings();
    }
    bool mainWindowVisible() const override { return visible; }
    void showMainWindow() override {
        visible = true;
        calls.push_back("show window");
    }
    void hideToTray() override { calls.push_back("hide to tray"); }
    void closeMainWindow() override { calls.push_back("close window"); }
    void hideTrademark() override {}
};

class RecordingPlatform : public Platform {
public:
    std::vector<std::string> calls;
    bool openSucceeds = true;
    // Run from the pump, as a window processes its events there.
    std::function<void()> onPump;

    void pump() override {
        if (onPump) onPump();
    }

    void playSound(const std::string& file, bool loop) override {
        calls.push_back("play " + file + (loop ? " looped" : ""));
    }
    void stopSound() override {}
    void beep() override { calls.push_back("beep"); }
    bool open(const std::string& path) override {
        calls.push_back("open " + path);
        return openSucceeds;
    }
    bool openFile(const std::string& path) override {
        calls.push_back("open file " + path);
        return openSucceeds;
    }
};

} // namespace mv::test

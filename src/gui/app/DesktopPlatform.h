#pragma once
// The desktop's services for the controller: the alarm sound, the system's "open", and the event
// processing that keeps the windows, Cancel and the tray live while a network operation waits.
#include "app/Platform.h"

namespace mv::gui {

class Desktop;

class DesktopPlatform final : public Platform {
public:
    explicit DesktopPlatform(Desktop& desktop) : m_desktop(desktop) {}

    void playSound(const std::string& file, bool loop) override;
    void stopSound() override;
    void beep() override;
    // A document opens in its application; a program (an executable file, or a command line of
    // a program on the PATH with its arguments) is started on its own.
    bool open(const std::string& path) override;
    bool openFile(const std::string& path) override;
    void pump() override;

private:
    Desktop& m_desktop;
};

} // namespace mv::gui

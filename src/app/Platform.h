#pragma once
// The few services of the desktop the controller needs: sound, the system's "open" action and
// processing events while a network operation waits. Each has a harmless
// fallback, so the command line and the tests implement only what they use. Lives at least as
// long as the controller.
#include <string>

namespace mv {

class Platform {
public:
    virtual ~Platform() = default;

    // Plays a wave file asynchronously, looping until stopped when `loop`.
    virtual void playSound(const std::string& /*file*/, bool /*loop*/) {}
    virtual void stopSound() {}
    // The system's warning beep.
    virtual void beep() {}
    // Opens a document or starts a program the way the desktop would; false when it could not.
    virtual bool open(const std::string& /*path*/) { return false; }
    // Opens an existing file in the application for its kind; never runs it, even when it is
    // executable. False when there is no such file or it could not be opened.
    virtual bool openFile(const std::string& /*path*/) { return false; }
    // Run about every 10 ms while a network operation runs, whether it waits or reads what has
    // already arrived: the desktop processes its events here so Cancel and the tray stay live;
    // the command line checks for an interrupt. Commands called from here are refused while the
    // controller is busy, except cancel.
    virtual void pump() {}
};

} // namespace mv

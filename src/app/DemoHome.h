#pragma once
// The demo's home: a temporary folder with the demo's rules and a settings store whose mailbox 1
// is the demo mailbox, removed with everything in it when the demo ends. Both front ends' demos
// start here, so they show the same check.
#include "app/DemoMailbox.h"

#include <filesystem>

namespace mv {

class DemoHome {
public:
    // Creates the folder and fills it for `mailbox`. Throws FileError when the demo files are
    // missing or the folder cannot be made.
    explicit DemoHome(const DemoMailbox& mailbox);
    ~DemoHome();
    DemoHome(const DemoHome&) = delete;
    DemoHome& operator=(const DemoHome&) = delete;
    const std::filesystem::path& dir() const { return m_dir; }

    // The demo's messages, loaded from the bundled files. Throws FileError when they are missing.
    static std::vector<std::string> messages();

private:
    std::filesystem::path m_dir;
};

} // namespace mv

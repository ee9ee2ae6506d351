#include "app/DemoHome.h"

#include "app/settings/HomeFolder.h"
#include "app/settings/SettingsStore.h"
#include "base/Files.h"

#include <cstdlib>

namespace mv {

namespace {

std::filesystem::path demoFolder(const char* part) {
    std::filesystem::path folder = DemoMailbox::assetsFolder() / part;
    if (!std::filesystem::is_directory(folder))
        throw FileError("The demo files are missing: " + DemoMailbox::assetsFolder().string());
    return folder;
}

} // namespace

DemoHome::DemoHome(const DemoMailbox& mailbox) {
    std::filesystem::path files = demoFolder("home");
    std::string pattern =
        (std::filesystem::temp_directory_path() / "mailvane-demo-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw FileError("Unable to create a temporary folder for the demo");
    m_dir = pattern;
    try {
        std::filesystem::copy(files, m_dir);
        HomeFolder home(m_dir);
        SettingsStore settings(home.settingsFile());
        MailboxAccount account{"127.0.0.1:" + std::to_string(mailbox.port()), DemoMailbox::kUser,
                               DemoMailbox::kPassword, TlsMode::None, ""};
        settings.GetRemotePOPSettings(1); // a fresh store: nothing to migrate
        settings.saveAccount(1, account);
        settings.writeString(Setting::Logfile, home.defaultLogFile().string());
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
        throw;
    }
}

DemoHome::~DemoHome() {
    std::error_code ignored;
    std::filesystem::remove_all(m_dir, ignored);
}

std::vector<std::string> DemoHome::messages() {
    return DemoMailbox::loadMessages(demoFolder("messages"));
}

} // namespace mv

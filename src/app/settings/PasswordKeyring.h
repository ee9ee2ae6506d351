#pragma once
// Mailbox passwords in the desktop's keyring. When a Secret Service runs on the session bus (GNOME
// Keyring, KWallet's Secret Service), the settings file keeps only a reference ("keyring:" + the
// mailbox number) and the password itself lives in the keyring, under the settings file's path
// and the mailbox number; without one the settings file keeps the scrambled form as before. The
// settings store owns one for as long as it lives.
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace mv {

class PasswordKeyring {
public:
    virtual ~PasswordKeyring() = default;

    // A Secret Service answered when the keyring was made.
    virtual bool available() const = 0;
    // False when the service refused (locked and not unlocked, gone away).
    virtual bool store(const std::filesystem::path& settings, int mailbox,
                       const std::string& password) = 0;
    // nullopt when there is no such password or the service cannot be asked.
    virtual std::optional<std::string> lookup(const std::filesystem::path& settings,
                                              int mailbox) = 0;
    virtual void remove(const std::filesystem::path& settings, int mailbox) = 0;
};

// The session bus's Secret Service, or an unavailable keyring when `env` names no session bus or
// nothing owns the service's name (the service is never started on our behalf).
std::shared_ptr<PasswordKeyring>
secretServiceKeyring(const std::map<std::string, std::string>& env);

// `inner` (null: null) with every call run on a thread of its own while `whileWaiting` runs
// about every 10 ms: a slow service, or a locked keyring waiting on its unlock prompt, never
// freezes the desktop program's windows. Calls still come one at a time.
std::shared_ptr<PasswordKeyring> keyringCalledAside(std::shared_ptr<PasswordKeyring> inner,
                                                    std::function<void()> whileWaiting);

// A home chosen by --home or MAILVANE_HOME is portable: its passwords travel with its files and
// stay out of this machine's keyring.
bool isPortableHome(const std::optional<std::filesystem::path>& override,
                    const std::map<std::string, std::string>& env);
// The keyring a program keeps the passwords of its home in: the session's Secret Service, or null
// for a portable home. Both programs choose it so, or one could not read what the other stored.
std::shared_ptr<PasswordKeyring>
keyringForHome(const std::optional<std::filesystem::path>& override,
               const std::map<std::string, std::string>& env);

// What `Passwd<n>` of `settings` stores for `password`: a reference once the keyring (null: none)
// took it, else the scrambled form. An empty password also leaves the keyring.
std::string storedPasswordText(PasswordKeyring* keyring, const std::filesystem::path& settings,
                               int mailbox, const std::string& password);
// Whether a stored `Passwd<n>` text is a reference to the keyring rather than a password.
bool isKeyringReference(std::string_view stored);
// The password `Passwd<n>` stores: unscrambled, or taken from the keyring. Throws
// EPasswordFormatError when the text is damaged or the keyring cannot give the password now.
std::string passwordFromStoredText(PasswordKeyring* keyring, const std::filesystem::path& settings,
                                   int mailbox, const std::string& stored);

} // namespace mv

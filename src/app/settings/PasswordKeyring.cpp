#include "app/settings/PasswordKeyring.h"

#include "base/RunAside.h"
#include "desktop/PasswordEncryption.h"

#include <libsecret/secret.h>

namespace mv {

namespace {

constexpr std::string_view kReferencePrefix = "keyring:";

const SecretSchema* schema() {
    static const SecretSchema s = [] {
        SecretSchema built{};
        built.name = "org.mailvane.MailboxPassword";
        built.flags = SECRET_SCHEMA_NONE;
        built.attributes[0] = {"settings", SECRET_SCHEMA_ATTRIBUTE_STRING};
        built.attributes[1] = {"mailbox", SECRET_SCHEMA_ATTRIBUTE_STRING};
        return built;
    }();
    return &s;
}

// Whether something owns the Secret Service's bus name now; asking never starts a service.
bool serviceRunning() {
    GError* error = nullptr;
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    if (bus == nullptr) {
        g_clear_error(&error);
        return false;
    }
    GVariant* reply = g_dbus_connection_call_sync(
        bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
        "NameHasOwner", g_variant_new("(s)", "org.freedesktop.secrets"), G_VARIANT_TYPE("(b)"),
        G_DBUS_CALL_FLAGS_NONE, 3000, nullptr, &error);
    gboolean owned = FALSE;
    if (reply != nullptr) {
        g_variant_get(reply, "(b)", &owned);
        g_variant_unref(reply);
    }
    g_clear_error(&error);
    g_object_unref(bus);
    return owned != FALSE;
}

class SecretServiceKeyring final : public PasswordKeyring {
public:
    explicit SecretServiceKeyring(bool busNamed) : m_available(busNamed && serviceRunning()) {}

    bool available() const override { return m_available; }

    bool store(const std::filesystem::path& settings, int mailbox,
               const std::string& password) override {
        if (!m_available) return false;
        std::string label = "Mailvane mailbox " + std::to_string(mailbox);
        std::string number = std::to_string(mailbox);
        GError* error = nullptr;
        gboolean stored = secret_password_store_sync(
            schema(), SECRET_COLLECTION_DEFAULT, label.c_str(), password.c_str(), nullptr, &error,
            "settings", settings.c_str(), "mailbox", number.c_str(), nullptr);
        g_clear_error(&error);
        return stored != FALSE;
    }

    std::optional<std::string> lookup(const std::filesystem::path& settings, int mailbox) override {
        if (!m_available) return std::nullopt;
        std::string number = std::to_string(mailbox);
        GError* error = nullptr;
        gchar* found =
            secret_password_lookup_sync(schema(), nullptr, &error, "settings", settings.c_str(),
                                        "mailbox", number.c_str(), nullptr);
        g_clear_error(&error);
        if (found == nullptr) return std::nullopt;
        std::string password = found;
        secret_password_free(found); // overwrites the copy before freeing it
        return password;
    }

    void remove(const std::filesystem::path& settings, int mailbox) override {
        if (!m_available) return;
        std::string number = std::to_string(mailbox);
        GError* error = nullptr;
        secret_password_clear_sync(schema(), nullptr, &error, "settings", settings.c_str(),
                                   "mailbox", number.c_str(), nullptr);
        g_clear_error(&error);
    }

private:
    bool m_available;
};

class KeyringCalledAside final : public PasswordKeyring {
public:
    KeyringCalledAside(std::shared_ptr<PasswordKeyring> inner, std::function<void()> whileWaiting)
        : m_inner(std::move(inner)), m_whileWaiting(std::move(whileWaiting)) {}

    bool available() const override { return m_inner->available(); }
    bool store(const std::filesystem::path& settings, int mailbox,
               const std::string& password) override {
        return runAside([&] { return m_inner->store(settings, mailbox, password); },
                        m_whileWaiting);
    }
    std::optional<std::string> lookup(const std::filesystem::path& settings, int mailbox) override {
        return runAside([&] { return m_inner->lookup(settings, mailbox); }, m_whileWaiting);
    }
    void remove(const std::filesystem::path& settings, int mailbox) override {
        runAside([&] { m_inner->remove(settings, mailbox); }, m_whileWaiting);
    }

private:
    std::shared_ptr<PasswordKeyring> m_inner;
    std::function<void()> m_whileWaiting;
};

bool nonEmpty(const std::map<std::string, std::string>& env, const std::string& name) {
    auto it = env.find(name);
    return it != env.end() && !it->second.empty();
}

} // namespace

std::shared_ptr<PasswordKeyring>
secretServiceKeyring(const std::map<std::string, std::string>& env) {
    // Without a named session bus the bus library would try to launch one.
    return std::make_shared<SecretServiceKeyring>(nonEmpty(env, "DBUS_SESSION_BUS_ADDRESS"));
}

std::shared_ptr<PasswordKeyring> keyringCalledAside(std::shared_ptr<PasswordKeyring> inner,
                                                    std::function<void()> whileWaiting) {
    if (!inner) return nullptr;
    return std::make_shared<KeyringCalledAside>(std::move(inner), std::move(whileWaiting));
}

bool isPortableHome(const std::optional<std::filesystem::path>& override,
                    const std::map<std::string, std::string>& env) {
    return override.has_value() || nonEmpty(env, "MAILVANE_HOME");
}

std::shared_ptr<PasswordKeyring>
keyringForHome(const std::optional<std::filesystem::path>& override,
               const std::map<std::string, std::string>& env) {
    return isPortableHome(override, env) ? nullptr : secretServiceKeyring(env);
}

bool isKeyringReference(std::string_view stored) { return stored.starts_with(kReferencePrefix); }

std::string storedPasswordText(PasswordKeyring* keyring, const std::filesystem::path& settings,
                               int mailbox, const std::string& password) {
    if (keyring != nullptr && keyring->available()) {
        if (password.empty())
            keyring->remove(settings, mailbox);
        else if (keyring->store(settings, mailbox, password))
            return std::string(kReferencePrefix) + std::to_string(mailbox);
    }
    return TPasswordEncryption::scramble(password);
}

std::string passwordFromStoredText(PasswordKeyring* keyring, const std::filesystem::path& settings,
                                   int mailbox, const std::string& stored) {
    if (!isKeyringReference(stored)) return TPasswordEncryption::unscramble(stored);
    std::optional<std::string> password;
    if (keyring != nullptr) password = keyring->lookup(settings, mailbox);
    if (!password)
        throw EPasswordFormatError("The keyring holds no password for mailbox " +
                                   std::to_string(mailbox));
    return *password;
}

} // namespace mv

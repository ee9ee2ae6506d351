#include "cli/SpamCommand.h"

#include "app/settings/SettingsTable.h"
#include "base/IniFile.h"
#include "base/Text.h"
#include "screening/SpamOptions.h"

#include <array>
#include <ostream>
#include <variant>

namespace mv::cli {

namespace {
using Field =
    std::variant<bool SpamOptions::*, long long SpamOptions::*, std::string SpamOptions::*>;

struct SpamKey {
    std::string_view name; // as stored: section, "/", key
    Field field;
};

const std::array<SpamKey, 10> kSpamKeys{{
    {"Known/QMonitor", &SpamOptions::compareWithKnownList},
    {"Known/Valid", &SpamOptions::checkDomains},
    {"Known/Question", &SpamOptions::unknownDomainDeletes},
    {"Known/Num", &SpamOptions::unknownDomainCount},
    {"Smaller/QSmaller", &SpamOptions::smallerOn},
    {"Smaller/Num", &SpamOptions::smallerLimit},
    {"Smaller/Check", &SpamOptions::smallerDeletes},
    {"Larger/QLarger", &SpamOptions::largerOn},
    {"Larger/Num", &SpamOptions::largerLimit},
    {"Larger/Check", &SpamOptions::largerDeletes},
}};

const SpamKey& findKey(std::string_view name) {
    for (const SpamKey& key : kSpamKeys)
        if (equalsNoCase(key.name, name)) return key;
    throw UsageError("unknown spam option " + std::string(name));
}

std::string valueText(const SpamOptions& options, const Field& field) {
    return std::visit(
        [&](auto member) {
            const auto& value = options.*member;
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, bool>)
                return std::string(value ? "1" : "0");
            else if constexpr (std::is_same_v<T, long long>)
                return std::to_string(value);
            else
                return value;
        },
        field);
}

// Sizes and the unknown-domain counter are counts: whole numbers from 0.
long long count(const SpamKey& key, std::string_view text) {
    std::optional<long long> value = parseInteger(text);
    if (!value || *value < 0)
        throw UsageError(std::string(key.name) + " must be a whole number from 0");
    return *value;
}

void setValue(SpamOptions& options, const SpamKey& key, std::string_view text) {
    std::visit(
        [&](auto member) {
            auto& value = options.*member;
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, bool>) {
                std::optional<bool> on = parseBooleanText(text);
                if (!on) throw UsageError(std::string(key.name) + " must be 1 or 0");
                value = *on;
            } else if constexpr (std::is_same_v<T, long long>) {
                value = count(key, text);
            } else {
                value = std::to_string(count(key, text));
            }
        },
        key.field);
}
} // namespace

int SpamCommand::run(Arguments& args, CommandContext& context) {
    std::optional<std::string> name = args.nextIfAny();
    std::optional<std::string> value = args.nextIfAny();
    args.finish();
    // Only these three sections are touched; the file's other sections are kept as they are.
    IniFile ini(context.home.iniFile());
    if (std::optional<std::string> notice = ini.load()) context.err << *notice << "\n";
    SpamOptions options;
    options.read(ini);
    if (!name) {
        for (const SpamKey& key : kSpamKeys)
            context.out << key.name << "=" << valueText(options, key.field) << "\n";
        return 0;
    }
    const SpamKey& key = findKey(*name);
    if (!value) {
        context.out << valueText(options, key.field) << "\n";
        return 0;
    }
    setValue(options, key, *value);
    options.write(ini);
    ini.save();
    return 0;
}

} // namespace mv::cli

#include "cli/OptionsCommand.h"

#include <ostream>

namespace mv::cli {

int OptionsCommand::run(Arguments& args, CommandContext& context) {
    std::optional<std::string> key = args.nextIfAny();
    std::optional<std::string> value = args.nextIfAny();
    args.finish();
    if (!key) {
        for (const SettingInfo& info : allSettings())
            if (info.userOption)
                context.out << info.name << "=" << context.settings.optionText(info.key) << "\n";
        return 0;
    }
    const SettingInfo* info = findUserOption(*key);
    if (info == nullptr) throw UsageError("unknown option " + *key);
    if (!value) {
        context.out << context.settings.optionText(info->key) << "\n";
        return 0;
    }
    try {
        context.settings.writeOption(info->key, *value);
    } catch (const SettingValueError& e) {
        throw UsageError(e.what());
    }
    return 0;
}

} // namespace mv::cli

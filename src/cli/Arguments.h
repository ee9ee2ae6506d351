#pragma once
// The words of one sub-command, taken apart by the command as it reads them: options
// ("--name VALUE" or "--name=VALUE") and flags anywhere, positional words in order. Lives for one
// command run.
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace mv::cli {

// The command line does not fit the command's usage: exit code 2 and the usage line.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Arguments {
public:
    explicit Arguments(std::vector<std::string> words) : m_words(std::move(words)) {}

    // Removes and returns the value of option `name` ("--server"); nullopt when absent.
    // UsageError when it is given without a value or more than once.
    std::optional<std::string> option(std::string_view name);
    // Removes flag `name` ("--yes"); true when it was given.
    bool flag(std::string_view name);
    // Removes and returns the next positional word; UsageError naming `what` when none is left.
    std::string next(std::string_view what);
    // The next positional word when there is one.
    std::optional<std::string> nextIfAny();
    // A positional mailbox number, 1 to 12.
    int nextMailbox();
    // UsageError for any word left over (unknown options included).
    void finish() const;

private:
    std::vector<std::string> m_words;
};

} // namespace mv::cli

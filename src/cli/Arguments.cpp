#include "cli/Arguments.h"

#include "app/settings/MailboxAccounts.h"
#include "base/Text.h"

namespace mv::cli {

namespace {
bool isOption(std::string_view word) {
    return word.size() > 2 && word.starts_with("--");
}
} // namespace

std::optional<std::string> Arguments::option(std::string_view name) {
    std::optional<std::string> value;
    for (std::size_t i = 0; i < m_words.size();) {
        const std::string& word = m_words[i];
        std::size_t taken = 0;
        std::string found;
        if (word == name) {
            if (i + 1 >= m_words.size())
                throw UsageError("option " + std::string(name) + " needs a value");
            found = m_words[i + 1];
            taken = 2;
        } else if (word.starts_with(std::string(name) + "=")) {
            found = word.substr(name.size() + 1);
            taken = 1;
        } else {
            ++i;
            continue;
        }
        if (value) throw UsageError("option " + std::string(name) + " is given twice");
        value = found;
        m_words.erase(m_words.begin() + static_cast<std::ptrdiff_t>(i),
                      m_words.begin() + static_cast<std::ptrdiff_t>(i + taken));
    }
    return value;
}

bool Arguments::flag(std::string_view name) {
    return std::erase(m_words, std::string(name)) > 0;
}

std::optional<std::string> Arguments::nextIfAny() {
    for (auto it = m_words.begin(); it != m_words.end(); ++it) {
        if (isOption(*it)) continue;
        std::string word = *it;
        m_words.erase(it);
        return word;
    }
    return std::nullopt;
}

std::string Arguments::next(std::string_view what) {
    std::optional<std::string> word = nextIfAny();
    if (!word) throw UsageError("missing " + std::string(what));
    return *word;
}

int Arguments::nextMailbox() {
    std::string word = next("mailbox number");
    std::optional<long long> n = parseInteger(word);
    if (!n || *n < 1 || *n > MailboxAccounts::kCount)
        throw UsageError("mailbox number must be from 1 to 12, not " + word);
    return static_cast<int>(*n);
}

void Arguments::finish() const {
    if (m_words.empty()) return;
    const std::string& word = m_words.front();
    throw UsageError((isOption(word) ? "unknown option " : "unexpected argument ") + word);
}

} // namespace mv::cli

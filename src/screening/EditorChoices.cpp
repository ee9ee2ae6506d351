#include "screening/EditorChoices.h"

#include <array>

namespace mv {

namespace {
struct ConditionChoice {
    std::string_view label, word;
};
constexpr std::array<ConditionChoice, kConditionChoiceCount> kChoices{{
    {"Contains", "Contains"},
    {"Contains (whole word)", "Contains (whole word)"},
    {"Equals (exact match)", "Equals"},
    {"Starts with", "Starts with"},
    {"Ends with", "Ends with"},
    {"Is blank or empty", "Is blank"},
    {"Is all UPPERCASE", "Is UPPERCASE"},
    {"Is ALL numeric", "All numeric"},
    {"Is at least 1/2 numeric", "50% numeric"},
    {"Starts with a number", "First char numeric"},
}};

bool validChoice(int index) { return index >= 0 && index < kConditionChoiceCount; }
} // namespace

std::string_view cellOf(const RuleRow& row, std::size_t column) {
    return column < row.size() ? std::string_view(row[column]) : std::string_view();
}

void setCell(RuleRow& row, std::size_t column, std::string_view text) {
    if (column >= row.size()) row.resize(column + 1);
    row[column] = text;
}

std::string_view conditionLabel(int index) {
    return validChoice(index) ? kChoices[static_cast<std::size_t>(index)].label : "";
}

std::string_view conditionWord(int index) {
    return validChoice(index) ? kChoices[static_cast<std::size_t>(index)].word : "";
}

std::optional<int> conditionChoiceOf(std::string_view word, int offered) {
    for (int i = 0; i < offered && i < kConditionChoiceCount; ++i)
        if (kChoices[static_cast<std::size_t>(i)].word == word) return i;
    return std::nullopt;
}

bool conditionTakesPattern(std::string_view word) {
    return conditionChoiceOf(word, kTextConditionChoices).has_value();
}

EditorRefusal noConditionRefusal() {
    return {EditorField::Condition, "Choose a condition for the rule"};
}

const std::vector<std::string_view>& subjectSuggestions() {
    static const std::vector<std::string_view> list = {
        "!!", "$$", "==", "adult site", "adults only", "advertise", "advertising", "bulk", "buy",
        "call 800", "dollar", "exciting", "extra income", "for only", "free", "guaranteed",
        "help wanted", "huge", "income", "incredible deal", "lottery", "make money", "market",
        "million", "MLM", "mlm", "naked", "nude", "offer", "opportunity", "please read", "profit",
        "read this", "rich", "save $", "secret", "sex", "spam", "specials", "weight", "win $",
        "women", "work at home", "XXX"};
    return list;
}

const std::vector<std::string_view>& senderSuggestions() {
    static const std::vector<std::string_view> list = {
        "bigbucks", "bulkemail", "business", "cableguys", "canceranswer", "careers", "cash",
        "casino", "clubmail", "credaid", "credaide", "credit", "directmail", "dontreply", "energy",
        "erotic", "floodgate", "fortune", "freedom", "freesoftware", "friend", "friends", "global",
        "golf", "gorgeousgirls", "health", "help", "helpcrdt", "homebiz", "hotbabe69", "important",
        "info", "internet", "market", "nobody", "opportunity", "platinum", "politics", "profit",
        "promotion", "psychic", "remove", "sales", "scoop", "selective.marketing", "sender", "sexy",
        "stop", "stopnow", "success", "video", "virtual", "wealth", "xxx"};
    return list;
}

const std::vector<std::string_view>& headerSuggestions() {
    static const std::vector<std::string_view> list = {
        "X-1", "X-Advertisement", "X-Authentication-Warning", "X-BulkEmail",
        "X-Distribution: Bulk", "X-Distribution: Mass", "X-Distribution: Moderate",
        "X-Mailer: Emailer Platinum", "X-Mailer: Extractor", "X-Mailer: eMarksman",
        "X-Mailer: Floodgate", "X-Mailer: Group Mail", "X-Mailer: Millennium Mailer", "X-Removal",
        "X-Sender: News Breaker"};
    return list;
}

} // namespace mv

#include "screening/EditorChoices.h"

#include "screening/Conditions.h"

#include <array>

namespace mv {

namespace {
// The labels the editors show, in the order of the condition words they store.
constexpr std::array<std::string_view, kConditionChoiceCount> kLabels = {"Contains",
                                                                         "Contains (whole word)",
                                                                         "Equals (exact match)",
                                                                         "Starts with",
                                                                         "Ends with",
                                                                         "Is blank or empty",
                                                                         "Is all UPPERCASE",
                                                                         "Is ALL numeric",
                                                                         "Is at least 1/2 numeric",
                                                                         "Starts with a number"};
static_assert(kLabels.size() == kConditionWords.size());

bool validChoice(int index) {
    return index >= 0 && index < kConditionChoiceCount;
}
} // namespace

std::string_view cellOf(const RuleRow& row, int column) {
    const auto c = static_cast<std::size_t>(column);
    return column >= 0 && c < row.size() ? std::string_view(row[c]) : std::string_view();
}

void setCell(RuleRow& row, int column, std::string_view text) {
    const auto c = static_cast<std::size_t>(column);
    if (c >= row.size()) row.resize(c + 1);
    row[c] = text;
}

std::string_view choiceLabel(int index) {
    return validChoice(index) ? kLabels[static_cast<std::size_t>(index)] : "";
}

std::string_view choiceWord(int index) {
    return validChoice(index) ? kConditionWords[static_cast<std::size_t>(index)] : "";
}

std::optional<int> conditionChoiceOf(std::string_view word, int offered) {
    const std::optional<MatchCondition> condition = conditionFromWord(word);
    if (!condition || static_cast<int>(*condition) >= offered) return std::nullopt;
    return static_cast<int>(*condition);
}

bool conditionTakesPattern(std::string_view word) {
    const std::optional<MatchCondition> condition = conditionFromWord(word);
    return condition && isTextCondition(*condition);
}

EditorRefusal noConditionRefusal() {
    return {EditorField::Condition, "Choose a condition for the rule"};
}

const std::vector<std::string_view>& subjectSuggestions() {
    static const std::vector<std::string_view> list = {
        "!!",          "$$",          "==",           "adult site", "adults only",
        "advertise",   "advertising", "bulk",         "buy",        "call 800",
        "dollar",      "exciting",    "extra income", "for only",   "free",
        "guaranteed",  "help wanted", "huge",         "income",     "incredible deal",
        "lottery",     "make money",  "market",       "million",    "MLM",
        "mlm",         "naked",       "nude",         "offer",      "opportunity",
        "please read", "profit",      "read this",    "rich",       "save $",
        "secret",      "sex",         "spam",         "specials",   "weight",
        "win $",       "women",       "work at home", "XXX"};
    return list;
}

const std::vector<std::string_view>& senderSuggestions() {
    static const std::vector<std::string_view> list = {
        "bigbucks",    "bulkemail", "business",   "cableguys", "canceranswer",
        "careers",     "cash",      "casino",     "clubmail",  "credaid",
        "credaide",    "credit",    "directmail", "dontreply", "energy",
        "erotic",      "floodgate", "fortune",    "freedom",   "freesoftware",
        "friend",      "friends",   "global",     "golf",      "gorgeousgirls",
        "health",      "help",      "helpcrdt",   "homebiz",   "hotbabe69",
        "important",   "info",      "internet",   "market",    "nobody",
        "opportunity", "platinum",  "politics",   "profit",    "promotion",
        "psychic",     "remove",    "sales",      "scoop",     "selective.marketing",
        "sender",      "sexy",      "stop",       "stopnow",   "success",
        "video",       "virtual",   "wealth",     "xxx"};
    return list;
}

const std::vector<std::string_view>& headerSuggestions() {
    static const std::vector<std::string_view> list = {"X-1",
                                                       "X-Advertisement",
                                                       "X-Authentication-Warning",
                                                       "X-BulkEmail",
                                                       "X-Distribution: Bulk",
                                                       "X-Distribution: Mass",
                                                       "X-Distribution: Moderate",
                                                       "X-Mailer: Emailer Platinum",
                                                       "X-Mailer: Extractor",
                                                       "X-Mailer: eMarksman",
                                                       "X-Mailer: Floodgate",
                                                       "X-Mailer: Group Mail",
                                                       "X-Mailer: Millennium Mailer",
                                                       "X-Removal",
                                                       "X-Sender: News Breaker"};
    return list;
}

} // namespace mv

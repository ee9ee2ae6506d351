#include "screening/SpamSettings.h"

#include "base/Files.h"
#include "screening/RuleRows.h"

namespace mv {

namespace {
// Runs one file step, turning a file failure into a message for the user.
template <class Step> void collectFileError(std::vector<std::string>& messages, Step step) {
    try {
        step();
    } catch (const FileError& e) {
        messages.emplace_back(e.what());
    }
}
} // namespace

std::string_view printTitle(TableId id) {
    switch (id) {
    case TableId::Subject:
        return "Mailvane - Subject Line Settings";
    case TableId::Header:
        return "Mailvane - Email Header Settings";
    case TableId::Sender:
        return "Mailvane - Sender Settings";
    case TableId::Exceptions:
        return "Mailvane - List of Exceptions ";
    }
    return {};
}

std::string_view columnWidthSection(TableId id) {
    switch (id) {
    case TableId::Subject:
        return "Subject";
    case TableId::Header:
        return "Headers";
    case TableId::Sender:
        return "Sender";
    case TableId::Exceptions:
        return "Exceptions";
    }
    return {};
}

std::vector<std::string> SpamSettings::show() {
    // What another program saved since is shown, so OK does not write the old tables back.
    std::vector<std::string> messages = m_rules.takeInDiskChanges();
    collectFileError(messages, [&] { m_known.load(); });
    m_rules.SetGridHeadings();
    return messages;
}

std::vector<std::string> SpamSettings::ok() {
    for (TableId id : kAllTables)
        DeleteDupsFromGrid(m_rules.table(id));
    std::vector<std::string> messages = m_rules.Savesettings();
    if (m_known.editing()) collectFileError(messages, [&] { m_known.save(); });
    return messages;
}

std::vector<std::string> SpamSettings::cancel() {
    std::vector<std::string> messages = m_rules.readSettings();
    if (m_known.editing()) collectFileError(messages, [&] { m_known.cancelEdit(); });
    return messages;
}

std::string SpamSettings::countText(TableId id) const {
    return mv::countText(m_rules.table(id));
}

void SpamSettings::resetUnknownCounter() {
    m_rules.options().unknownDomainCount = std::to_string(0);
}

} // namespace mv

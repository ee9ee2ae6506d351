#include "cli/SavedListing.h"

#include "base/Files.h"
#include "base/Text.h"

#include <sstream>

namespace mv::cli {

namespace {

constexpr std::string_view kHeading = "Mailvane listing 1";

std::filesystem::path listingFile(const HomeFolder& home, int mailbox) {
    return home.programFile("listing_" + std::to_string(mailbox) + ".txt");
}

// The text after "key " on a line that starts with it.
std::optional<std::string> valueAfter(std::string_view line, std::string_view key) {
    if (!line.starts_with(key) || line.size() <= key.size() || line[key.size()] != ' ')
        return std::nullopt;
    return std::string(line.substr(key.size() + 1));
}

} // namespace

// Format, one line each: the heading, "server S", "user U", then per message
// "message SIZE LINES UIDL" (UIDL may be empty) followed by its LINES header lines. Header lines
// hold no line breaks, so LF ends every line.
void saveListing(const HomeFolder& home, int mailbox, const SavedListing& listing) {
    std::string text =
        std::string(kHeading) + "\nserver " + listing.server + "\nuser " + listing.user + "\n";
    for (const TRemoteInfoItem& item : listing.items) {
        text += "message " + std::to_string(item.Size) + " " +
                std::to_string(item.Headers.count()) + " " + item.UIDL + "\n";
        for (const std::string& line : item.Headers.lines())
            text.append(line).append("\n");
    }
    writeFileAtomically(listingFile(home, mailbox), text, true);
}

std::optional<SavedListing> loadListing(const HomeFolder& home, int mailbox) {
    std::optional<std::string> text;
    try {
        text = readFile(listingFile(home, mailbox));
    } catch (const FileError&) {
        return std::nullopt;
    }
    if (!text) return std::nullopt;
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < text->size();) {
        std::size_t end = text->find('\n', start);
        if (end == std::string::npos) return std::nullopt; // cut short
        lines.push_back(std::string_view(*text).substr(start, end - start));
        start = end + 1;
    }
    if (lines.size() < 3 || lines[0] != kHeading) return std::nullopt;
    auto server = valueAfter(lines[1], "server");
    auto user = valueAfter(lines[2], "user");
    if (!server || !user) return std::nullopt;
    SavedListing listing{*server, *user, {}};
    for (std::size_t i = 3; i < lines.size();) {
        auto fields = valueAfter(lines[i++], "message");
        if (!fields) return std::nullopt;
        std::istringstream in(*fields);
        TRemoteInfoItem item;
        std::size_t count = 0;
        if (!(in >> item.Size >> count) || count > lines.size() - i) return std::nullopt;
        in.get(); // the blank before the unique id
        std::getline(in, item.UIDL);
        for (std::size_t k = 0; k < count; ++k)
            item.Headers.add(std::string(lines[i++]));
        listing.items.push_back(std::move(item));
    }
    return listing;
}

void forgetListing(const HomeFolder& home, int mailbox) {
    std::error_code ignored; // nothing to forget is fine
    std::filesystem::remove(listingFile(home, mailbox), ignored);
}

} // namespace mv::cli

// The listing kept between runs for `show`: what is saved comes back to the byte, and a file that
// is not a whole listing is no listing.
#include "cli/SavedListing.h"
#include "app/settings/TempHome.h"
#include "base/Files.h"
#include "base/Text.h"

#include <gtest/gtest.h>

namespace mv::cli {
namespace {

TRemoteInfoItem item(std::int64_t size, std::string uidl, std::vector<std::string> headers) {
    TRemoteInfoItem i;
    i.Size = size;
    i.UIDL = std::move(uidl);
    i.Headers = TMailHeaders(std::move(headers));
    return i;
}

TEST(SavedListing, ComesBackAsSaved) {
    test::TempHome temp;
    HomeFolder home(temp.dir());
    SavedListing saved{"pop.example.org:995", "bob smith", {}};
    saved.items.push_back(item(1234, "uid-1", {"Subject: a", "Received: x", "\tfolded; y", ""}));
    saved.items.push_back(item(-1, "", {})); // no size, no unique id, no header lines
    saved.items.push_back(item(7, "id with blank", {"Subject: caf\xE9 \x01", "message 1 1 x"}));
    saveListing(home, 3, saved);

    auto loaded = loadListing(home, 3);
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(loaded->server, saved.server);
    EXPECT_EQ(loaded->user, saved.user);
    ASSERT_EQ(loaded->items.size(), saved.items.size());
    for (std::size_t i = 0; i < saved.items.size(); ++i) {
        EXPECT_EQ(loaded->items[i].Size, saved.items[i].Size) << i;
        EXPECT_EQ(loaded->items[i].UIDL, saved.items[i].UIDL) << i;
        EXPECT_EQ(loaded->items[i].Headers.lines(), saved.items[i].Headers.lines()) << i;
    }
    EXPECT_FALSE(loadListing(home, 4).has_value()); // each mailbox has its own
    forgetListing(home, 3);
    EXPECT_FALSE(loadListing(home, 3).has_value());
}

TEST(SavedListing, AnythingButAWholeListingIsNone) {
    test::TempHome temp;
    HomeFolder home(temp.dir());
    saveListing(home, 1, {"s", "u", {item(10, "a", {"Subject: x", "From: y"})}});
    std::string whole = readFile(home.programFile("listing_1.txt")).value();
    const std::string broken[] = {
        whole.substr(0, whole.size() - 1),    // the last line cut short
        whole.substr(0, whole.rfind("From")), // a header line missing
        "Another heading\n" + whole.substr(whole.find('\n') + 1),
        replaceAll(whole, "message 10 2", "message ten 2"),
        "",
    };
    for (const std::string& text : broken) {
        writeFileAtomically(home.programFile("listing_1.txt"), text);
        EXPECT_FALSE(loadListing(home, 1).has_value()) << text;
    }
}

} // namespace
} // namespace mv::cli

// Feeds arbitrary bytes to the header look-ups, the address parser and the date parser: spammers
// write these texts, so none of them may crash, hang or read out of bounds.
#include "base/Text.h"
#include "mail/EmailAddress.h"
#include "mail/EncodedWords.h"
#include "mail/HeaderText.h"
#include "mail/MailDate.h"
#include "mail/MailHeaders.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    mv::TMailHeaders headers;
    headers.loadFromText(text);
    for (const char* name : {"Subject", "From:", "To", "Content-Type", "X-UIDL", "Date"})
        (void)headers.GetFieldValue(name);
    for (const std::string& item : headers.GetFieldValues("To")) (void)mv::SplitAddress(item);
    (void)mv::SplitAddress(text);
    (void)mv::ParseMailDate(text);
    (void)mv::DecodeHeaderText(text);
    (void)mv::GetParameter("boundary", text);
    (void)mv::ExtractWord(text, 2, true);
    (void)mv::displayText(text);
    headers.RemoveField("Received");
    headers.TruncateAtBlankLine();
    return 0;
}

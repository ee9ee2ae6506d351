// Feeds arbitrary bytes to the message decoder as a downloaded message, then encodes the result
// and decodes it again. Besides the sanitizers it checks that decoding stays within a small
// multiple of the input size.
#include "mail/MailMessage.h"
#include "mail/ViewerText.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

std::size_t decodedBytes(const mv::TCustomMailMessage& message) {
    std::size_t total = 0;
    for (const std::string& line : message.Body)
        total += line.size() + 1;
    for (const mv::TAttachmentItem& item : message.Attachments)
        total += item.Data.size();
    return total;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string raw(reinterpret_cast<const char*>(data), size);

    mv::TMailMessage message;
    message.LoadFromText(raw);
    // Lines become CR LF, and a failed message keeps a copy of its input: never more than that.
    if (decodedBytes(message) > 4 * size + 1024) std::abort();
    (void)mv::viewerText(message);

    mv::TMailMessage again;
    again.LoadFromText(message.SaveToText());
    (void)mv::viewerText(again);

    mv::TNewsArticle article;
    article.LoadFromText(raw);
    return 0;
}

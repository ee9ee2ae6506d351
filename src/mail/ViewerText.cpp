#include "mail/ViewerText.h"

#include "base/Text.h"
#include "mail/EncodedWords.h"
#include "mail/HtmlText.h"
#include "mail/MailMessage.h"

namespace mv {

namespace {

std::string joinedLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text.append(line).append("\n");
    return text;
}

// UTF-8 from the declared charset; bytes that are neither give Latin-1, so the text always shows.
std::string toUtf8(std::string_view charset, std::string_view bytes) {
    return displayText(ConvertToUtf8(charset, bytes));
}

std::string display(std::string_view charset, std::string_view bytes, bool html) {
    std::string text = toUtf8(charset, bytes);
    if (html) return htmlToText(text);
    // Line ends as the viewer wants them (CR LF and CR become LF), and no trailing empty lines.
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            out += text[i];
            continue;
        }
        out += '\n';
        if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    }
    while (!out.empty() && out.back() == '\n')
        out.pop_back();
    return out;
}

bool isHtml(std::string_view type) {
    return equalsNoCase(type, "text/html");
}

// The message's own text, without forwarded messages.
std::string bodyText(const TCustomMailMessage& message) {
    if (!message.Body.empty()) {
        std::string charset = message.BodyCharset;
        if (charset.empty() && message.CharSet == TCharSet::csISO2022jp) charset = "iso-2022-jp";
        return display(charset, joinedLines(message.Body), isHtml(message.BodyContentType));
    }
    // No text body (a base64 text part, or a text file as the whole message): the first plain
    // text attachment, else the first HTML one.
    for (const char* type : {"text/plain", "text/html"})
        for (const TAttachmentItem& item : message.Attachments)
            if (equalsNoCase(item.ContentType, type))
                return display(item.Charset, item.Data, isHtml(type));
    return {};
}

// Forwarded messages shown inside one another, at most: each is decoded for the viewer, and a
// message forwarded into itself must not take the viewer down.
constexpr int kForwardLimit = 8;

std::string textWithForwarded(const TCustomMailMessage& message, int depth);

// The heading of a forwarded message: From, Date and Subject as far as it has them.
std::string forwardedHeading(const TCustomMailMessage& forwarded) {
    std::string heading = "-------- Forwarded message --------\n";
    for (const char* field : {"From", "Date", "Subject"})
        if (std::string value = forwarded.Headers.GetFieldValue(field); !value.empty())
            heading += std::string(field) + ": " + displayText(value) + "\n";
    return heading;
}

std::string forwardedText(const TAttachmentItem& item, const PumpHook& pump, int depth) {
    TMailMessage forwarded;
    forwarded.Pump = pump;
    forwarded.LoadFromText(item.Data);
    std::string text = textWithForwarded(forwarded, depth + 1);
    return forwardedHeading(forwarded) + (text.empty() ? "" : "\n" + text);
}

// The message's own text, then each forwarded message it carries.
std::string textWithForwarded(const TCustomMailMessage& message, int depth) {
    std::string text = bodyText(message);
    if (depth >= kForwardLimit) return text;
    // The raw text of a message that could not be parsed is no forwarded message.
    std::size_t count = message.Attachments.size() - (message.ParseFailed ? 1 : 0);
    for (std::size_t i = 0; i < count; ++i) {
        const TAttachmentItem& item = message.Attachments[i];
        if (!equalsNoCase(item.ContentType, "message/rfc822")) continue;
        std::string forwarded = forwardedText(item, message.Pump, depth);
        text = text.empty() ? forwarded : text + "\n\n" + forwarded;
    }
    return text;
}

} // namespace

std::string viewerText(const TCustomMailMessage& message) {
    return textWithForwarded(message, 0);
}

std::string viewerText(std::string_view saved, const PumpHook& pump) {
    TMailMessage message;
    message.Pump = pump;
    message.LoadFromText(unstuffedMessage(saved));
    return viewerText(message);
}

} // namespace mv

#include "mail/MessageEncoder.h"

#include "base/Text.h"
#include "mail/BodyCodecs.h"
#include "mail/MailMessage.h"

#include <algorithm>
#include <ostream>
#include <random>

namespace mv {

namespace {

constexpr std::size_t kBase64Chunk = 57; // bytes per base64 line of 76 characters
constexpr std::size_t kUUChunk = 45;     // bytes per uuencoded line of 61 characters
constexpr std::size_t kLabelWidth = 10;  // header names are padded to this width
constexpr std::size_t kLongLine = 256;   // text with a line this long goes quoted-printable
constexpr std::size_t kWordBytes = 45;   // bytes per encoded word, which keeps it under 75 chars
constexpr std::size_t kPumpLines = 4096;

std::string padded(std::string label) {
    if (label.size() < kLabelWidth) label.resize(kLabelWidth, ' ');
    return label;
}

bool isPlainAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 128; });
}

bool needsQuoting(const std::vector<std::string>& lines) {
    return std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
        return std::any_of(line.begin(), line.end(), [](char c) {
            auto b = static_cast<unsigned char>(c);
            return b >= 128 || (b < 32 && c != '\t');
        });
    });
}

std::string inQuotes(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// The file name without its directory, letter case kept.
std::string baseName(std::string_view fileName) {
    std::size_t slash = fileName.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? fileName : fileName.substr(slash + 1));
}

bool startsAlternative(const TAttachmentItem& item) {
    return BaseNameLower(item.FileName).starts_with("_alt.");
}

// Encoded words of at most kWordBytes bytes each, never cutting a UTF-8 sequence.
std::string encodedWords(std::string_view charset, std::string_view text, bool utf8) {
    std::string out;
    while (!text.empty()) {
        std::size_t n = std::min(text.size(), kWordBytes);
        while (utf8 && n < text.size() && n > 1 &&
               (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
            --n;
        if (!out.empty()) out += ' ';
        out += "=?" + std::string(charset) + "?B?" + EncodeBase64Text(text.substr(0, n)) + "?=";
        text.remove_prefix(n);
    }
    return out;
}

} // namespace

std::string MakeBoundary() {
    static constexpr char kCharacters[] =
        "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    thread_local std::mt19937_64 generator = [] {
        std::random_device device;
        std::seed_seq seed{device(), device(), device(), device(), device(), device()};
        return std::mt19937_64(seed);
    }();
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kCharacters - 2);
    std::string boundary = "=_";
    for (int i = 0; i < 30; ++i)
        boundary += kCharacters[pick(generator)];
    return boundary;
}

std::string EncodeHeaderText(std::string_view text) {
    if (!text.empty() && text.front() == '\x1B')
        return "=?ISO-2022-JP?B?" + EncodeBase64Text(text) + "?=";
    if (isPlainAscii(text)) return std::string(text);
    if (isValidUtf8(text)) return encodedWords("UTF-8", text, true);
    return encodedWords("ISO-8859-1", text, false);
}

TCustomEncoder::TCustomEncoder(TCustomMailMessage& message) : m_message(message) {
    for (std::string& line : m_message.Body) {
        if (line.size() >= kLongLine) m_longLines = true;
        if (line == ".") line = "..";
    }
}

TMessageEncoder::TMessageEncoder(TMailMessage& message)
    : TCustomEncoder(message), m_mail(message) {}

TArticleEncoder::TArticleEncoder(TNewsArticle& article)
    : TCustomEncoder(article), m_article(article) {}

void TCustomEncoder::Encode(std::ostream& out) {
    m_out = &out;
    WriteHeaders();
    if (m_message.Encoding == TMsgEncoding::meUU) {
        WriteUU();
        return;
    }
    std::string type = m_message.ContentType();
    if (type == "multipart/mixed")
        WriteMultipart(false);
    else if (type == "multipart/alternative")
        WriteMultipart(true);
    else if (type == "text/html" || type == "text/rtf")
        WriteFormattedText();
    else if (m_message.Attachments.empty())
        WriteTextOnly();
    else
        WriteSingleAttachment();
}

void TCustomEncoder::WriteLine(std::string_view line) {
    // A lone "." would end the message in SMTP; doubled, it stays data.
    *m_out << (line == "." ? std::string_view("..") : line) << "\r\n";
}

std::string TCustomEncoder::HeaderText(std::string_view text) const {
    return m_message.Encoding == TMsgEncoding::meMIME ? EncodeHeaderText(text) : std::string(text);
}

std::string TCustomEncoder::DisplayName(const TEmailAddress& address) const {
    const std::string& name = address.Name;
    std::string text = HeaderText(name);
    if (text != name) return text;
    if (name.find('"') == std::string::npos && name.find('.') != std::string::npos)
        return inQuotes(name);
    return name;
}

void TCustomEncoder::WriteOtherHeaders() {
    for (const char* field :
         {"From", "To", "CC", "BCC", "Return-Receipt-To", "X-Priority", "Subject", "Mime-Version",
          "Content-Type", "X-Encoding", "Content-Transfer-Encoding", "Newsgroups"})
        m_message.Headers.RemoveField(field);
    for (const std::string& line : m_message.Headers.lines())
        WriteLine(line);
}

void TMessageEncoder::WriteHeaders() {
    const TEmailAddress& sender = m_mail.Sender;
    WriteLine(padded("From:") + DisplayName(sender) + " <" + sender.Address + ">");
    WriteAddressList("To", m_mail.Recipients);
    WriteAddressList("CC", m_mail.CC);
    if (m_mail.ReturnReceipt) WriteLine("Return-Receipt-To: <" + sender.Address + ">");
    if (m_mail.Priority == TPriority::ptLow) WriteLine("X-Priority: 5");
    if (m_mail.Priority == TPriority::ptHigh) WriteLine("X-Priority: 1");
    WriteOtherHeaders();
    if (!m_mail.Subject.empty()) WriteLine("Subject: " + HeaderText(m_mail.Subject));
    if (m_mail.Encoding == TMsgEncoding::meMIME) WriteLine("Mime-Version: 1.0");
}

void TMessageEncoder::WriteAddressList(std::string_view name,
                                       const std::vector<TEmailAddress>& list) {
    std::string label(name);
    if (!label.ends_with(':')) label += ':';
    label = padded(label);
    for (std::size_t i = 0; i < list.size(); ++i) {
        std::string prefix = i == 0 ? label : std::string(kLabelWidth, ' ');
        WriteLine(prefix + DisplayName(list[i]) + " <" + list[i].Address +
                  (i + 1 < list.size() ? ">," : ">"));
    }
}

void TArticleEncoder::WriteHeaders() {
    const TEmailAddress& sender = m_article.Sender;
    WriteLine(padded("From:") + DisplayName(sender) + " <" + sender.Address + ">");
    WriteLine("Newsgroups: " + m_article.NewsGroups);
    WriteOtherHeaders();
    if (!m_article.Subject.empty()) WriteLine("Subject:  " + HeaderText(m_article.Subject));
    if (m_article.Encoding == TMsgEncoding::meMIME) WriteLine("Mime-Version: 1.0");
}

std::string TCustomEncoder::BodyText() const {
    std::string text;
    for (const std::string& line : m_message.Body)
        text.append(line).append("\r\n");
    return text;
}

std::vector<std::string> TCustomEncoder::PrepareText() const {
    if (m_message.CharSet == TCharSet::csISO8859 || m_longLines || needsQuoting(m_message.Body))
        return EncodeQuotedPrintable(BodyText());
    return m_message.Body;
}

void TCustomEncoder::WriteTextPartHeaders() {
    std::string charset = m_message.BodyCharset;
    if (charset.empty())
        charset = m_message.CharSet == TCharSet::csISO8859     ? "iso-8859-1"
                  : m_message.CharSet == TCharSet::csISO2022jp ? "iso-2022-jp"
                                                               : "us-ascii";
    const std::string& type = m_message.BodyContentType;
    WriteLine("Content-Type: " + (type.starts_with("text/") ? type : std::string("text/plain")) +
              "; charset=" + inQuotes(charset));
    bool quotedPrintable =
        m_message.CharSet == TCharSet::csISO8859 || m_longLines || needsQuoting(m_message.Body);
    WriteLine(quotedPrintable ? "Content-Transfer-Encoding: quoted-printable"
                              : "Content-Transfer-Encoding: 7bit");
}

void TCustomEncoder::WriteTextOnly() {
    WriteTextPartHeaders();
    WriteLine("");
    for (const std::string& line : PrepareText())
        WriteLine(line);
}

void TCustomEncoder::WriteSingleAttachment() {
    const auto& items = m_message.Attachments;
    const TAttachmentItem& item = items.front();
    std::string lower = BaseNameLower(item.FileName);
    bool html = items.size() == 1 && lower == "_htmbody.htm";
    bool rtf = items.size() == 1 && lower == "_rtfbody.rtf";
    if (html || rtf)
        WriteLine(html ? "Content-Type: text/html" : "Content-Type: text/rtf");
    else
        WriteLine("Content-Type: " + item.ContentType + "; name=" + inQuotes(item.FileName));
    WriteLine(std::string("Content-Transfer-Encoding: ") +
              AttachmentEncodingNames[static_cast<int>(item.Encoding)]);
    if (!html && !rtf)
        WriteLine("Content-Disposition: attachment; filename=" + inQuotes(item.FileName));
    WriteLine("");
    WriteAttachmentData(item);
}

void TCustomEncoder::WriteFormattedText() {
    bool html = m_message.ContentType() == "text/html";
    std::string line = html ? "Content-Type: text/html" : "Content-Type: text/rtf";
    if (!m_message.BodyCharset.empty())
        line += "; charset=" + inQuotes(m_message.BodyCharset);
    else if (m_message.CharSet != TCharSet::csUSASCII)
        line += "; charset=\"iso-8859-1\"";
    WriteLine(line);
    WriteLine("Content-Transfer-Encoding: quoted-printable");
    WriteLine("");
    // HTML or RTF kept as the single _htmbody.htm / _rtfbody.rtf attachment is the text itself.
    const auto& items = m_message.Attachments;
    std::string text = m_message.Body.empty() && items.size() == 1 ? items[0].Data : BodyText();
    for (const std::string& l : EncodeQuotedPrintable(text))
        WriteLine(l);
}

void TCustomEncoder::WriteMultipart(bool alternativeOnly) {
    const auto& items = m_message.Attachments;
    bool bodyless = !items.empty() && m_message.Body.empty();
    bool html = bodyless && BaseNameLower(items[0].FileName) == "_htmbody.htm";
    bool rtf = bodyless && BaseNameLower(items[0].FileName) == "_rtfbody.rtf";

    std::string boundary = MakeBoundary();
    WriteLine("Content-Type: " + m_message.ContentType() + "; boundary=" + inQuotes(boundary));
    WriteLine("");
    WriteLine("This is a multipart message in MIME format");
    WriteLine("");
    WriteLine("--" + boundary);

    // Alternatives that come first in a mixed message go into a multipart/alternative of their own.
    bool nested = !items.empty() && startsAlternative(items[0]);
    bool inner = nested && !alternativeOnly;
    std::string outer;
    if (inner) {
        outer = boundary;
        boundary = MakeBoundary();
        WriteLine("Content-Type:  multipart/alternative; boundary=" + inQuotes(boundary));
        WriteLine("Content-Transfer-Encoding: 7bit");
        WriteLine("");
        WriteLine("--" + boundary);
    }
    if (!m_message.Body.empty()) {
        WriteTextPartHeaders();
        WriteLine("");
        for (const std::string& line : PrepareText())
            WriteLine(line);
        WriteLine("");
        WriteLine("--" + boundary);
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
        const TAttachmentItem& item = items[i];
        if (i > 0) {
            // The empty line after the previous part's data ends it; one is enough.
            WriteLine("--" + boundary);
            html = rtf = false;
        }
        bool bare = alternativeOnly || nested || html || rtf;
        WriteLine("Content-Type: " + item.ContentType +
                  (bare ? std::string() : "; name=" + inQuotes(item.FileName)));
        WriteLine(std::string("Content-Transfer-Encoding: ") +
                  AttachmentEncodingNames[static_cast<int>(item.Encoding)]);
        if (!bare)
            WriteLine("Content-Disposition: attachment; filename=" + inQuotes(item.FileName));
        WriteLine("");
        WriteAttachmentData(item);
        WriteLine("");
        if (i + 1 == items.size()) {
            WriteLine("--" + boundary + "--");
            if (inner) {
                WriteLine("");
                WriteLine("--" + outer + "--");
            }
        } else if (inner && !startsAlternative(items[i + 1])) {
            WriteLine("--" + boundary + "--");
            boundary = outer;
            inner = nested = false;
        }
    }
}

void TCustomEncoder::WriteAttachmentData(const TAttachmentItem& item) {
    std::string_view data = item.Data;
    switch (item.Encoding) {
    case TransferEncoding::Base64:
        for (std::size_t pos = 0, lines = 0;; pos += kBase64Chunk) {
            std::string_view chunk = data.substr(std::min(pos, data.size()), kBase64Chunk);
            WriteLine(EncodeBase64Text(chunk));
            if (chunk.size() < kBase64Chunk) break;
            if (++lines % kPumpLines == 0 && m_message.Pump) m_message.Pump();
        }
        break;
    case TransferEncoding::QuotedPrintable:
        for (const std::string& line : EncodeQuotedPrintable(data))
            WriteLine(line);
        break;
    case TransferEncoding::SevenBit:
        for (const std::string& line : splitLines(data))
            WriteLine(line);
        break;
    }
}

void TCustomEncoder::WriteUU() {
    WriteLine("");
    for (const std::string& line : m_message.Body)
        WriteLine(line);
    for (const TAttachmentItem& item : m_message.Attachments) {
        std::string name = baseName(item.FileName);
        WriteLine("");
        WriteLine("begin 600 " + (name.find(' ') == std::string::npos ? name : inQuotes(name)));
        std::string_view data = item.Data;
        for (std::size_t pos = 0;; pos += kUUChunk) {
            std::string_view chunk = data.substr(std::min(pos, data.size()), kUUChunk);
            WriteLine(EncodeUULine(chunk));
            if (chunk.size() < kUUChunk) break;
        }
        WriteLine("`");
        WriteLine("end");
    }
}

} // namespace mv

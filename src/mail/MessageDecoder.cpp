#include "mail/MessageDecoder.h"

#include "base/Text.h"
#include "mail/EncodedWords.h"
#include "mail/HeaderText.h"
#include "mail/MailErrors.h"
#include "mail/MailMessage.h"

#include <algorithm>

namespace mv {

namespace {

constexpr std::size_t kPumpInterval = 256 * 1024; // bytes of input between two pump calls
constexpr std::string_view kUnknownType = "application/octet-stream";
constexpr std::string_view kForwardedType = "message/rfc822";

bool contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

bool isTokenCharacter(char c) {
    auto code = static_cast<unsigned char>(c);
    return code > 32 && code < 127 &&
           std::string_view("()<>@,;:\\\"/[]?=").find(c) == std::string_view::npos;
}

bool isToken(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), isTokenCharacter);
}

// A type and a subtype, each a token, around one slash.
bool isReadableMimeType(std::string_view type) {
    std::size_t slash = type.find('/');
    return slash != std::string_view::npos && isToken(type.substr(0, slash)) &&
           isToken(type.substr(slash + 1));
}

// Only the type itself counts, never its parameters: a part named "multipart-guide.pdf" is a
// file. A multipart without a subtype is still a multipart.
bool isMultipart(std::string_view contentType) {
    std::string type = lowerAscii(GetMimeType(contentType));
    return type == "multipart" || type.starts_with("multipart/");
}

// What a Content-Type value counts as: a type that cannot be read is plain US-ASCII text. A
// multipart without a subtype is still read by its boundary.
std::string readableContentType(std::string value) {
    if (value.empty() || isReadableMimeType(GetMimeType(value)) || isMultipart(value)) return value;
    return "text/plain; charset=us-ascii";
}

std::string contentTypeOf(const TMailHeaders& headers) {
    return readableContentType(headers.GetFieldValue("Content-Type"));
}

// The MIME type of a Content-Type value, cut as the attachment's fields are.
std::string shortMimeType(std::string_view contentType) {
    return cutShort(GetMimeType(contentType));
}

// The file name a Content-Disposition gives. Read from the whole value, since a name split into
// extended sections runs past any cut; encoded words in it are decoded as in other fields.
std::string dispositionFileName(const TMailHeaders& headers) {
    return DecodeHeaderText(
        GetParameter("filename", headers.GetWholeFieldValue("Content-Disposition")));
}

// Whether the body is read by its Content-Type. A message without MIME-Version is too when it has
// a Content-Type: old mailers and list software leave the version out, and every reader decodes
// such mail by its type (RFC 2045 section 4 leaves this to local convention). A version other than
// 1.0 is a format this reader does not know, so its text stays as it stands.
bool isMime(const TMailHeaders& headers) {
    std::string version = headers.GetFieldValue("MIME-Version");
    if (!version.empty()) return contains(version, "1.0");
    return !headers.GetFieldValue("Content-Type").empty();
}

} // namespace

TCustomDecoder::TCustomDecoder(std::string text, TCustomMailMessage& message)
    : m_reader(std::move(text)), m_message(message) {}

TMessageDecoder::TMessageDecoder(std::string text, TMailMessage& message)
    : TCustomDecoder(std::move(text), message), m_target(message) {}

void TMessageDecoder::HandOverHeaders() {
    m_target.ProcessHeaders(m_messageHeaders);
}

TArticleDecoder::TArticleDecoder(std::string text, TNewsArticle& article)
    : TCustomDecoder(std::move(text), article), m_target(article) {}

void TArticleDecoder::HandOverHeaders() {
    m_target.ProcessHeaders(m_messageHeaders);
}

void TCustomDecoder::Decode() {
    readHeaderBlock(m_messageHeaders);
    HandOverHeaders();
    try {
        if (isMime(m_messageHeaders))
            decodeMime();
        else
            decodePlain();
    } catch (const EMessageParserError& e) {
        storeFailedMessage(e.what());
    }
    m_message.Body.shrink_to_fit(); // the line list was sized for everything left to read
}

bool TCustomDecoder::readLine(std::string_view& line) {
    return m_reader.ReadLine(line);
}

void TCustomDecoder::readHeaderBlock(TMailHeaders& headers) {
    headers.clear();
    std::string_view line;
    while (readLine(line) && !line.empty())
        headers.add(std::string(line));
}

void TCustomDecoder::skipToEnd() {
    std::string_view line;
    while (readLine(line)) {
    }
}

std::string TCustomDecoder::count() const {
    return std::to_string(m_message.Attachments.size());
}

void TCustomDecoder::pumpAfter(std::size_t bytes) {
    m_sincePump += bytes;
    if (m_sincePump < kPumpInterval) return;
    m_sincePump = 0;
    if (m_message.Pump) m_message.Pump();
}

void TCustomDecoder::decodeMime() {
    // This mailer writes a Content-Type that does not describe its bodies.
    if (m_messageHeaders.GetFieldValue("X-Mailer") == "V Mailsystem R #0001")
        m_messageHeaders.RemoveField("Content-Type");
    std::string contentType = contentTypeOf(m_messageHeaders);
    std::string lower = lowerAscii(contentType);
    if (isMultipart(contentType)) {
        decodeMultipart();
    } else if (!contentType.empty() && !contains(lower, "text/")) {
        decodeSinglePart();
    } else if (std::string name = GetParameter("name", contentType);
               !name.empty() && name != "cc:Mail") {
        decodeSinglePart();
    } else {
        decodeTextPart();
    }
}

void TCustomDecoder::decodeTextPart() {
    std::string contentType = contentTypeOf(m_messageHeaders);
    std::string mimeType = lowerAscii(GetMimeType(contentType));
    if (mimeType == "text/html" || mimeType == "text/rtf") m_message.SetContentType(mimeType);
    std::string charset = lowerAscii(cutShort(GetParameter("CharSet", contentType)));
    std::string transfer = lowerAscii(m_messageHeaders.GetFieldValue("Content-Transfer-Encoding"));
    auto& body = m_message.Body;
    body.clear();
    bool quoted =
        transfer == "quoted-printable" ||
        contains(m_messageHeaders.GetFieldValue("X-MIME-Autoconverted"), "quoted-printable");
    bool base64 = transfer == "base64";
    if (charset == "iso-2022-jp") m_message.CharSet = TCharSet::csISO2022jp;
    if (quoted) m_message.CharSet = TCharSet::csISO8859;
    noteTextPart(m_messageHeaders);

    std::string_view line;
    bool uuencoded = false;
    if (!base64) {
        body.reserve(m_reader.LinesLeft());
        while (!uuencoded && readLine(line)) {
            body.emplace_back(line);
            uuencoded = IsUUBegin(line);
            pumpAfter(line.size());
        }
    }
    if (uuencoded) {
        // Text with uuencoded blocks that calls itself MIME: read the body again as plain text.
        // The headers were handed over already; handing them over again would add every
        // recipient twice.
        m_reader.Reset();
        body.clear();
        readHeaderBlock(m_messageHeaders);
        decodePlain();
    } else if (quoted) {
        decodeQuotedBody();
    } else if (base64) {
        std::string bytes;
        Base64Decoder decoder(bytes);
        while (readLine(line)) {
            if (!line.empty() && line != ".") decoder.addLine(line);
            pumpAfter(line.size());
        }
        setBodyText(bytes);
    }
}

void TCustomDecoder::decodeSinglePart() {
    // Parameters are read from the whole value: extended sections may lie past any cut.
    std::string contentType = contentTypeOf(m_messageHeaders);
    if (contentType.empty()) throw EMessageParserError("Missing required field: Content-Type");
    TAttachmentItem item;
    item.SetFileName(GetParameter("name", contentType));
    item.ContentType = shortMimeType(contentType);
    PartEncoding encoding =
        partEncoding(m_messageHeaders.GetFieldValue("Content-Transfer-Encoding"));
    if (item.FileName.empty()) {
        item.SetFileName(dispositionFileName(m_messageHeaders));
        if (item.FileName.empty()) item.SetFileName("att." + count());
        item.ContentType = shortMimeType(contentType);
    }
    item.Encoding = encoding.encoding;
    item.Charset = cutShort(trim(GetParameter("charset", contentType)));
    readAttachment(item, encoding, false, true);
    m_message.Attachments.push_back(std::move(item));
}

void TCustomDecoder::decodeMultipart() {
    enterMultipart(contentTypeOf(m_messageHeaders));
    decodeFirstPart();
    decodeOtherParts();
}

void TCustomDecoder::enterMultipart(std::string_view contentType) {
    m_multiparts.push_back({"--" + GetParameter("boundary", contentType),
                            equalsNoCase(GetMimeType(contentType), "multipart/alternative")});
    skipToDelimiter("Cannot find boundary");
}

bool TCustomDecoder::insideAlternative() const {
    return std::any_of(m_multiparts.begin(), m_multiparts.end(),
                       [](const Multipart& m) { return m.alternative; });
}

void TCustomDecoder::decodeFirstPart() {
    readHeaderBlock(m_partHeaders);
    // A multipart in first place, of any kind and depth: the body is its own first part.
    while (isMultipart(contentTypeOf(m_partHeaders))) {
        enterMultipart(contentTypeOf(m_partHeaders));
        readHeaderBlock(m_partHeaders);
    }
    std::string contentType = contentTypeOf(m_partHeaders);
    if (lowerAscii(cutShort(GetParameter("CharSet", contentType))) == "iso-2022-jp")
        m_message.CharSet = TCharSet::csISO2022jp;
    std::string transfer = lowerAscii(m_partHeaders.GetFieldValue("Content-Transfer-Encoding"));
    bool base64 = transfer == "base64";
    // A base64 first part is left to the attachment loop, unless it is Japanese text; so is a
    // forwarded message, which is no text of this one.
    m_firstPartLeft = (base64 && m_message.CharSet != TCharSet::csISO2022jp) ||
                      equalsNoCase(GetMimeType(contentType), kForwardedType);
    if (m_firstPartLeft) return;
    auto& body = m_message.Body;
    body.clear();
    if (transfer == "quoted-printable") m_message.CharSet = TCharSet::csISO8859;
    noteTextPart(m_partHeaders);

    PartEnd end;
    if (!base64) {
        end = readBodyLines();
        if (body.empty()) body.emplace_back();
        if (transfer == "quoted-printable") decodeQuotedBody();
    } else {
        TAttachmentItem text;
        end = readPartBody(text, PartEncoding{TransferEncoding::Base64, false}, true, false);
        setBodyText(text.Data);
    }
    if (end == PartEnd::End) throw EMessageParserError("Cannot find boundary");
    if (end != PartEnd::Closing) return;
    if (m_multiparts.size() > 1) {
        if (!leaveMultipart()) skipToEnd();
        return;
    }
    // The message had only this one part.
    m_message.SetContentType(GetMimeType(contentType));
    skipToEnd();
}

void TCustomDecoder::decodeOtherParts() {
    if (m_reader.Eof()) return;
    auto& message = m_message;
    for (;;) {
        if (message.Pump) message.Pump();
        if (!m_firstPartLeft) {
            readHeaderBlock(m_partHeaders);
            if (m_reader.Eof() && m_partHeaders.empty()) return; // a delimiter ended the input
        }
        m_firstPartLeft = false;
        if (isMultipart(contentTypeOf(m_partHeaders))) {
            enterMultipart(contentTypeOf(m_partHeaders));
            continue;
        }
        TAttachmentItem item;
        // Parameters are read from the whole value: extended sections may lie past any cut.
        std::string contentType = contentTypeOf(m_partHeaders);
        if (contentType.empty()) contentType = "text/plain";
        std::string declared = shortMimeType(contentType);
        item.ContentType = declared;
        item.SetFileName(GetParameter("name", contentType));
        PartEncoding encoding =
            partEncoding(m_partHeaders.GetFieldValue("Content-Transfer-Encoding"));
        if (item.FileName.empty()) {
            item.SetFileName(dispositionFileName(m_partHeaders));
            if (item.FileName.empty()) {
                item.SetFileName((insideAlternative() ? "_alt." : "att.") + count());
                if (!declared.empty()) item.ContentType = declared;
            }
        }
        // A name whose extension has no registered type says less than the declared type.
        if (item.ContentType == kUnknownType && !declared.empty()) item.ContentType = declared;
        item.Encoding = encoding.encoding;
        item.Charset = cutShort(trim(GetParameter("charset", contentType)));
        PartEnd end = readAttachment(item, encoding, true, false);
        message.Attachments.push_back(std::move(item));
        if (end == PartEnd::Delimiter) continue;
        if (m_multiparts.size() == 1 || !leaveMultipart()) return;
    }
}

bool TCustomDecoder::leaveMultipart() {
    m_multiparts.pop_back();
    std::string_view line;
    while (!m_multiparts.empty()) {
        if (!readLine(line)) throw EMessageParserError("Cannot find closing boundary");
        PartEnd end = partEnd(line);
        if (end == PartEnd::Delimiter) return true;
        if (end == PartEnd::Closing) m_multiparts.pop_back();
    }
    return false;
}

void TCustomDecoder::skipToDelimiter(const char* error) {
    std::string_view line;
    while (readLine(line))
        if (classify(line) == PartEnd::Delimiter) return;
    throw EMessageParserError(error);
}

TCustomDecoder::PartEnd TCustomDecoder::delimiterKind(std::string_view line,
                                                      std::string_view delimiter) {
    if (!line.starts_with(delimiter)) return PartEnd::None;
    std::string_view rest = line.substr(delimiter.size());
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t'))
        rest.remove_suffix(1);
    if (rest.empty()) return PartEnd::Delimiter;
    if (rest == "--") return PartEnd::Closing;
    return PartEnd::None;
}

TCustomDecoder::PartEnd TCustomDecoder::classify(std::string_view line) const {
    return m_multiparts.empty() ? PartEnd::None
                                : delimiterKind(line, m_multiparts.back().delimiter);
}

TCustomDecoder::PartEnd TCustomDecoder::partEnd(std::string_view line) {
    for (std::size_t level = m_multiparts.size(); level-- > 0;) {
        PartEnd end = delimiterKind(line, m_multiparts[level].delimiter);
        if (end == PartEnd::None) continue;
        m_multiparts.resize(level + 1); // the multiparts inside it that never closed
        return end;
    }
    return PartEnd::None;
}

TCustomDecoder::PartEnd TCustomDecoder::readBodyLines() {
    auto& body = m_message.Body;
    body.reserve(body.size() + m_reader.LinesLeft());
    std::string_view line;
    while (readLine(line)) {
        if (PartEnd end = partEnd(line); end != PartEnd::None) {
            // The line break before a delimiter belongs to the delimiter.
            if (!body.empty() && body.back().empty()) body.pop_back();
            return end;
        }
        body.emplace_back(line);
        pumpAfter(line.size());
    }
    return PartEnd::End;
}

void TCustomDecoder::setBodyText(std::string_view text) {
    m_message.Body = splitLines(text);
}

void TCustomDecoder::decodeQuotedBody() {
    std::size_t size = 0;
    for (const std::string& line : m_message.Body)
        size += line.size() + 2;
    std::string text;
    text.reserve(size);
    for (const std::string& line : m_message.Body)
        DecodeQuotedPrintableLine(line, text);
    setBodyText(text);
}

void TCustomDecoder::noteTextPart(const TMailHeaders& headers) {
    std::string contentType = contentTypeOf(headers);
    m_message.BodyCharset = cutShort(trim(GetParameter("charset", contentType)));
    std::string mimeType = lowerAscii(GetMimeType(contentType));
    m_message.BodyContentType = mimeType.empty() ? "text/plain" : cutShort(mimeType);
}

TCustomDecoder::PartEncoding TCustomDecoder::partEncoding(std::string_view transferEncoding) {
    std::string value = lowerAscii(cutShort(transferEncoding));
    if (value == "base64") return {TransferEncoding::Base64, false};
    if (value.starts_with("x-uue")) return {TransferEncoding::Base64, true};
    if (value == "quoted-printable") return {TransferEncoding::QuotedPrintable, false};
    return {};
}

TCustomDecoder::PartEnd TCustomDecoder::readAttachment(TAttachmentItem& item, PartEncoding encoding,
                                                       bool delimited, bool stopAtDot) {
    try {
        return readPartBody(item, encoding, delimited, stopAtDot);
    } catch (const EMessageParserError&) {
        throw;
    } catch (const std::exception&) {
        throw EMessageParserError("Error decoding the attachment");
    }
}

TCustomDecoder::PartEnd TCustomDecoder::readPartBody(TAttachmentItem& item, PartEncoding encoding,
                                                     bool delimited, bool stopAtDot) {
    std::string& data = item.Data;
    Base64Decoder base64(data);
    std::size_t lastLineStart = 0; // where the bytes of the last line read begin in `data`
    std::string_view line;
    while (readLine(line)) {
        pumpAfter(line.size());
        if (PartEnd end = delimited ? partEnd(line) : PartEnd::None; end != PartEnd::None) {
            // The line break before a delimiter belongs to the delimiter.
            if (encoding.encoding != TransferEncoding::Base64 && data.size() - lastLineStart == 2)
                data.resize(lastLineStart);
            return end;
        }
        lastLineStart = data.size();
        switch (encoding.encoding) {
        case TransferEncoding::Base64:
            // A lone "." is the end line of a stored POP3 download, never base64.
            if (line == ".") {
                if (stopAtDot) return PartEnd::End;
                continue;
            }
            if (line.empty()) continue;
            if (!encoding.uuencode)
                base64.addLine(line);
            else if (!IsUUBegin(line) && line != "`" && line != "end")
                DecodeUULine(line, data);
            break;
        case TransferEncoding::QuotedPrintable:
            DecodeQuotedPrintableLine(line, data);
            break;
        case TransferEncoding::SevenBit:
            data.append(line);
            data.append("\r\n");
            break;
        }
    }
    return PartEnd::End;
}

void TCustomDecoder::decodePlain() {
    m_message.Body.reserve(m_message.Body.size() + m_reader.LinesLeft());
    std::string_view line;
    while (readLine(line)) {
        if (IsUUBegin(line)) {
            decodeUUBlock(line);
            m_message.Encoding = TMsgEncoding::meUU;
        } else {
            m_message.Body.emplace_back(line);
            pumpAfter(line.size());
        }
    }
}

void TCustomDecoder::decodeUUBlock(std::string_view beginLine) {
    TAttachmentItem item;
    try {
        item.SetFileName(UUFileName(beginLine));
        if (item.FileName.empty()) item.SetFileName("att." + count());
        std::string_view line;
        while (readLine(line) && line != "`" && !equalsNoCase(line, "END")) {
            if (!line.empty()) DecodeUULine(line, item.Data);
            pumpAfter(line.size());
        }
        // The block ends with a grave accent line and an "end" line; what follows is text again.
        if (line == "`" && readLine(line) && !equalsNoCase(line, "end")) m_reader.UnreadLine();
    } catch (const std::exception&) {
        throw EMessageParserError("Error decoding the attachment");
    }
    m_message.Attachments.push_back(std::move(item));
}

void TCustomDecoder::storeFailedMessage(std::string_view error) {
    auto& body = m_message.Body;
    body.emplace_back("The following error has been occured while processing the message:");
    body.emplace_back(error);
    body.emplace_back("The original message will be stored as an attachment");
    try {
        TAttachmentItem item;
        item.SetFileName("original.eml");
        item.Encoding = TransferEncoding::SevenBit;
        item.ContentType = "message/rfc822";
        item.Data = m_reader.Text();
        m_message.Attachments.push_back(std::move(item));
        m_message.ParseFailed = true;
    } catch (const std::exception&) {
        // Without memory for the copy the message still shows the error text.
    }
}

} // namespace mv

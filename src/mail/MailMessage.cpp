#include "mail/MailMessage.h"

#include "base/Files.h"
#include "base/Text.h"
#include "mail/MailErrors.h"
#include "mail/MessageDecoder.h"
#include "mail/MessageEncoder.h"

#include <algorithm>
#include <istream>
#include <iterator>
#include <ostream>
#include <sstream>

namespace mv {

namespace {

bool allAlternatives(const TAttachmentList& items) {
    return std::all_of(items.begin(), items.end(), [](const TAttachmentItem& item) {
        return BaseNameLower(item.FileName).starts_with("_alt.");
    });
}

void appendAddresses(TEmailAddressList& list, const std::vector<std::string>& values) {
    for (const std::string& value : values) {
        TEmailAddress address;
        ParseAddress(value, address);
        list.push_back(std::move(address));
    }
}

bool anyAddress(const TEmailAddressList& list) {
    return std::any_of(list.begin(), list.end(),
                       [](const TEmailAddress& a) { return !a.Address.empty(); });
}

} // namespace

std::string unstuffedMessage(std::string_view saved) {
    std::string message;
    message.reserve(saved.size());
    for (std::size_t start = 0; start < saved.size();) {
        std::size_t end = std::min(saved.find('\n', start), saved.size() - 1) + 1;
        std::string_view line = saved.substr(start, end - start);
        bool last = end == saved.size();
        if (last && line.substr(0, line.find_first_of("\r\n")) == ".") break;
        if (line.starts_with('.')) line.remove_prefix(1);
        message += line;
        start = end;
    }
    return message;
}

std::string BaseNameLower(std::string_view fileName) {
    std::size_t slash = fileName.find_last_of("/\\");
    if (slash != std::string_view::npos) fileName.remove_prefix(slash + 1);
    return lowerAscii(fileName);
}

std::string TCustomMailMessage::ContentType() {
    m_contentType = computedContentType();
    return m_contentType;
}

std::string TCustomMailMessage::computedContentType() const {
    if (Encoding == TMsgEncoding::meUU) return {};
    if (!Attachments.empty() && allAlternatives(Attachments)) return "multipart/alternative";
    if (Attachments.size() == 1 && Body.empty()) {
        std::string name = BaseNameLower(Attachments[0].FileName);
        if (name == "_rtfbody.rtf") return "text/rtf";
        if (name == "_htmbody.htm") return "text/html";
        return Attachments[0].ContentType;
    }
    if (Body.empty()) return Attachments.empty() ? "text/plain" : "multipart/mixed";
    if (!Attachments.empty()) return "multipart/mixed";
    return m_contentType.empty() ? "text/plain" : m_contentType;
}

void TCustomMailMessage::SetContentType(std::string_view type) {
    m_contentType = cutShort(lowerAscii(type));
}

void TCustomMailMessage::SetAttachments(const TAttachmentList& items) {
    Attachments = items;
    m_contentType = Attachments.empty() ? "text/plain" : "multipart/mixed";
}

std::string TCustomMailMessage::SaveToText() {
    std::ostringstream out;
    SaveToStream(out);
    return std::move(out).str();
}

void TCustomMailMessage::LoadFromStream(std::istream& in) {
    LoadFromText(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
}

void TCustomMailMessage::LoadFromFile(const std::filesystem::path& path) {
    Clear();
    std::optional<std::string> text = readFile(path);
    if (!text) throw FileError("Cannot open file \"" + path.string() + "\"");
    LoadFromText(unstuffedMessage(*text));
}

void TCustomMailMessage::Clear() {
    Body.clear();
    Attachments.clear();
    Sender.Clear();
    Headers.clear();
    Subject.clear();
    Encoding = TMsgEncoding::meMIME;
    CharSet = TCharSet::csUSASCII;
    BodyCharset.clear();
    BodyContentType.clear();
    ParseFailed = false;
    m_contentType.clear();
}

void TCustomMailMessage::Assign(const TCustomMailMessage& source) {
    Sender = source.Sender;
    Subject = source.Subject;
    Encoding = source.Encoding;
    CharSet = source.CharSet;
    Headers = source.Headers;
    Body = source.Body;
    BodyCharset = source.BodyCharset;
    BodyContentType = source.BodyContentType;
    ParseFailed = source.ParseFailed;
    Attachments = source.Attachments;
    m_contentType = source.computedContentType();
}

void TMailMessage::Validate() const {
    if (Sender.Address.empty()) throw EMessageError("The address of sender is required");
    if (!anyAddress(Recipients) && !anyAddress(CC) && !anyAddress(BCC))
        throw EMessageError("At least one Recipient, CC or BCC must be entered");
}

void TMailMessage::SaveToStream(std::ostream& out) {
    TMessageEncoder(*this).Encode(out);
}

void TMailMessage::LoadFromText(std::string text) {
    TMessageDecoder(std::move(text), *this).Decode();
}

void TMailMessage::Clear() {
    TCustomMailMessage::Clear();
    CC.clear();
    BCC.clear();
    Recipients.clear();
}

void TMailMessage::ProcessHeaders(const TMailHeaders& headers) {
    ParseAddress(headers.GetFieldValue("FROM"), Sender);
    appendAddresses(Recipients, headers.GetFieldValues("TO"));
    appendAddresses(CC, headers.GetFieldValues("CC"));
    appendAddresses(BCC, headers.GetFieldValues("BCC"));
    if (std::string subject = headers.GetFieldValue("Subject"); !subject.empty())
        Subject = cutShort(subject);
    std::string priority = headers.GetFieldValue("X-Priority");
    Priority = priority == "1"   ? TPriority::ptHigh
               : priority == "5" ? TPriority::ptLow
                                 : TPriority::ptNormal;
    if (!headers.GetFieldValue("Return-receipt-to").empty()) ReturnReceipt = true;
    Headers = headers;
}

void TMailMessage::Assign(const TCustomMailMessage& source) {
    if (auto* mail = dynamic_cast<const TMailMessage*>(&source)) {
        Recipients = mail->Recipients;
        CC = mail->CC;
        BCC = mail->BCC;
        Priority = mail->Priority;
        ReturnReceipt = mail->ReturnReceipt;
    }
    TCustomMailMessage::Assign(source);
}

void TNewsArticle::Validate() const {
    if (Sender.Address.empty()) throw EMessageError("The address of sender is required");
    if (NewsGroups.empty()) throw EMessageError("Newsgroup header is required");
    if (Subject.empty()) throw EMessageError("Subject header is required");
}

void TNewsArticle::SaveToStream(std::ostream& out) {
    TArticleEncoder(*this).Encode(out);
}

void TNewsArticle::LoadFromText(std::string text) {
    TArticleDecoder(std::move(text), *this).Decode();
}

void TNewsArticle::Clear() {
    NewsGroups.clear();
    TCustomMailMessage::Clear();
}

void TNewsArticle::ProcessHeaders(const TMailHeaders& headers) {
    ParseAddress(headers.GetFieldValue("FROM"), Sender);
    Path = headers.GetFieldValue("PATH");
    NewsGroups = headers.GetFieldValue("NEWSGROUPS");
    MessageID = headers.GetFieldValue("MESSAGE-ID");
    if (std::string subject = headers.GetFieldValue("Subject"); !subject.empty())
        Subject = cutShort(subject);
    Headers = headers;
}

void TNewsArticle::Assign(const TCustomMailMessage& source) {
    if (auto* article = dynamic_cast<const TNewsArticle*>(&source))
        NewsGroups = article->NewsGroups;
    TCustomMailMessage::Assign(source);
}

} // namespace mv

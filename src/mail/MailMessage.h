#pragma once
// Message objects: one e-mail message or news article as structured data (sender, recipients,
// subject, priority, header lines, body text, attachments), filled by the decoder from a raw
// message and written back by the encoder. A message lives as long as its owner keeps it; loading
// another message into it replaces its content.
#include "mail/Attachment.h"
#include "mail/BodyCodecs.h"
#include "mail/EmailAddress.h"
#include "mail/MailHeaders.h"

#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

enum class TMsgEncoding { meMIME, meUU };
enum class TCharSet { csUSASCII, csISO8859, csISO2022jp };
enum class TPriority { ptLow, ptNormal, ptHigh };

// The fields every message has, and loading and saving through the decoder and encoder. Owns
// its header lines, body and attachments.
class TCustomMailMessage {
public:
    TCustomMailMessage() = default;
    virtual ~TCustomMailMessage() = default;

    TAttachmentList Attachments;
    TMsgEncoding Encoding = TMsgEncoding::meMIME;
    TEmailAddress Sender;
    std::string Subject; // at most 255 bytes
    TCharSet CharSet = TCharSet::csUSASCII;
    TMailHeaders Headers;          // every header line as read
    std::vector<std::string> Body; // the text, or the first text part of a MIME message
    std::string BodyCharset;       // the charset the text part declared; empty when none
    std::string BodyContentType;   // the MIME type of the text part, lower-cased
    // The raw text could not be parsed: Body ends with why, the last attachment holds the text.
    bool ParseFailed = false;
    PumpHook Pump;                 // run now and then while a long message loads or saves

    // The MIME type of the whole message, computed from the body and the attachments (and
    // stored): "multipart/mixed", "multipart/alternative", an attachment's type, or the stored one.
    std::string ContentType();
    // Stores the type lower-cased.
    void SetContentType(std::string_view type);
    // Replaces the attachments by copies and stores "text/plain" or "multipart/mixed".
    void SetAttachments(const TAttachmentList& items);

    // Throws EMessageError when a field required for sending is missing.
    virtual void Validate() const = 0;
    // Writes the message as raw text (header lines, empty line, body).
    virtual void SaveToStream(std::ostream& out) = 0;
    std::string SaveToText();
    // Reads a raw message; a message that cannot be parsed still loads, with the error in Body
    // and the raw text attached as "original.eml".
    virtual void LoadFromText(std::string text) = 0;
    void LoadFromStream(std::istream& in);
    // Clear, then load a saved download (see unstuffedMessage). Throws FileError when it cannot
    // be read.
    void LoadFromFile(const std::filesystem::path& path);
    virtual void Clear();
    // Sets the properties from a message's header block.
    virtual void ProcessHeaders(const TMailHeaders& headers) = 0;
    virtual void Assign(const TCustomMailMessage& source);

private:
    std::string computedContentType() const;

    std::string m_contentType = "text/plain";
};

// An e-mail message: adds recipients, priority and the return-receipt request.
class TMailMessage : public TCustomMailMessage {
public:
    TEmailAddressList Recipients;
    TEmailAddressList CC;
    TEmailAddressList BCC;
    bool ReturnReceipt = false;
    TPriority Priority = TPriority::ptNormal;

    void Validate() const override;
    void SaveToStream(std::ostream& out) override;
    void LoadFromText(std::string text) override;
    void Clear() override;
    void ProcessHeaders(const TMailHeaders& headers) override;
    void Assign(const TCustomMailMessage& source) override;
};

// A news article: adds the newsgroups and the article's path and message id.
class TNewsArticle : public TCustomMailMessage {
public:
    std::string NewsGroups;
    std::string MessageID; // filled from an article's headers
    std::string Path;      // filled from an article's headers

    void Validate() const override;
    void SaveToStream(std::ostream& out) override;
    void LoadFromText(std::string text) override;
    void Clear() override;
    void ProcessHeaders(const TMailHeaders& headers) override;
    void Assign(const TCustomMailMessage& source) override;
};

// The message as its sender wrote it, from a download saved with the bytes the POP3 server sent:
// the terminating "." line dropped and the stuffed dot taken off every line that starts with one.
// Line ends stay as they came. Text without the terminating line is a message too.
std::string unstuffedMessage(std::string_view saved);

// The file name without its directory, lower-cased (A to Z only).
std::string BaseNameLower(std::string_view fileName);

} // namespace mv

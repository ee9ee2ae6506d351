#pragma once
// Writes a message object as a raw message ready for sending: header lines, an empty line, and a
// body that is plain text, MIME (single part, multipart/mixed, multipart/alternative, HTML or RTF
// text) or text with uuencoded attachments. An encoder lives for one Encode; creating it doubles
// every Body line that is a lone "." (the message is changed, as SMTP needs).
#include "mail/Attachment.h"

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

class TCustomMailMessage;
class TMailMessage;
class TNewsArticle;
struct TEmailAddress;

// Writes the message's header block and body to a stream; owns neither.
class TCustomEncoder {
public:
    virtual ~TCustomEncoder() = default;
    // Writes the whole message to `out`.
    void Encode(std::ostream& out);

protected:
    explicit TCustomEncoder(TCustomMailMessage& message);
    virtual void WriteHeaders() = 0;

    void WriteLine(std::string_view line);
    // The display name quoted when it holds a "." and no quote, and as encoded words when it is
    // not plain ASCII and the message is MIME.
    std::string DisplayName(const TEmailAddress& address) const;
    // Header text as encoded words when it needs them and the message is MIME.
    std::string HeaderText(std::string_view text) const;
    // Removes the fields this encoder writes itself from the message's Headers, then writes the
    // remaining header lines.
    void WriteOtherHeaders();

    TCustomMailMessage& m_message;

private:
    void WriteUU();
    void WriteTextOnly();
    void WriteSingleAttachment();
    void WriteFormattedText();
    void WriteMultipart(bool alternativeOnly);
    void WriteTextPartHeaders();
    void WriteAttachmentData(const TAttachmentItem& item);
    std::vector<std::string> PrepareText() const;
    std::string BodyText() const;

    bool m_longLines = false;
    std::ostream* m_out = nullptr;
};

// Writes an e-mail message: From, To, CC, receipt and priority headers.
class TMessageEncoder : public TCustomEncoder {
public:
    explicit TMessageEncoder(TMailMessage& message);

protected:
    void WriteHeaders() override;

private:
    void WriteAddressList(std::string_view name, const std::vector<TEmailAddress>& list);

    TMailMessage& m_mail;
};

// Writes a news article: From and Newsgroups headers.
class TArticleEncoder : public TCustomEncoder {
public:
    explicit TArticleEncoder(TNewsArticle& article);

protected:
    void WriteHeaders() override;

private:
    TNewsArticle& m_article;
};

// A multipart boundary: random letters and digits after "=_", which quoted-printable and base64
// text can never hold, drawn from a generator seeded once.
std::string MakeBoundary();
// Text for a header: ASCII as it is; a text starting with ESC as one ISO-2022-JP encoded word;
// any other text (UTF-8, as the decoder gives it) as UTF-8 encoded words.
std::string EncodeHeaderText(std::string_view text);

} // namespace mv

#pragma once
// Turns one raw message (header block, empty line, body) into a message object: the header block
// goes to the message's ProcessHeaders; for MIME the first text part becomes Body and every other
// part an attachment; without MIME the text becomes Body and each uuencoded block an attachment.
// A message that cannot be parsed still loads, with the error in Body and the raw text attached
// as "original.eml". A decoder lives for one Decode.
#include "mail/Attachment.h"
#include "mail/BodyCodecs.h"
#include "mail/LineStream.h"
#include "mail/MailHeaders.h"

#include <string>
#include <string_view>
#include <vector>

namespace mv {

class TCustomMailMessage;
class TMailMessage;
class TNewsArticle;

// Reads the raw text line by line and fills the target message; owns the reader and the header
// blocks it reads, not the message.
class TCustomDecoder {
public:
    virtual ~TCustomDecoder() = default;
    // Decodes into the target, which the caller has emptied.
    void Decode();

protected:
    TCustomDecoder(std::string text, TCustomMailMessage& message);
    // Gives MessageHeaders to the target's ProcessHeaders.
    virtual void HandOverHeaders() = 0;

    TMailHeaders m_messageHeaders;

private:
    // How a part's bytes are transferred.
    struct PartEncoding {
        TransferEncoding encoding = TransferEncoding::SevenBit;
        bool uuencode = false;
    };
    // What ended a part's body.
    enum class PartEnd { None, Delimiter, Closing, End };

    bool readLine(std::string_view& line);
    void readHeaderBlock(TMailHeaders& headers);
    std::string count() const;
    void pumpAfter(std::size_t bytes);

    void decodeMime();
    void decodeTextPart();
    void decodeSinglePart();
    void decodeMultipart();
    void decodeFirstPart();
    void decodeOtherParts();
    void decodePlain();
    void decodeUUBlock(std::string_view beginLine);
    void storeFailedMessage(std::string_view error);

    // Skips lines up to the current delimiter; throws `error` at the end of the input.
    void skipToDelimiter(const char* error);
    // Reads lines into Body up to a delimiter or the end; a delimiter claims the empty line
    // before it.
    PartEnd readBodyLines();
    // Starts reading a multipart nested in the current one (or the message's own): its first
    // delimiter is skipped to.
    void enterMultipart(std::string_view contentType);
    // After the last part of a nested multipart: on to the next part of the enclosing one that
    // has one. False when every multipart has ended.
    bool leaveMultipart();
    // Whether a multipart/alternative is being read, at any depth.
    bool insideAlternative() const;
    // Whether the line is the delimiter, the closing one, or neither (None). Blanks after a
    // delimiter are transport padding.
    static PartEnd delimiterKind(std::string_view line, std::string_view delimiter);
    // The same for the current delimiter.
    PartEnd classify(std::string_view line) const;
    // The same, with the delimiters of the enclosing multiparts too: one of them ends the
    // multiparts inside it, which are left, and then counts as the current one.
    PartEnd partEnd(std::string_view line);
    void skipToEnd();
    void setBodyText(std::string_view text);
    // Replaces the quoted-printable Body lines by the text they encode.
    void decodeQuotedBody();
    void noteTextPart(const TMailHeaders& headers);
    PartEncoding partEncoding(std::string_view transferEncoding);
    // Decodes the part's lines into the item's Data up to a delimiter (when `delimited`), a "."
    // line (when `stopAtDot`) or the end.
    PartEnd readPartBody(TAttachmentItem& item, PartEncoding encoding, bool delimited,
                         bool stopAtDot);
    PartEnd readAttachment(TAttachmentItem& item, PartEncoding encoding, bool delimited,
                           bool stopAtDot);

    TLineStream m_reader;
    TCustomMailMessage& m_message;
    TMailHeaders m_partHeaders;
    // One multipart being read; the innermost is last.
    struct Multipart {
        std::string delimiter; // "--" + boundary
        bool alternative = false;
    };
    std::vector<Multipart> m_multiparts;
    bool m_firstPartLeft = false; // PartHeaders hold the first part, left to the attachment loop
    std::size_t m_sincePump = 0; // bytes decoded since the pump last ran
};

// Decodes into an e-mail message.
class TMessageDecoder : public TCustomDecoder {
public:
    TMessageDecoder(std::string text, TMailMessage& message);

protected:
    void HandOverHeaders() override;

private:
    TMailMessage& m_target;
};

// Decodes into a news article.
class TArticleDecoder : public TCustomDecoder {
public:
    TArticleDecoder(std::string text, TNewsArticle& article);

protected:
    void HandOverHeaders() override;

private:
    TNewsArticle& m_target;
};

} // namespace mv

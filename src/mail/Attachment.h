#pragma once
// One attachment of a message: its decoded bytes, file name, content type and the transfer
// encoding used when it is sent.
#include <string>
#include <string_view>
#include <vector>

namespace mv {

enum class TransferEncoding : unsigned char { SevenBit = 0, Base64 = 1, QuotedPrintable = 2 };

// Written in Content-Transfer-Encoding lines, by TransferEncoding value.
inline constexpr const char* AttachmentEncodingNames[] = {"7 bit", "Base64", "Quoted-Printable"};

struct TAttachmentItem {
    std::string Data; // decoded bytes
    std::string FileName;
    std::string ContentType;
    TransferEncoding Encoding = TransferEncoding::SevenBit;
    std::string Charset; // the charset a received text part declared, for display; may be empty

    // Stores the name and, for a non-empty one, the content type registered for its extension and
    // the encoding that suits it (quoted-printable for text, none for messages, else base64).
    void SetFileName(std::string_view name);
};

using TAttachmentList = std::vector<TAttachmentItem>;

// The content type registered for the file's extension (/etc/mime.types where present, a small
// built-in table otherwise); "application/octet-stream" when there is none.
std::string ContentTypeForFile(std::string_view fileName);

} // namespace mv

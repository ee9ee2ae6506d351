#include "mail/Attachment.h"

#include "base/Files.h"
#include "base/Text.h"

#include <map>
#include <sstream>

namespace mv {

namespace {
using ExtensionTable = std::map<std::string, std::string>; // upper-cased extension -> type

ExtensionTable builtInTable() {
    return {{"TXT", "text/plain"},          {"HTM", "text/html"},
            {"HTML", "text/html"},          {"RTF", "text/rtf"},
            {"CSV", "text/csv"},            {"XML", "text/xml"},
            {"EML", "message/rfc822"},      {"GIF", "image/gif"},
            {"JPG", "image/jpeg"},          {"JPEG", "image/jpeg"},
            {"PNG", "image/png"},           {"BMP", "image/bmp"},
            {"PDF", "application/pdf"},     {"ZIP", "application/zip"},
            {"DOC", "application/msword"},  {"XLS", "application/vnd.ms-excel"},
            {"WAV", "audio/x-wav"},         {"MP3", "audio/mpeg"},
            {"EXE", "application/octet-stream"}};
}

ExtensionTable readMimeTypes(const std::string& text) {
    ExtensionTable table;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string type, extension;
        words >> type;
        while (words >> extension) table.emplace(upperAscii(extension), type);
    }
    return table;
}

const ExtensionTable& extensionTable() {
    static const ExtensionTable table = [] {
        try {
            if (auto text = readFile("/etc/mime.types")) {
                ExtensionTable t = readMimeTypes(*text);
                if (!t.empty()) return t;
            }
        } catch (const FileError&) {
        }
        return builtInTable();
    }();
    return table;
}
} // namespace

std::string ContentTypeForFile(std::string_view fileName) {
    std::size_t dot = fileName.rfind('.');
    if (dot != std::string_view::npos && fileName.find('/', dot) == std::string_view::npos) {
        auto it = extensionTable().find(upperAscii(fileName.substr(dot + 1)));
        if (it != extensionTable().end() && !it->second.empty()) return it->second;
    }
    return "application/octet-stream";
}

void TAttachmentItem::SetFileName(std::string_view name) {
    FileName = cutShort(name);
    if (name.empty()) return;
    ContentType = cutShort(ContentTypeForFile(name));
    std::string type = upperAscii(ContentType);
    if (type == "TEXT/PLAIN" || type == "TEXT/RTF" || type == "TEXT/HTML")
        Encoding = TransferEncoding::QuotedPrintable;
    else if (type == "MESSAGE/RFC822")
        Encoding = TransferEncoding::SevenBit;
    else
        Encoding = TransferEncoding::Base64;
}

} // namespace mv

#pragma once
// Small text operations on header values and server replies.
#include <string>
#include <string_view>
#include <vector>
#include <filesystem>

namespace mv {

// The value of parameter `name` (no equals sign) anywhere in `value`, ignoring case; quoted values
// come back without their quotes; empty when absent. A plain substring search, so "name" is also
// found inside "filename".
std::string GetParameter(std::string_view name, std::string_view value);
// The text before the first blank or ";", trimmed: "text/plain; charset=x" gives "text/plain".
std::string GetMimeType(std::string_view value);
// Skips `skip` blank-separated words; with `firstWordOnly` keeps only the next word. Empty when
// there are too few words.
std::string ExtractWord(std::string_view text, int skip, bool firstWordOnly);
// Writes the lines, each followed by CR LF, replacing the file. Throws FileError.
void SaveLinesToFile(const std::vector<std::string>& lines, const std::filesystem::path& path);

} // namespace mv

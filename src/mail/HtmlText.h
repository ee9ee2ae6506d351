#pragma once
// HTML mail shown as readable text: tags removed, block ends turned into line breaks, entities
// decoded. Scripts, styles, the document head and comments are dropped.
#include <string>
#include <string_view>

namespace mv {

// `html` is UTF-8; so is the result, with LF line ends, no blank runs and no more than one empty
// line in a row.
std::string htmlToText(std::string_view html);

} // namespace mv

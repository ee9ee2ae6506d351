#pragma once
// The text the message viewer shows for a downloaded message: its body converted from the declared
// character set to UTF-8, HTML shown as readable text, then the messages it forwards.
#include "mail/BodyCodecs.h"

#include <string>
#include <string_view>

namespace mv {

class TCustomMailMessage;

// Decodes a saved download (see unstuffedMessage) and gives its viewer text, UTF-8 with
// LF line ends. A message without a text body shows its first text attachment; one that cannot
// be parsed shows the decoder's error lines. `pump` runs now and then during a long decode.
std::string viewerText(std::string_view saved, const PumpHook& pump = {});
// The viewer text of a decoded message: its text, then each forwarded message it carries (a
// heading with From, Date and Subject, and the forwarded message's own viewer text).
std::string viewerText(const TCustomMailMessage& message);

} // namespace mv

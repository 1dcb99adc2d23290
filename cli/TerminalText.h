#pragma once
// Text bound for a terminal. Names come from the disk and from other people's lists: an escape
// sequence or a carriage return inside one could move the cursor, rewrite the screen or hide a
// question, so every control character a terminal acts on is shown as a visible escape.

#include <string>
#include <string_view>

namespace sonalog::cli {

// Appends s to out with C0 controls, DEL and the C1 controls escaped: "\r" as \r, the others as
// \xHH; C1 controls are the UTF-8 forms of U+0080..U+009F (shown \u00HH) in valid UTF-8 text and
// the bytes 0x80..0x9F (shown \xHH) in any other text. Tab and newline are escaped as \t and \n
// unless keepLayout is true; a backslash is doubled only when escapeBackslash is true (listings
// that must stay reversible).
void appendTerminalSafe(std::string& out, std::string_view s, bool keepLayout, bool escapeBackslash);

// A message for the terminal: each line is shown as UTF-8 on its own (a UTF-8 name and an 8-bit
// name in one message are each decoded by their own rule), "\r\n" becomes a plain line break, and
// control characters are escaped as above.
std::string terminalMessage(std::string_view text);

}  // namespace sonalog::cli

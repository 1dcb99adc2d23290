#pragma once
// Text fields of the tab-separated listings (info, dump): tab, newline and backslash are written
// as \t, \n and \\, so that whatever a name holds, each record stays one line of fields; other
// control characters are escaped as for any terminal output (cli/TerminalText.h).

#include <string>
#include <string_view>

#include "cli/TerminalText.h"

namespace sonalog::cli {

inline void appendTsvField(std::string& out, std::string_view s) { appendTerminalSafe(out, s, false, true); }

}  // namespace sonalog::cli

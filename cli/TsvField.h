#pragma once
// Text fields of the tab-separated listings (info, dump): tab, newline and backslash are written
// as \t, \n and \\, so that whatever a name holds, each record stays one line of fields.

#include <string>
#include <string_view>

namespace sonalog::cli {

inline void appendTsvField(std::string& out, std::string_view s) {
  for (char c : s) {
    switch (c) {
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\\': out += "\\\\"; break;
      default: out.push_back(c);
    }
  }
}

}  // namespace sonalog::cli

#include "cli/TerminalText.h"

#include <cstdio>

#include "platform/Text.h"

namespace sonalog::cli {

namespace {

constexpr unsigned char kDelete = 0x7F;
constexpr unsigned char kC1Lead = 0xC2;  // UTF-8 lead byte of U+0080..U+00BF
constexpr unsigned char kC1First = 0x80;
constexpr unsigned char kC1Last = 0x9F;

void appendHex(std::string& out, const char* prefix, unsigned char b) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%s%02X", prefix, static_cast<unsigned>(b));
  out += buf;
}

}  // namespace

void appendTerminalSafe(std::string& out, std::string_view s, bool keepLayout, bool escapeBackslash) {
  // In 8-bit text every byte 0x80..0x9F is a C1 control to an 8-bit terminal (0x9B starts an
  // escape sequence there); in UTF-8 text those bytes only continue characters.
  const bool utf8 = platform::isValidUtf8(s);
  for (size_t i = 0; i < s.size(); ++i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b == '\t' || b == '\n') {
      if (keepLayout) out.push_back(s[i]);
      else out += b == '\t' ? "\\t" : "\\n";
    } else if (b == '\r') {
      out += "\\r";
    } else if (b < 0x20 || b == kDelete) {
      appendHex(out, "\\x", b);
    } else if (b == '\\' && escapeBackslash) {
      out += "\\\\";
    } else if (!utf8 && b >= kC1First && b <= kC1Last) {
      appendHex(out, "\\x", b);
    } else if (b == kC1Lead && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) >= kC1First &&
               static_cast<unsigned char>(s[i + 1]) <= kC1Last) {
      appendHex(out, "\\u00", static_cast<unsigned char>(s[++i]));
    } else {
      out.push_back(s[i]);
    }
  }
}

std::string terminalMessage(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t start = 0;
  for (;;) {
    const size_t end = text.find('\n', start);
    std::string_view line = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    appendTerminalSafe(out, platform::toDisplayUtf8(line), true, false);
    if (end == std::string_view::npos) break;
    out.push_back('\n');
    start = end + 1;
  }
  return out;
}

}  // namespace sonalog::cli

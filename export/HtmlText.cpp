#include "export/HtmlText.h"

#include "platform/Text.h"

namespace sonalog {

namespace {

constexpr size_t kMaxCaptionBytes = 255;

// Appends c escaped; NUL is escaped only where the caller asks (captions keep it for later).
void appendEscaped(std::string& out, char c, bool escapeNul) {
  switch (c) {
    case '"': out += "&quot;"; break;
    case '&': out += "&amp;"; break;
    case '<': out += "&lt;"; break;
    case '>': out += "&gt;"; break;
    // A line break would end the item's line: the importer reads the list line by line.
    case '\n': out += "&#10;"; break;
    case '\r': out += "&#13;"; break;
    case '\0':
      if (escapeNul) {
        out += "&nbsp;";
        break;
      }
      [[fallthrough]];
    default: out.push_back(c);
  }
}

}  // namespace

std::string escapeHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (char c : text) appendEscaped(out, c, true);
  return out;
}

std::string spaceRunText(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  bool afterText = false;
  for (char c : text) {
    if (c == ' ') {
      out += afterText ? " " : "&nbsp;";
      afterText = !afterText;
    } else {
      out.push_back(c);
      afterText = true;
    }
  }
  return out;
}

std::string captionText(std::string_view caption) {
  std::string escaped;
  for (char c : platform::cutBytes(caption, kMaxCaptionBytes)) appendEscaped(escaped, c, false);
  std::string out;
  out.reserve(escaped.size() + 8);
  bool inRun = false;
  for (char c : escaped) {
    if (c == ' ' || c == '\0' || static_cast<unsigned char>(c) == 0xFF) {
      out += inRun ? "&nbsp;" : " ";
      inRun = !inRun;
    } else {
      out.push_back(c);
      inRun = false;
    }
  }
  return out;
}

}  // namespace sonalog

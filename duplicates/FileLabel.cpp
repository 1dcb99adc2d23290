#include "duplicates/FileLabel.h"

#include "platform/Text.h"

namespace sonalog {

std::string fitToLabel(std::string line, const std::function<int(std::string_view)>& width, int limit) {
  if (width(line) <= limit) return line;
  const bool utf8 = platform::isValidUtf8(line);
  line += "...";
  while (line.size() > 3 && width(line) > limit) {
    size_t cut = line.size() - 4;  // the byte before "..."
    if (utf8)
      while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    line.erase(cut, line.size() - 3 - cut);
  }
  return line;
}

}  // namespace sonalog

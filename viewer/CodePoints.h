#pragma once
// The code points of a text as the program reads it: UTF-8 when the whole text is valid UTF-8,
// otherwise Windows-1252, one byte each (platform::decodeText's rule, without making a copy).

#include <cstddef>
#include <string_view>

#include "platform/Text.h"

namespace sonalog {

template <class Visit>
void forEachCodePoint(std::string_view text, Visit&& visit) {
  if (!platform::isValidUtf8(text)) {
    for (char ch : text) visit(platform::cp1252ToCodePoint(static_cast<unsigned char>(ch)));
    return;
  }
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    visit(c);
    i += length;
  }
}

}  // namespace sonalog

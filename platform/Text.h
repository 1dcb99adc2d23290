#pragma once
// Names are byte strings kept exactly as found. Where text is shown or compared by meaning it is
// decoded as UTF-8 when the whole string is valid UTF-8, else as Windows-1252.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace sonalog::platform {

bool isValidUtf8(std::string_view s);
// The Windows-1252 code point of a byte (undefined bytes map to themselves).
char32_t cp1252ToCodePoint(unsigned char b);
// Calls visit(char32_t) with each code point of s, decoded by the rule above, without a copy.
template <class Visit>
void forEachCodePoint(std::string_view s, Visit&& visit) {
  if (!isValidUtf8(s)) {
    for (char ch : s) visit(cp1252ToCodePoint(static_cast<unsigned char>(ch)));
    return;
  }
  for (size_t i = 0; i < s.size();) {
    const auto lead = static_cast<unsigned char>(s[i]);
    const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    visit(c);
    i += length;
  }
}
// Decodes by the rule above into code points.
std::u32string decodeText(std::string_view s);
// Code points to UTF-8.
std::string encodeUtf8(std::u32string_view s);
// Text for display: the bytes as they are when valid UTF-8, else converted from Windows-1252.
std::string toDisplayUtf8(std::string_view s);

// The first at most maxBytes bytes of s; never cuts a UTF-8 sequence of a valid UTF-8 string.
std::string_view cutBytes(std::string_view s, size_t maxBytes);

// Locale collation (ICU) for the user's locale, the root locale for C/POSIX. Keys are computed
// once per item and compared with memcmp-like ordering.
class Collator {
 public:
  // caseSensitive false compares at secondary strength (case ignored).
  explicit Collator(bool caseSensitive);
  ~Collator();
  Collator(const Collator&) = delete;
  Collator& operator=(const Collator&) = delete;

  std::string key(std::string_view s) const;
  // <0, 0, >0 like strcmp, by locale order.
  int compare(std::string_view a, std::string_view b) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Case-insensitive equality by the locale's rules (full case folding).
bool equalsIgnoreCase(std::string_view a, std::string_view b);
// Case folding for quick indexing: equalsIgnoreCase(a,b) iff foldCase(a)==foldCase(b).
std::string foldCase(std::string_view s);

}  // namespace sonalog::platform

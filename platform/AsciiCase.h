#pragma once
// Comparisons that ignore the case of ASCII letters only, as the lists' Windows origins did:
// folder and caption keys of the exports, file extensions, the words the importers look for.
// Other bytes must match exactly, whatever the locale.

#include <string>
#include <string_view>

namespace sonalog::platform {

inline char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
inline char asciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

inline std::string asciiLowerCopy(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = asciiLower(c);
  return out;
}

inline std::string asciiUpperCopy(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = asciiUpper(c);
  return out;
}

inline bool equalsAsciiIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (asciiLower(a[i]) != asciiLower(b[i])) return false;
  return true;
}

// word stands in s at position at.
inline bool hasAsciiIgnoreCaseAt(std::string_view s, size_t at, std::string_view word) {
  return at <= s.size() && word.size() <= s.size() - at && equalsAsciiIgnoreCase(s.substr(at, word.size()), word);
}

inline bool endsWithAsciiIgnoreCase(std::string_view s, std::string_view tail) {
  return tail.size() <= s.size() && hasAsciiIgnoreCaseAt(s, s.size() - tail.size(), tail);
}

}  // namespace sonalog::platform

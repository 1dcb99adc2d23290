#pragma once
// Folder and caption comparisons of the exports ignore the case of ASCII letters only, as the
// lists' Windows origins did; other bytes must match exactly.

#include <string>
#include <string_view>

namespace sonalog {

inline char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

inline bool equalsAsciiIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (asciiLower(a[i]) != asciiLower(b[i])) return false;
  return true;
}

inline std::string asciiLowerCopy(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = asciiLower(c);
  return out;
}

}  // namespace sonalog

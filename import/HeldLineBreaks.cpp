#include "import/HeldLineBreaks.h"

namespace sonalog {

void appendHeld(std::string& out, char c) {
  out.push_back('\0');
  out.push_back(c == '\n' ? 'n' : c == '\r' ? 'r' : '\0');
}

void restoreHeld(std::string& field) {
  size_t to = field.find('\0');
  if (to == std::string::npos) return;
  for (size_t from = to; from < field.size(); ++from) {
    char c = field[from];
    // A NUL that ends the field or leads no known form is kept as it is.
    if (c == '\0' && from + 1 < field.size()) {
      const char kind = field[from + 1];
      if (kind == 'n' || kind == 'r' || kind == '\0') {
        c = kind == 'n' ? '\n' : kind == 'r' ? '\r' : '\0';
        ++from;
      }
    }
    field[to++] = c;
  }
  field.resize(to);
}

}  // namespace sonalog

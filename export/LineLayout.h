#pragma once
// How the text and plain HTML exports lay out a line: delimiter strings, the numbering width and
// the padding of names.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/ListItem.h"

namespace sonalog {

struct ExportOptions;

// A delimiter as three strings. joint (closing + separator + opening) goes before every field
// after the name: ") (" for parentheses, ", " for the comma, a TAB for tabs.
struct DelimiterStrings {
  std::string opening;
  std::string separator;
  std::string closing;
  std::string joint;
};

DelimiterStrings textDelimiters(uint8_t delimiter);
// The plain HTML form: the separator is "&nbsp;" for delimiters 1 to 4 and "&nbsp; &nbsp; " for
// tabs; the comma keeps ", ".
DelimiterStrings htmlDelimiters(uint8_t delimiter);

// Digits of the item count: the width numbers are right-aligned to.
int enumerationWidth(size_t itemCount);

// name followed by spaces up to padLength counted characters. The count treats "&amp;" and
// "&quot;" as one character each (names that came from HTML lists line up with the rest) and a
// valid UTF-8 name by code points.
std::string paddedName(std::string_view name, unsigned padLength);

// Appends, for each switched-on field in the fixed order, the joint and the field's text. The HTML
// form escapes every text and writes the whole folder; the text form cuts the folder to 255 bytes
// and drops NUL characters from folder and label.
enum class LineForm { Text, Html };
void appendLineFields(std::string& out, const ListItem& item, const ExportOptions& options,
                      std::string_view joint, LineForm form);

}  // namespace sonalog

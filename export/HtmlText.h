#pragma once
// The text conversions of the HTML exports. The importer undoes exactly these, so their quirks
// (which characters count, where a run of spaces starts) are part of the file format.

#include <string>
#include <string_view>

namespace sonalog {

// NUL -> "&nbsp;", '"' -> "&quot;", '&' -> "&amp;", '<' -> "&lt;", '>' -> "&gt;", LF -> "&#10;",
// CR -> "&#13;".
std::string escapeHtml(std::string_view text);
// Spaces alternate between "&nbsp;" and " ", starting with "&nbsp;" for leading spaces and with
// " " after any other character, so browsers keep every space of a plain HTML line.
std::string spaceRunText(std::string_view text);
// A table caption: cut to 255 bytes, '"', '&', '<', '>', LF and CR escaped, then spaces, NULs and byte 255
// alternate between " " and "&nbsp;", starting with " " after any other character.
std::string captionText(std::string_view caption);

}  // namespace sonalog

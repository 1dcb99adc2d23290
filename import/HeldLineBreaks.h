#pragma once
// Line breaks inside the names of an HTML list (written "&#10;" and "&#13;") cannot stay line
// breaks in the importer's temporary file of one line per item. There each is held as a NUL byte
// followed by 'n' or 'r', and a NUL byte of the list itself as two NULs; the fields of a split
// line get them back.

#include <string>
#include <string_view>

namespace sonalog {

// Appends c ('\n', '\r' or '\0') in its held form.
void appendHeld(std::string& out, char c);
// Turns the held forms in field back into the bytes they stand for.
void restoreHeld(std::string& field);

}  // namespace sonalog

#pragma once
// The viewer's messages about its temporary files, shared by the commands that write them and
// the undo that reads them back.

#include <string>
#include <string_view>

namespace sonalog {

// A message about a file that could not be written, followed by the file and the system's
// reason when they are known.
std::string withReason(std::string_view message, const std::string& reason);

inline constexpr char kPrepareUndoFailed[] =
    "Error trying to prepare undo.\r\nCan't write temporary file.";
inline constexpr char kUndoReadFailed[] = "Unexpected error reading temporary file!\r\nUndo failed.";
inline constexpr char kFilteredUndoMismatch[] =
    "Error performing filtered undo.\r\nTemporary file parameters don't match current.";
inline constexpr char kInternalUndoError[] = "Unexpected internal error. Can't undo.";

}  // namespace sonalog

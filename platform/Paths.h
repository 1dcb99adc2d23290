#pragma once
// Where the program keeps its files, and how folder paths join with names.

#include <string>
#include <string_view>

namespace sonalog::platform {

// The per-user working folder, with a trailing "/": $SONALOG_HOME if set, else
// $XDG_DATA_HOME (default ~/.local/share) + "/Tavrix FR.FE.SNLG/". Created when missing.
std::string workingFolder();
// The folder of the running executable, with a trailing "/".
std::string programFolder();
// The user's home folder (stands in for the "c:\" root of reset values and dialogs), no trailing "/".
std::string homeFolder();

// True for a Windows-style folder: a drive letter ("c:") or a backslash in it.
bool isWindowsPath(std::string_view folder);
// Joins a folder and a name with the folder's own separator; a folder that already ends with
// its separator gets none added.
std::string joinPath(std::string_view folder, std::string_view name);
// The name after a path's last separator. A Windows-style path (see isWindowsPath) separates
// with "\\" and "/", any other with "/" alone (a backslash is a letter of a Linux name).
std::string fileNameOf(std::string_view path);
// The folder before a path's last separator, by the same rule: the root keeps its separator
// ("/", "c:\\"), a bare name has none ("").
std::string folderOf(std::string_view path);
// A folder as items store it: the full path without a trailing separator, "/" for the root.
std::string stripTrailingSeparator(std::string_view folder);

}  // namespace sonalog::platform

#pragma once
// The playlist export: an extended m3u list of the items' full paths, each preceded by an
// "#EXTINF:" line with its playtime and name when the playtime is known.

#include "export/ExportRun.h"
#include "export/ExportSink.h"
#include "export/ItemView.h"

namespace sonalog {

inline constexpr const char* kM3uDiskErrorText = "Disk error writing m3u file.";

// Items without a name or a folder are left out (they have no path to play), and so are items
// whose name or folder holds a line break (breaksM3uLines). The result counts the items written;
// the caller reports the ones left out. Does not look for CANCEL.
WriteResult writeM3u(ExportSink& out, const ItemView& items);

// True when the item's name or folder holds a line break: its entry would end early and the rest
// would read as another entry.
bool breaksM3uLines(const ListItem& item);

// The warning about left-out items: "3 files had no path or filename.\r\nThese files weren't ...".
std::string m3uSkippedText(size_t skipped);
// The warning about items left out for a line break in their name or folder.
std::string m3uLineBreakText(size_t skipped);

// The path line of an item: a Windows folder, a backslash, the name and ".mp3" (a drive root gives
// two backslashes, as playlists from Windows have them); a POSIX folder joined with "/". The list
// keeps names without their extension; in a POSIX folder, where letter case matters, the
// extension is spelt as the file on disk spells it (".MP3", ".Mp3", ...) when only that one
// exists, so that the entry names the file.
std::string m3uPath(const ListItem& item);

}  // namespace sonalog

#pragma once
// The playlist export: an extended m3u list of the items' full paths, each preceded by an
// "#EXTINF:" line with its playtime and name when the playtime is known.

#include "export/ExportRun.h"
#include "export/ExportSink.h"
#include "export/ItemView.h"

namespace sonalog {

inline constexpr const char* kM3uDiskErrorText = "Disk error writing m3u file.";

// Items without a name or a folder are left out (they have no path to play). The result counts
// the items written; the caller reports the ones left out. Does not look for CANCEL.
WriteResult writeM3u(ExportSink& out, const ItemView& items);

// The warning about left-out items: "3 files had no path or filename.\r\nThese files weren't ...".
std::string m3uSkippedText(size_t skipped);

// The path line of an item: a Windows folder, a backslash, the name and ".mp3" (a drive root gives
// two backslashes, as playlists from Windows have them); a POSIX folder joined with "/".
std::string m3uPath(const ListItem& item);

}  // namespace sonalog

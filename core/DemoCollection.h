#pragma once
// A small demo collection of real mp3 files (silent MPEG-1 Layer III audio) that the program can
// write anywhere, so that scanning, exporting and the duplicates search can be tried without a
// music library. The collection is the same on every run.

#include <string>
#include <vector>

namespace sonalog {

struct DemoFile {
  std::string relativePath;  // "Folder/Artist - Title.mp3", "/"-separated, UTF-8
  std::string bytes;
};

// Every file of the collection, in a fixed order. It holds a spread of bitrates, frequencies and
// channel modes, VBR files with and without a Xing header, ID3v2 and ID3v1 tags, near-duplicate
// titles (letter case, accents, "_-_" separators, a missing letter) and two files that the
// analysis rejects ("Damaged/").
std::vector<DemoFile> demoCollection();

struct DemoWriteResult {
  bool ok = false;
  int files = 0;        // files written
  std::string message;  // why nothing (or not everything) was written
};

// Writes the collection into folder, creating it when missing. Refuses a folder that is not
// empty (nothing of the user's is ever overwritten) and a path that is not a folder.
DemoWriteResult writeDemoCollection(const std::string& folder);

}  // namespace sonalog

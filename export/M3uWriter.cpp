#include "export/M3uWriter.h"

#include <sys/stat.h>

#include <fmt/format.h>

#include <cmath>

#include "platform/Paths.h"

namespace sonalog {

namespace {
// Playtimes from a million seconds up are not believable and get no "#EXTINF:" line.
constexpr double kLongestPlaytime = 1000000.0;

// The spellings of the extension tried on disk, the usual one first.
constexpr const char* kMp3Spellings[] = {".mp3", ".MP3", ".Mp3", ".mP3"};

bool hasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

}  // namespace

bool breaksM3uLines(const ListItem& item) { return hasLineBreak(item.fileName) || hasLineBreak(item.folder); }

std::string m3uPath(const ListItem& item) {
  if (platform::isWindowsPath(item.folder)) return item.folder + "\\" + item.fileName + ".mp3";
  const std::string stem = platform::joinPath(item.folder, item.fileName);
  for (const char* extension : kMp3Spellings) {
    struct stat st;
    const std::string path = stem + extension;
    if (::stat(path.c_str(), &st) == 0) return path;
  }
  return stem + ".mp3";
}

std::string m3uSkippedText(size_t skipped) {
  return fmt::format("{} files had no path or filename.\r\nThese files weren't included in the m3u list!", skipped);
}

std::string m3uLineBreakText(size_t skipped) {
  return fmt::format(
      "{} files had a line break in their path or filename.\r\nThese files weren't included in the m3u list!",
      skipped);
}

WriteResult writeM3u(ExportSink& out, const ItemView& items) {
  const WriteResult failed{WriteStatus::Failed, 0, kM3uDiskErrorText};
  if (!out.write("#EXTM3U\r\n")) return failed;
  uint32_t written = 0;
  std::string lines;
  for (size_t i = 0; i < items.size(); ++i) {
    const ListItem& item = items[i];
    if (item.fileName.empty() || item.folder.empty()) continue;
    if (breaksM3uLines(item)) continue;
    lines.clear();
    if (item.frames >= 0) {
      const double seconds = std::nearbyint(item.frames * frameDuration(item.frequencyCode));
      if (seconds >= 0 && seconds < kLongestPlaytime)
        fmt::format_to(std::back_inserter(lines), "#EXTINF:{},{}\r\n", static_cast<int64_t>(seconds), item.fileName);
    }
    lines += m3uPath(item);
    lines += "\r\n";
    if (!out.write(lines)) return failed;
    ++written;
  }
  return {WriteStatus::Ok, written, {}};
}

}  // namespace sonalog

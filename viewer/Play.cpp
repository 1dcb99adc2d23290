#include "viewer/Play.h"

#include <cmath>
#include <cstdio>

#include "core/ApiUnit.h"
#include "platform/Files.h"
#include "platform/Paths.h"

namespace sonalog {

std::string playablePath(const ListItem& item) {
  if (item.folder.empty() || item.fileName.empty()) return {};
  return platform::joinPath(item.folder, item.fileName + ".mp3");
}

std::string playlistText(const std::vector<ListItem>& items, const std::vector<uint32_t>& rows,
                         size_t& count) {
  std::string text = "#EXTM3U\r\n";
  count = 0;
  for (uint32_t row : rows) {
    if (row >= items.size()) continue;
    const ListItem& it = items[row];
    const std::string path = playablePath(it);
    if (path.empty()) continue;
    const auto seconds = static_cast<int64_t>(std::nearbyint(playtimeSeconds(it)));
    text += "#EXTINF:" + std::to_string(seconds) + "," + it.fileName + "\r\n" + path + "\r\n";
    ++count;
  }
  return text;
}

void PlayUnit::play(const std::vector<ListItem>& items, const std::vector<uint32_t>& rows) {
  if (playing_ || rows.empty()) return;
  playing_ = true;
  if (rows.size() == 1 && rows[0] < items.size())
    playOne(items[rows[0]]);
  else
    playMany(items, rows);
  playing_ = false;
}

void PlayUnit::playOne(const ListItem& item) {
  const std::string path = playablePath(item);
  if (path.empty()) {
    ui_.message("This file doesn't have valid path or filename.", "play", Icon::Exclamation);
    return;
  }
  reportPlayFailure(ui_, openDocumentChecked(ui_, path), false);
}

void PlayUnit::playMany(const std::vector<ListItem>& items, const std::vector<uint32_t>& rows) {
  const std::string path = platform::workingFolder() + kPlaylistFileName;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    ui_.message("Error creating list file.\r\nRestarting the program or Windows may help.", "play",
                Icon::Exclamation);
    return;
  }
  size_t count = 0;
  const std::string text = playlistText(items, rows, count);
  const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  if (std::fclose(f) != 0 || !written) {
    ui_.warning("Error writing to internal list file.");
    return;
  }
  if (count == 0) {
    platform::removeFile(path);
    ui_.warning("No files with valid path and filename found.");
    return;
  }
  reportPlayFailure(ui_, openDocumentChecked(ui_, path), true);
}

}  // namespace sonalog

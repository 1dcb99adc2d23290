#pragma once
// Play: hands the selected items to the desktop's player, one file directly, several through the
// playlist "mp3snlg.m3u" in the working folder.

#include <cstdint>
#include <string>
#include <vector>

#include "core/ListItem.h"
#include "platform/UserInterface.h"

namespace sonalog {

inline constexpr char kPlaylistFileName[] = "mp3snlg.m3u";

// folder + separator + fileName + ".mp3"; empty when the folder or the name is empty.
std::string playablePath(const ListItem& item);

// The playlist text: "#EXTM3U", then for each item with a playable path its "#EXTINF:" line
// (whole seconds, 0 when frames are unknown) and its path; CR LF line ends. count tells how many
// items were written.
std::string playlistText(const std::vector<ListItem>& items, const std::vector<uint32_t>& rows,
                         size_t& count);

class PlayUnit {
 public:
  explicit PlayUnit(UserInterface& ui) : ui_(ui) {}
  // ButPlay: rows are the selected item rows in list order. A Play while one is being prepared is
  // ignored.
  void play(const std::vector<ListItem>& items, const std::vector<uint32_t>& rows);

 private:
  void playOne(const ListItem& item);
  void playMany(const std::vector<ListItem>& items, const std::vector<uint32_t>& rows);

  UserInterface& ui_;
  bool playing_ = false;
};

}  // namespace sonalog

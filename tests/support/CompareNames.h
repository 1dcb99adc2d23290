#pragma once
// Realistic and hostile names for comparison tests and benchmarks: "Artist - Title" with typos,
// case changes, accents (Windows-1252 bytes and UTF-8), other separators, extra words, and now
// and then an empty, a very short or a very long name.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "core/ListItem.h"

namespace sonalog::testing {

struct NameGenerator {
  explicit NameGenerator(uint32_t seed, bool hostile = true) : rng(seed), hostile(hostile) {}

  std::mt19937 rng;
  bool hostile;

  size_t pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); }
  bool chance(int percent) { return static_cast<int>(pick(100)) < percent; }

  std::string base() {
    static const char* artists[] = {"Nova", "Kestrel", "The Amber Lights", "Birch", "Cobalt Sun",
                                    "Dune Riders", "Ember", "Fjord", "Grove", "Halcyon Days",
                                    "Iris", "Juniper", "Kite Runner", "Lumen", "Mirage", "Nomad"};
    static const char* titles[] = {"Silver Morning", "Night Train", "Falling", "Cold Water",
                                   "Trees", "Sand Song", "Midnight", "Open Road", "Glow",
                                   "Paper Hearts", "River", "Slow Dance", "Static", "Echoes",
                                   "Northern Star", "Wildfire"};
    return std::string(artists[pick(std::size(artists))]) + " - " + titles[pick(std::size(titles))];
  }

  // A name from a large vocabulary, as in a real collection: most names differ from each other.
  std::string distinctBase() {
    static const char* syllables[] = {"ka", "lo", "mi", "ra", "ten", "vo", "sil", "dar", "ne",
                                      "bri", "sto", "lu", "mar", "qui", "zen", "fa", "ro", "del",
                                      "gan", "ti", "pe", "sha", "ul", "wen", "yor", "cas", "bel",
                                      "dor", "fin", "hal", "jas", "kor", "lin", "mor", "nal", "pol"};
    static const char* words[] = {"love", "night", "train", "river", "fire", "dream", "heart", "road",
                                  "summer", "rain", "light", "shadow", "blue", "golden", "dance", "song",
                                  "home", "city", "winter", "star", "ocean", "wild", "silent", "paper",
                                  "broken", "glass", "morning", "falling", "echo", "northern", "electric",
                                  "midnight", "stone", "velvet", "sugar", "thunder", "empty", "runaway",
                                  "forever", "little", "secret", "window", "highway", "crystal", "desert",
                                  "memory", "mirror", "garden", "satellite", "horizon", "ghost", "honey"};
    auto word = [&](int minSyl, int maxSyl) {
      std::string w;
      const int n = minSyl + static_cast<int>(pick(static_cast<size_t>(maxSyl - minSyl + 1)));
      for (int k = 0; k < n; ++k) w += syllables[pick(std::size(syllables))];
      w[0] = static_cast<char>(w[0] - 32);
      return w;
    };
    std::string artist = word(2, 3);
    if (chance(60)) artist += " " + word(1, 3);
    std::string title;
    const size_t n = 1 + pick(4);
    for (size_t k = 0; k < n; ++k) {
      std::string w = words[pick(std::size(words))];
      w[0] = static_cast<char>(w[0] - 32);
      title += (k ? " " : "") + w;
    }
    return artist + " - " + title;
  }

  // A variant of a name as another collection might spell it.
  std::string variant(std::string s) {
    if (chance(30)) {
      for (char& c : s)
        if (chance(30) && c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    }
    if (chance(20)) {
      const size_t at = s.find(" - ");
      if (at != std::string::npos) s.replace(at, 3, chance(50) ? "_-_" : "-");
    }
    if (chance(25) && !s.empty()) {  // a typo
      const size_t at = pick(s.size());
      switch (pick(3)) {
        case 0: s.erase(at, 1); break;
        case 1: s.insert(at, 1, static_cast<char>('a' + pick(26))); break;
        default: s[at] = static_cast<char>('a' + pick(26)); break;
      }
    }
    if (chance(15)) s += chance(50) ? " (Live)" : " remix";
    if (chance(10)) s = "The " + s;
    if (hostile && chance(15)) {  // accents
      const size_t at = s.find('e');
      if (at != std::string::npos) s.replace(at, 1, chance(50) ? "\xE9" : "\xC3\xA9");
    }
    if (hostile && chance(5)) s += "!!";
    return s;
  }

  std::string name() {
    if (hostile) {
      const size_t k = pick(100);
      if (k == 0) return "";
      if (k == 1) return std::string(1 + pick(3), static_cast<char>('a' + pick(3)));
      if (k == 2) {  // long names: lengths and distances beyond 255
        std::string s = base() + " ";
        while (s.size() < 300) s += static_cast<char>('a' + pick(3));
        return s;
      }
    }
    return variant(base());
  }

  ListItem item() {
    ListItem i;
    i.fileName = name();
    i.folder = "/music/" + std::to_string(pick(10));
    i.volumeLabel = "DISK";
    i.bitrateCode = hostile && chance(10) ? (chance(50) ? 16 : 0) : 9;
    i.averageKbps = i.bitrateCode == 16 ? static_cast<uint16_t>(150 + pick(100)) : 0;
    i.sizeKB = hostile && chance(10) ? -1 : static_cast<int32_t>(4000 + pick(600));
    i.frames = hostile && chance(10) ? -1 : static_cast<int32_t>(9000 + pick(60));
    i.stereoMode = static_cast<uint8_t>(pick(5));
    i.frequencyCode = static_cast<uint8_t>(pick(3));
    i.fileDate = 40000;
    i.dateAdded = 40100;
    return i;
  }

  std::vector<ListItem> list(size_t n) {
    std::vector<ListItem> out;
    out.reserve(n);
    for (size_t k = 0; k < n; ++k) out.push_back(item());
    return out;
  }
};

}  // namespace sonalog::testing

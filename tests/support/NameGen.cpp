#include "tests/support/NameGen.h"

#include <random>
#include <string>

namespace sonalog::testing {

namespace {

const char* const kSyllables[] = {"ka", "ro", "mi", "ten", "la", "vos", "dri", "ne", "sol", "ar", "bel", "qu",
                                  "zen", "to", "mar", "li", "en", "or", "sha", "ví"};
const char* const kExtras[] = {" (live)", " (remix)", " [radio edit]", " feat. Nova", " 2004", "The ", " - bonus"};
const char* const kAccented[] = {"\xE9", "\xC3\xA9", "\xE8", "\xC3\xA8", "\xC7", "\xC3\x87", "\xFC", "\xC3\xBC"};

std::string word(std::mt19937& rng) {
  std::string w;
  const int n = 1 + static_cast<int>(rng() % 3);
  for (int i = 0; i < n; ++i) w += kSyllables[rng() % std::size(kSyllables)];
  if (rng() % 2) w[0] = static_cast<char>(w[0] - 'a' + 'A');
  return w;
}

std::string phrase(std::mt19937& rng, int maxWords) {
  std::string p = word(rng);
  const int n = static_cast<int>(rng() % maxWords);
  for (int i = 0; i < n; ++i) p += " " + word(rng);
  return p;
}

// A near-duplicate of name: one or two of the usual differences.
std::string vary(std::string name, std::mt19937& rng) {
  const int changes = 1 + static_cast<int>(rng() % 2);
  for (int c = 0; c < changes && !name.empty(); ++c) {
    const size_t at = rng() % name.size();
    switch (rng() % 7) {
      case 0: name[at] = static_cast<char>('a' + rng() % 26); break;            // typo
      case 1: name.erase(at, 1); break;                                          // dropped letter
      case 2: name.insert(at, 1, static_cast<char>('a' + rng() % 26)); break;    // extra letter
      case 3:                                                                    // case
        for (char& ch : name) if (ch >= 'a' && ch <= 'z' && rng() % 3 == 0) ch = static_cast<char>(ch - 32);
        break;
      case 4: {                                                                  // accent
        const size_t e = name.find('e');
        if (e != std::string::npos) name.replace(e, 1, kAccented[rng() % std::size(kAccented)]);
        break;
      }
      case 5: {                                                                  // separator
        const size_t s = name.find(" - ");
        if (s != std::string::npos) name.replace(s, 3, rng() % 2 ? "_-_" : "-");
        break;
      }
      default: {                                                                 // extra words
        const std::string extra = kExtras[rng() % std::size(kExtras)];
        name = extra == "The " ? extra + name : name + extra;
      }
    }
  }
  return name.substr(0, kMaxFileNameBytes);
}

std::string adversarialName(std::mt19937& rng, const std::vector<ListItem>& earlier) {
  switch (rng() % 6) {
    case 0: return earlier.empty() ? "" : earlier[rng() % earlier.size()].fileName;  // equal
    case 1: {                                                                             // long
      std::string s = phrase(rng, 40);
      while (s.size() < 200) s += " " + word(rng);
      return s.substr(0, 200 + rng() % 56);
    }
    case 2: return std::string(rng() % 4, "!-_ "[rng() % 4]);                           // punctuation
    case 3: return std::string(1 + rng() % 3, static_cast<char>('a' + rng() % 3));     // short
    case 4: return std::string(rng() % 2 ? "\xC9t\xE9" : "\xC3\x89t\xC3\xA9") + " - " + word(rng);
    default: return word(rng) + "-" + word(rng) + " - " + word(rng);
  }
}

}  // namespace

std::vector<ListItem> generateCatalogue(size_t count, uint32_t seed, const CatalogueShape& shape) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> chance(0.0, 1.0);
  std::vector<std::string> artists;
  for (size_t i = 0; i < std::max<size_t>(count / 8, 4); ++i) artists.push_back(phrase(rng, 2));
  std::vector<ListItem> items;
  items.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    ListItem item;
    const double roll = chance(rng);
    if (!items.empty() && roll < shape.nearDuplicates) {
      const ListItem& original = items[rng() % items.size()];
      item = original;
      item.fileName = vary(original.fileName, rng);
      item.sizeKB += static_cast<int32_t>(rng() % 700) - 350;
      item.frames += static_cast<int32_t>(rng() % 80) - 40;
    } else {
      item.fileName = shape.adversarial && chance(rng) < 0.3
                          ? adversarialName(rng, items)
                          : artists[rng() % artists.size()] + " - " + phrase(rng, 4);
      item.sizeKB = 1500 + static_cast<int32_t>(rng() % 8000);
      item.frames = 3000 + static_cast<int32_t>(rng() % 12000);
      item.bitrateCode = static_cast<uint8_t>(rng() % 4 == 0 ? kBitrateVbr : 9 + rng() % 3);
      item.stereoMode = static_cast<uint8_t>(rng() % 5);
      item.frequencyCode = static_cast<uint8_t>(rng() % 3);
      item.averageKbps = item.bitrateCode == kBitrateVbr ? static_cast<uint16_t>(128 + rng() % 150) : 0;
      item.folder = "/music/" + std::to_string(rng() % 20);
      item.volumeLabel = "DISK" + std::to_string(rng() % 3);
    }
    if (chance(rng) < shape.unknownValues) {
      switch (rng() % 3) {
        case 0: item.sizeKB = -1; break;
        case 1: item.frames = -1; break;
        default: item.bitrateCode = 0;
      }
    }
    items.push_back(std::move(item));
  }
  return items;
}

}  // namespace sonalog::testing

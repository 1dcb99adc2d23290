#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "duplicates/NameIndex.h"
#include "tests/support/NameGen.h"

namespace sonalog {
namespace {

// Names that stress the index: its limits (texts too long to cut into segments, empty and
// punctuation-only texts), folding that the normalised texts do not show (case under high
// characters off, UTF-8 accents), and separators that change the split.
std::vector<ListItem> hostileItems() {
  testing::CatalogueShape shape;
  shape.adversarial = true;
  shape.nearDuplicates = 0.35;
  shape.unknownValues = 0.15;
  std::vector<ListItem> items = testing::generateCatalogue(170, 5, shape);
  const std::string longName = "Nova - " + std::string(1100, 'x');
  const char* extra[] = {"", "!!!", "ab", "\xC9T\xC9 - Song", "\xE9t\xE9 - song", "\xC3\x89T\xC3\x89 - Song",
                         "Nova - Silver Morning", "nova_-_silver mornin", "Nova-Silver Morning", "NOVA - SILVER",
                         "Silver Morning", "Silver Mornin"};
  for (const std::string& name : {longName, longName + "y", std::string(1200, 'q'), std::string(1199, 'q') + "r"}) {
    ListItem i = items[0];
    i.fileName = name;
    items.push_back(i);
  }
  for (const char* name : extra) {
    ListItem i = items[1];
    i.fileName = name;
    items.push_back(i);
  }
  std::shuffle(items.begin(), items.end(), std::mt19937(9));
  return items;
}

// The index may offer pairs that do not match, never leave out one that does: for every
// threshold it serves, under every criterion that orders its lists, each matching pair is among
// the candidates, and `after` keeps only later items.
TEST(NameIndexTest, EveryMatchingPairIsACandidate) {
  const std::vector<ListItem> items = hostileItems();
  const uint32_t n = static_cast<uint32_t>(items.size());
  std::vector<PairFacts> facts;
  for (const ListItem& i : items) facts.push_back(pairFactsOf(i));
  size_t matching = 0;
  for (int threshold = kThresholdMin; threshold < kThresholdLetters; ++threshold) {
    MatchOptions o;
    o.matchThreshold = static_cast<uint8_t>(threshold);
    ComputePartThreshold(o);
    o.highChars = threshold % 2 == 0;
    o.firstLetterCheck = threshold % 7 == 0;
    o.timeCheck = threshold % 3 != 0;
    o.sizeCheck = threshold % 4 != 0;
    o.timeLimitSec = static_cast<uint16_t>(threshold % 5 == 0 ? 2 : 30);
    const RunKind kind = threshold % 3 == 1 ? RunKind::CompareSeconds
                         : threshold % 3 == 2 ? RunKind::CompareFrames : RunKind::Duplicates;
    ASSERT_TRUE(NameIndex::serves(o));
    std::vector<TitleKey> keys;
    for (const ListItem& i : items) keys.push_back(prepareTitle(i.fileName, o));
    NameIndex index(keys, facts, kind, o, true);
    NameIndex::Probe probe(index);
    std::vector<uint32_t> all, later;
    for (uint32_t i = 0; i < n; ++i) {
      index.candidates(probe, keys[i], facts[i], -1, all);
      index.candidates(probe, keys[i], facts[i], i, later);
      std::sort(all.begin(), all.end());
      std::sort(later.begin(), later.end());
      ASSERT_TRUE(std::adjacent_find(all.begin(), all.end()) == all.end());
      ASSERT_TRUE(later.empty() || later.front() > i);
      for (uint32_t j = 0; j < n; ++j) {
        if (j == i || MatchPercent(items[i].fileName, items[j].fileName, o) < threshold ||
            !PairPassesCriteria(facts[i], facts[j], kind, o))
          continue;
        ++matching;
        ASSERT_TRUE(std::binary_search(all.begin(), all.end(), j))
            << "threshold " << threshold << ": \"" << items[i].fileName << "\" misses \"" << items[j].fileName << '"';
        ASSERT_EQ(std::binary_search(later.begin(), later.end(), j), j > i);
      }
    }
    // Dropped items are gone from every list; the others stay candidates.
    std::vector<std::vector<uint32_t>> before(n);
    for (uint32_t i = 0; i < n; ++i) {
      index.candidates(probe, keys[i], facts[i], -1, before[i]);
      std::sort(before[i].begin(), before[i].end());
    }
    index.drop([](uint32_t j) { return j % 3 == 0; });
    for (uint32_t i = 0; i < n; ++i) {
      std::erase_if(before[i], [](uint32_t j) { return j % 3 == 0; });
      index.candidates(probe, keys[i], facts[i], -1, all);
      std::sort(all.begin(), all.end());
      ASSERT_EQ(all, before[i]);
    }
  }
  EXPECT_GT(matching, 2000u);
  EXPECT_FALSE(NameIndex::serves(MatchOptions{}));  // threshold 99
}

}  // namespace
}  // namespace sonalog

#include "core/Sorting.h"

#include <gtest/gtest.h>

#include <atomic>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace sonalog {
namespace {

ListItem named(std::string name) {
  ListItem it;
  it.fileName = std::move(name);
  return it;
}

std::vector<std::string> names(const std::vector<ListItem>& items) {
  std::vector<std::string> out;
  for (const ListItem& it : items) out.push_back(it.fileName);
  return out;
}

// The list's quicksort in its plain recursive form: the oracle for the order of equal items. Only for small inputs (it is quadratic on equal items). greater(a, b) compares
// two elements.
template <typename T, typename G>
void recursiveQuicksort(std::vector<T>& v, long lo, long hi, bool descending, G& greater) {
  if (lo >= hi) return;
  auto g = [&](long a, long b) { return greater(v[a], v[b]); };
  if (hi == lo + 1) {
    if (descending ? !g(lo, hi) : g(lo, hi)) std::swap(v[lo], v[hi]);
    return;
  }
  std::swap(v[(lo + hi) / 2], v[hi]);
  long i = lo, e = hi - 1;
  for (;;) {
    if (descending) {
      while (i <= e && g(i, hi)) ++i;
      while (e >= i && g(hi, e)) --e;
    } else {
      while (i <= e && !g(i, hi)) ++i;
      while (e >= i && !g(hi, e)) --e;
    }
    if (i >= e) break;
    std::swap(v[i], v[e]);
    ++i;
    if (e > i) --e;
  }
  std::swap(v[i], v[hi]);
  recursiveQuicksort(v, lo, i - 1, descending, greater);
  recursiveQuicksort(v, i + 1, hi, descending, greater);
}

void recursiveSort(std::vector<ListItem>& items, const SortOrder& order) {
  Greater greater(order.key, order.caseSensitive);
  recursiveQuicksort(items, 0, static_cast<long>(items.size()) - 1, order.descending, greater);
}

// Items whose names and values repeat a lot, so that many items tie; folder tells them apart.
std::vector<ListItem> randomItems(size_t n, unsigned seed, int distinctNames) {
  std::mt19937 rng(seed);
  const char* stems[] = {"abc", "ABC", "Abc", "b", "B", "zeta", "\xC3\xA9t\xC3\xA9", "ete", "01 - Intro", "a b"};
  std::vector<ListItem> items;
  for (size_t k = 0; k < n; ++k) {
    ListItem it;
    const int pick = static_cast<int>(rng() % distinctNames);
    it.fileName = std::string(stems[pick % 10]) + (pick >= 10 ? std::to_string(pick) : "");
    it.folder = "/f/" + std::to_string(k);
    it.volumeLabel = (rng() % 2) ? "DATA" : "data";
    it.bitrateCode = static_cast<uint8_t>(rng() % 18);
    it.averageKbps = static_cast<uint16_t>(120 + rng() % 20);
    it.sizeKB = static_cast<int32_t>(rng() % 5) - 1;
    it.frames = static_cast<int32_t>(rng() % 4) * 1000 - 1;
    it.stereoMode = static_cast<uint8_t>(rng() % 6);
    it.frequencyCode = static_cast<uint8_t>(rng() % 4 == 3 ? 255 : rng() % 3);
    it.fileDate = static_cast<int32_t>(rng() % 3) - 1;
    it.dateAdded = static_cast<int32_t>(rng() % 3);
    items.push_back(std::move(it));
  }
  return items;
}

TEST(SortingTest, SortCodeBitsRoundTrip) {
  const SortOrder o = sortOrderOf(7 | kSortCaseSensitive | kSortDescending);
  EXPECT_EQ(o.key, 7);
  EXPECT_TRUE(o.descending);
  EXPECT_TRUE(o.caseSensitive);
  EXPECT_EQ(sortCodeOf(o), 7 + 64 + 128);
  EXPECT_EQ(sortCodeOf(SortOrder{3, false, false}), 3);
  EXPECT_EQ(sortOrderOf(kSortUnsorted).key, 63);
}

TEST(SortingTest, NothingHappensForOneItemOrUnsortedKey) {
  std::vector<ListItem> one{named("b")};
  sortItems(one, SortOrder{});
  EXPECT_EQ(names(one), std::vector<std::string>{"b"});
  std::vector<ListItem> items{named("c"), named("a"), named("b")};
  sortItems(items, sortOrderOf(kSortUnsorted));
  EXPECT_EQ(names(items), (std::vector<std::string>{"c", "a", "b"}));
  sortItems(items, SortOrder{10, false, false});
  EXPECT_EQ(names(items), (std::vector<std::string>{"c", "a", "b"}));
}

TEST(SortingTest, KeysOrderAsTheirRanks) {
  // Bitrate: 128 CBR, then VBR averaging 128, then 160; unknown codes first.
  std::vector<ListItem> items;
  auto add = [&](const char* name, uint8_t code, uint16_t avg) {
    ListItem it = named(name);
    it.bitrateCode = code;
    it.averageKbps = avg;
    items.push_back(it);
  };
  add("e160", 10, 0);
  add("c-vbr128", 16, 128);
  add("b128", 9, 0);
  add("a128", 9, 0);
  add("d-vbr129", 16, 129);
  add("0unknown", 15, 999);
  sortItems(items, SortOrder{kSortByBitrate, false, false});
  EXPECT_EQ(names(items), (std::vector<std::string>{"0unknown", "a128", "b128", "c-vbr128", "d-vbr129", "e160"}));

  // Frequency: 32, 44.1, 48, then mixed; stereo: mono, joint, stereo, dual, mixed.
  items.clear();
  const uint8_t freqs[] = {255, 1, 0, 2, 7};
  for (int k = 0; k < 5; ++k) {
    ListItem it = named(std::string(1, static_cast<char>('a' + k)));
    it.frequencyCode = freqs[k];
    it.stereoMode = static_cast<uint8_t>(4 - k);  // e=0 stereo, d=1 joint, c=2 dual, b=3 mono, a=4 mixed
    items.push_back(it);
  }
  sortItems(items, SortOrder{kSortByFrequency, false, false});
  EXPECT_EQ(names(items), (std::vector<std::string>{"d", "c", "b", "a", "e"}));
  sortItems(items, SortOrder{kSortByStereoMode, false, false});
  EXPECT_EQ(names(items), (std::vector<std::string>{"b", "d", "e", "c", "a"}));
  sortItems(items, SortOrder{kSortByStereoMode, true, false});
  EXPECT_EQ(names(items), (std::vector<std::string>{"a", "c", "e", "d", "b"}));
}

TEST(SortingTest, TiesFallBackToFileName) {
  // Same playtime by different frame counts and frequencies: decided by name.
  ListItem x = named("x");
  x.frames = 1000;
  x.frequencyCode = 2;  // 36 s
  ListItem a = named("a");
  a.frames = 1500;
  a.frequencyCode = 1;  // 36 s
  ListItem m = named("m");
  m.frames = 10;
  std::vector<ListItem> items{x, a, m};
  sortItems(items, SortOrder{kSortByPlaytime, false, false});
  EXPECT_EQ(names(items), (std::vector<std::string>{"m", "a", "x"}));

  // Path: the folder decides, equal folders fall back to the name; a shorter folder sorts first.
  ListItem p1 = named("b");
  p1.folder = "/music/rock";
  ListItem p2 = named("a");
  p2.folder = "/music/rock";
  ListItem p3 = named("z");
  p3.folder = "/music";
  items = {p1, p2, p3};
  sortItems(items, SortOrder{kSortByPath, false, false});
  EXPECT_EQ(names(items), (std::vector<std::string>{"z", "a", "b"}));

  // Dates are signed: a negative day comes first.
  ListItem d1 = named("d1");
  d1.fileDate = -5;
  ListItem d2 = named("d2");
  d2.fileDate = 3;
  items = {d2, d1};
  sortItems(items, SortOrder{kSortByFileDate, false, false});
  EXPECT_EQ(names(items), (std::vector<std::string>{"d1", "d2"}));
}

TEST(SortingTest, CaseOnlyCountsWhenCaseSensitive) {
  Greater insensitive(kSortByFileName, false);
  EXPECT_FALSE(insensitive(named("abc"), named("ABC")));
  EXPECT_FALSE(insensitive(named("ABC"), named("abc")));
  EXPECT_TRUE(insensitive(named("abd"), named("ABC")));
  Greater sensitive(kSortByFileName, true);
  EXPECT_NE(sensitive(named("abc"), named("ABC")), sensitive(named("ABC"), named("abc")));

  // Locale collation, not byte order: "é" sorts with "e", before "f".
  std::vector<ListItem> items{named("f"), named("\xC3\xA9t\xC3\xA9"), named("E")};
  sortItems(items, SortOrder{});
  EXPECT_EQ(names(items), (std::vector<std::string>{"E", "\xC3\xA9t\xC3\xA9", "f"}));
}

TEST(SortingTest, EqualItemsKeepTheQuicksortOrder) {
  // Two equal items: ascending leaves them, descending swaps them.
  std::vector<ListItem> pair{named("abc"), named("ABC")};
  sortItems(pair, SortOrder{});
  EXPECT_EQ(names(pair), (std::vector<std::string>{"abc", "ABC"}));
  sortItems(pair, SortOrder{kSortByFileName, true, false});
  EXPECT_EQ(names(pair), (std::vector<std::string>{"ABC", "abc"}));

  // Every key, both directions, both cases, with many ties: the exact permutation of the plain
  // recursive quicksort, items told apart by their folder.
  for (uint8_t key = 0; key <= kLastSortKey; ++key) {
    for (int flags = 0; flags < 4; ++flags) {
      for (int distinct : {3, 12, 40}) {
        const SortOrder order{key, (flags & 1) != 0, (flags & 2) != 0};
        std::vector<ListItem> expected = randomItems(400, key * 31u + flags * 7u + distinct, distinct);
        std::vector<ListItem> actual = expected;
        recursiveSort(expected, order);
        sortItems(actual, order);
        ASSERT_EQ(expected.size(), actual.size());
        for (size_t k = 0; k < expected.size(); ++k)
          ASSERT_EQ(expected[k].folder, actual[k].folder)
              << "key " << int(key) << " flags " << flags << " distinct " << distinct << " at " << k;
      }
    }
  }
}

TEST(SortingTest, ManyEqualItemsSortWithoutDeepRecursion) {
  // A plain recursive quicksort recurses once per item here; 300 000 levels would overflow the
  // stack.
  std::vector<ListItem> items(300000);
  for (size_t k = 0; k < items.size(); ++k) {
    items[k].fileName = (k % 1000 == 0) ? "b" : "a";
    items[k].folder = std::to_string(k);
  }
  sortItems(items, SortOrder{});
  for (size_t k = 0; k < items.size(); ++k) ASSERT_EQ(items[k].fileName, k < 299700 ? "a" : "b") << k;

  // Nearly all equal, the case that defeats the equal-range shortcut: still every item in place.
  for (size_t k = 0; k < items.size(); ++k) items[k].fileName = (k % 997 == 0) ? "0" : "a";
  sortItems(items, SortOrder{});
  for (size_t k = 0; k < items.size(); ++k) ASSERT_EQ(items[k].fileName, k < 301 ? "0" : "a") << k;
  sortItems(items, SortOrder{kSortByFileName, true, false});
  for (size_t k = 0; k < items.size(); ++k) ASSERT_EQ(items[k].fileName, k < 299699 ? "a" : "0") << k;
}


// McIlroy's adversary: values are decided only when compared, so that the pivot always turns out
// to be the smallest item left. Run on the plain recursive quicksort it yields its worst case.
struct Adversary {
  std::vector<int> value;
  int gas;
  int solid = 0;
  int candidate = 0;
  explicit Adversary(int n) : value(n, n), gas(n) {}
  bool operator()(int x, int y) {
    if (value[x] == gas && value[y] == gas) value[x == candidate ? x : y] = solid++;
    if (value[x] == gas) candidate = x;
    else if (value[y] == gas) candidate = y;
    return value[x] > value[y];
  }
};

// The routine would recurse about n / 2 levels deep here; the depth guard must take over.
TEST(SortingTest, WorstCaseInputStillSortsCorrectly) {
  const int n = 6000;
  Adversary adversary(n);
  std::vector<int> order(n);
  for (int k = 0; k < n; ++k) order[k] = k;
  recursiveQuicksort(order, 0, n - 1, false, adversary);
  for (int& v : adversary.value)
    if (v == adversary.gas) v = adversary.solid++;

  std::vector<ListItem> items(n);
  for (int k = 0; k < n; ++k) {
    char name[16];
    std::snprintf(name, sizeof name, "%06d", adversary.value[k]);
    items[k].fileName = name;
  }
  sortItems(items, SortOrder{});
  for (int k = 0; k < n; ++k) {
    char name[16];
    std::snprintf(name, sizeof name, "%06d", k);
    ASSERT_EQ(items[k].fileName, name);
  }
}

// Keys kept between sorts give the order fresh keys give, also after the list changed between
// the sorts (a renamed item, a removed one, another case rule).
TEST(SortingTest, KeptKeysGiveTheSameOrder) {
  std::mt19937 random(11);
  std::vector<ListItem> items;
  for (int i = 0; i < 300; ++i)
    items.push_back(named(std::string(1, static_cast<char>('a' + random() % 5)) + "b" + std::to_string(random() % 40)));
  items[7].fileName = "B7";
  std::vector<ListItem> plain = items;
  SortKeyCache cache;
  auto both = [&](const SortOrder& order) {
    sortItems(items, order, &cache);
    sortItems(plain, order);
    ASSERT_EQ(names(items), names(plain));
  };
  both({kSortByFileName, false, false});
  both({kSortByFileName, true, false});
  items[3].fileName = plain[3].fileName = "zz renamed";
  items.erase(items.begin() + 10);
  plain.erase(plain.begin() + 10);
  both({kSortByFileSize, false, false});
  both({kSortByFileName, false, true});
  both({kSortByFileName, false, false});

  // Keys computed ahead: none (stopped at once) or all, then the list changes before the sort.
  std::vector<std::string_view> ahead;
  for (const ListItem& item : items) ahead.push_back(item.fileName);
  std::atomic<bool> stop{true};
  cache.fill(ahead, false, stop);
  EXPECT_EQ(cache.size(), 0u);
  stop = false;
  cache.fill(ahead, true, stop);
  EXPECT_EQ(cache.size(), items.size());
  std::swap(items[0], items[5]);
  std::swap(plain[0], plain[5]);
  both({kSortByPath, true, true});
}

}  // namespace
}  // namespace sonalog

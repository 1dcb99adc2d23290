#include "viewer/FindUnit.h"

#include <gtest/gtest.h>

#include "platform/Text.h"
#include "tests/support/FakeUi.h"
#include "tests/viewer/ViewerFixture.h"

namespace sonalog {
namespace {

using testing::FakeUi;
using testing::viewerItem;

class FindTest : public ::testing::Test {
 protected:
  FindTest() {
    for (const char* n : {"Abba - Waterloo", "x", "Beatles - Help", "abba - SOS", "Queen - Bohemian"})
      items.push_back(viewerItem(n));
  }
  FakeUi ui;
  FindUnit find{ui};
  std::vector<ListItem> items;
};

TEST(NameMatcherTest, CaseAndLength) {
  EXPECT_TRUE(NameMatcher("abba", false)("ABBA - SOS"));
  EXPECT_FALSE(NameMatcher("abba", true)("ABBA - SOS"));
  EXPECT_TRUE(NameMatcher("\xC3\xA9t\xC3\xA9", false)("L'\xC3\x89T\xC3\x89 indien"));
  EXPECT_FALSE(NameMatcher("longer than the name", false)("short"));
  EXPECT_FALSE(NameMatcher("longer than the name", true)("short"));
}

// Names are folded one code point at a time with remembered folds: the result must be the whole
// name's folding, also where one letter folds to two, a sign folds to ASCII or the name is not
// UTF-8 (Windows-1252).
TEST(NameMatcherTest, FoldsAsTheWholeNameFolds) {
  const char* names[] = {"Stra\xC3\x9F" "e", "\xC4\xB0stanbul", "\xE2\x84\xAA" "elvin", "\xEF\xAC\x83x",
                         "\xCE\xA3\xCE\x91\xCE\xA3", "\xC9t\xE9 \x80", "\xF0\x90\x90\x80 Deseret"};
  const char* needles[] = {"ss", "i\xCC\x87", "kel", "ffix", "\xCF\x83\xCE\xB1", "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC",
                           "\xF0\x90\x90\xA8", "zz"};
  for (const char* needle : needles) {
    NameMatcher matches(needle, false);
    for (const char* name : names)
      EXPECT_EQ(matches(name), platform::foldCase(name).find(platform::foldCase(needle)) != std::string::npos)
          << name << " / " << needle;
  }
}

TEST_F(FindTest, FirstNextAndRepeat) {
  EXPECT_FALSE(find.repeat(items, false, 0, 10));
  EXPECT_EQ(ui.texts().back(), "Can't find next. \"Find First\" operation is required.");

  auto found = find.findFirst(items, "abba", false, 4, 2);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->row, 0u);
  found = find.findNext(items, "abba", false, found->row, 2);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->row, 3u);
  EXPECT_EQ(found->top, 2u);  // the found row sits half a page down
  found = find.repeat(items, false, 0, 2);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->row, 3u);
}

TEST_F(FindTest, WrapsOnceFromTheRowWhereTheSearchBegan) {
  // A new text from row 3: nothing below, so the user is offered the top once.
  ui.answers = {Answer::Yes};
  auto found = find.findNext(items, "beatles", false, 3, 2);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->row, 2u);
  EXPECT_EQ(ui.shown.back().text,
            "No matches below cursor position.\r\nContinue searching from the beginning?");
  EXPECT_EQ(ui.shown.back().caption, "find");

  // Same text again from the found row: no second offer.
  EXPECT_FALSE(find.findNext(items, "beatles", false, 2, 2));
  EXPECT_EQ(ui.texts().back(), "Not found");
  EXPECT_EQ(ui.shown.size(), 2u);

  // Find Next at the last row with a new text: offered, declined, not found.
  ui.answers = {Answer::No};
  EXPECT_FALSE(find.findNext(items, "queen", false, 4, 2));
  EXPECT_EQ(ui.shown[2].caption, "find");
  EXPECT_EQ(ui.texts().back(), "Not found");
  EXPECT_FALSE(find.findNext(items, "queen", false, 4, 2));
  EXPECT_EQ(ui.shown.size(), 5u);  // only "Not found" the second time

  // A search from the top never offers to wrap, nor do the searches that continue it: they
  // have seen every row by the time they reach the end.
  EXPECT_FALSE(find.findFirst(items, "zzz", false, 0, 2));
  EXPECT_EQ(ui.shown.size(), 6u);
  ASSERT_TRUE(find.findFirst(items, "abba", false, 4, 2));
  ASSERT_TRUE(find.repeat(items, false, 0, 2));
  EXPECT_FALSE(find.repeat(items, false, 3, 2));
  EXPECT_EQ(ui.texts().back(), "Not found");
  EXPECT_EQ(ui.shown.size(), 7u);
}

TEST_F(FindTest, WindowRulesAndText) {
  EXPECT_FALSE(find.canOpen(1));
  EXPECT_EQ(ui.texts().back(), "You must have 2 items at least!");
  EXPECT_TRUE(find.canOpen(2));
  find.closed(FindMode::Filter, "");
  EXPECT_EQ(find.lastMode(), FindMode::None);
  find.closed(FindMode::First, std::string(300, 'a'));
  EXPECT_EQ(find.text().size(), kMaxFindText);
  EXPECT_EQ(find.lastMode(), FindMode::First);
}

}  // namespace
}  // namespace sonalog

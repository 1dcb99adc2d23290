#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "duplicates/DupSearchUnit.h"
#include "tests/support/DupOracle.h"
#include "tests/support/FakeUi.h"
#include "tests/support/Items.h"
#include "tests/support/NameGen.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

using testing::DupOutcome;

ListItem item(std::string name, int32_t sizeKB = 4000, int32_t frames = 10000) {
  return testing::ItemBuilder(std::move(name)).folder("").label("MUSIC").sizeKB(sizeKB).frames(frames).stereo(1);
}

DupSearchOptions optionsAt(uint8_t threshold, uint8_t actionMode) {
  DupSearchOptions o;
  o.match.matchThreshold = threshold;
  ComputePartThreshold(o.match);
  o.actionMode = actionMode;
  return o;
}

// Answers from a fixed script, in order; leave both when the script is used up.
testing::DupAnswerer script(std::vector<uint8_t> answers) {
  auto next = std::make_shared<size_t>(0);
  return [answers, next](const std::string&, const std::string&, uint8_t) {
    return *next < answers.size() ? answers[(*next)++] : kLeaveBoth;
  };
}

DupOutcome run(const std::vector<ListItem>& items, const DupSearchOptions& o,
               const testing::DupAnswerer& answerer = script({})) {
  return testing::runDupSearch(items, o, answerer);
}

TEST(DupSearchTest, AutomaticActionQueuesLaterCopiesInTheFirstRow) {
  const std::vector<ListItem> items = {item("A"), item("A"), item("A")};
  const DupOutcome out = run(items, optionsAt(80, kActionAutomatic));
  EXPECT_EQ(out.matches, 2u);
  EXPECT_EQ(out.duplicates, 2u);
  EXPECT_EQ(out.marks, (std::vector<uint8_t>{1, 0, 0}));
  EXPECT_EQ(out.logList, (std::vector<std::string>{"A", "A"}));
  EXPECT_EQ(out.finish, "Finished. 2 matches found. 2 duplicates to be deleted.");
}

TEST(DupSearchTest, ManualAnswersFollowTheRows) {
  // DELETE 1ST queues the first item and ends its row; later rows still use every unmarked item.
  const std::vector<ListItem> abc = {item("Nova - Song"), item("Nova - Songs"), item("Nova - Song!")};
  DupOutcome out = run(abc, optionsAt(80, kActionManual), script({kDelete1st, kLeaveBoth}));
  EXPECT_EQ(out.asks.size(), 2u);  // (0,1) then (1,2); (0,2) is never asked
  EXPECT_EQ(out.asks[0].substr(0, 19), "File 1: Nova - Song");
  EXPECT_EQ(out.marks, (std::vector<uint8_t>{0, 1, 1}));
  EXPECT_EQ(out.logList, (std::vector<std::string>{"Nova - Song"}));
  EXPECT_EQ(out.matches, 2u);
  EXPECT_EQ(out.duplicates, 1u);

  // DELETE 2ND on (A, B): B is still a first item and can queue C.
  out = run(abc, optionsAt(80, kActionManual), script({kDelete2nd, kLeaveBoth, kDelete2nd}));
  EXPECT_EQ(out.asks.size(), 3u);  // (0,1), (0,2), (1,2)
  EXPECT_EQ(out.marks, (std::vector<uint8_t>{1, 0, 0}));
  EXPECT_EQ(out.logList, (std::vector<std::string>{"Nova - Songs", "Nova - Song!"}));

  // A first item queued earlier may still be asked about in its own row; DELETE 1ST then ends
  // the row without counting it again.
  const std::vector<ListItem> queuedFirst = {item("Nova - Song"), item("Nova - Songs"), item("Nova - Song")};
  out = run(queuedFirst, optionsAt(80, kActionManual), script({kDelete2nd, kLeaveBoth, kDelete1st}));
  EXPECT_EQ(out.asks.size(), 3u);  // (0,1), (0,2), then (1,2) with item 1 queued
  EXPECT_EQ(out.marks, (std::vector<uint8_t>{1, 0, 1}));
  EXPECT_EQ(out.duplicates, 1u);
  EXPECT_EQ(out.logList, (std::vector<std::string>{"Nova - Songs"}));

  // Mode 1 queues 99-100 % matches without asking and asks for the rest.
  out = run(abc, optionsAt(80, kActionAutomaticExact), script({kLeaveBoth}));
  EXPECT_EQ(out.asks.size(), 1u);  // (0,1) 86 % asked; (0,2) 99 % queued at once, so no (1,2)
  EXPECT_EQ(out.marks, (std::vector<uint8_t>{1, 1, 0}));
  EXPECT_TRUE(out.completed);
}

TEST(DupSearchTest, PromptShowsTheScoreAndBothFileLines) {
  std::vector<ListItem> items = {item("Nova - Song"), item("Nova - Songs")};
  items[1].sizeKB = -1;
  DupSearchRun r(items, optionsAt(80, kActionManual));
  r.start();
  std::vector<DupEvent> events;
  while (events.empty()) {
    r.waitForEvent(std::chrono::milliseconds(100));
    events = r.takeEvents();
  }
  ASSERT_EQ(events[0].kind, DupEvent::Kind::Ask);
  EXPECT_TRUE(r.asking());
  EXPECT_EQ(events[0].text, " Please confirm this 86 % match:");
  EXPECT_EQ(events[0].file1, "File 1: Nova - Song, 4:21, 4000 K, 128 kbps, JS, MUSIC");
  EXPECT_EQ(events[0].file2, "File 2: Nova - Songs, 4:21, ? K, 128 kbps, JS, MUSIC");
  EXPECT_EQ(r.visibleControls() & (kShowFileLabels | kShowAnswerButtons), kShowFileLabels | kShowAnswerButtons);
  EXPECT_EQ(r.matchesFound(), 1u);
  r.answer(kLeaveBoth);
  r.join();
  EXPECT_FALSE(r.searchRunning());
  EXPECT_EQ(r.visibleControls(), kShowFinishLabel | kShowCloseBut);
  const EndButtons b = r.endButtons();
  EXPECT_EQ(b.closeCaption, "&CLOSE");
  EXPECT_EQ(b.closeLeft, 384);
  EXPECT_FALSE(b.abortVisible);
}

TEST(DupSearchTest, AbortAsksToRevertAndNoPerformsTheDeletions) {
  std::vector<ListItem> items;
  for (const char* n : {"x - One", "x - One", "y - Two", "y - Two", "z - Three", "z - Three", "w - Four", "w - Four"})
    items.push_back(item(n));
  // Three queued pairs answered DELETE 2ND, then ABORT at the fourth prompt.
  for (const Answer revert : {Answer::Yes, Answer::No}) {
    InternalList list;
    list.items = items;
    DupSearchRun r(list.items, optionsAt(80, kActionManual));
    r.start();
    int asked = 0;
    while (!r.workerEnded()) {
      r.waitForEvent(std::chrono::milliseconds(50));
      for (const DupEvent& e : r.takeEvents())
        if (e.kind == DupEvent::Kind::Ask && ++asked <= 3) r.answer(kDelete2nd);
        else if (e.kind == DupEvent::Kind::Ask) r.abortButton();
    }
    EXPECT_TRUE(r.searchRunning());
    EXPECT_EQ(r.duplicatesToDelete(), 3u);
    testing::FakeUi ui;
    ui.answers.push_back(revert);
    r.close(list, ui);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, kRevertQuestion);
    EXPECT_EQ(ui.shown[0].caption, "cancel duplicates deletion");
    EXPECT_EQ(ui.shown[0].buttons, Buttons::YesNo);
    EXPECT_FALSE(r.searchRunning());
    if (revert == Answer::Yes) {
      EXPECT_EQ(list.itemCount(), 8u);
      EXPECT_FALSE(r.listChanged());
      EXPECT_FALSE(list.unsaved);
    } else {
      EXPECT_EQ(list.itemCount(), 5u);
      EXPECT_TRUE(r.listChanged());
      EXPECT_TRUE(list.unsaved);
      EXPECT_EQ(list.items[1].fileName, "y - Two");
    }
  }
}

TEST(DupSearchTest, UndoAfterTheEndAndDeleteButton) {
  InternalList list;
  list.items = {item("A - b"), item("A - b"), item("C - d")};
  {
    DupSearchRun r(list.items, optionsAt(99, kActionAutomaticExact));
    r.start();
    r.join();
    EXPECT_EQ(r.visibleControls(), kShowFinishLabel | kShowAbortBut | kShowSaveLogBut | kShowCloseBut);
    EXPECT_EQ(r.endButtons().abortCaption, "&UNDO");
    EXPECT_EQ(r.endButtons().closeCaption, "&DELETE");
    EXPECT_EQ(r.endButtons().closeLeft, 296);
    r.abortButton();
    testing::FakeUi ui;
    r.close(list, ui);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(list.itemCount(), 3u);
    EXPECT_FALSE(r.listChanged());
  }
  DupSearchRun r(list.items, optionsAt(99, kActionAutomaticExact));
  r.start();
  r.join();
  EXPECT_EQ(r.deleteButton(list), "2 items left.");
  EXPECT_TRUE(r.listChanged());
  EXPECT_TRUE(list.unsaved);
  testing::FakeUi ui;
  r.close(list, ui);
  EXPECT_TRUE(ui.shown.empty());
}

TEST(DupSearchTest, NoMatchAndTwoItems) {
  const std::vector<ListItem> items = {item("Alpha - One"), item("Omega - Two")};
  DupSearchRun r(items, optionsAt(80, kActionAutomatic));
  r.start();
  r.join();
  const std::vector<DupEvent> events = r.takeEvents();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].text, "Finished. 0 matches found. 0 duplicates to be deleted.");
  EXPECT_EQ(r.progress(), 0);  // fewer than 3 items: no progress at all
  EXPECT_EQ(rowProgress(0, 2), 0);
  EXPECT_EQ(rowProgress(0, 10), 0);
  EXPECT_EQ(rowProgress(4, 10), 750);  // 2x - x^2 at x = 0.5
  EXPECT_EQ(rowProgress(1, 10), 234);  // 234.375
  EXPECT_EQ(rowProgress(8, 10), 1000);
}

TEST(DupSearchTest, LogListStopsAt30000LinesButTheFileListsEveryItem) {
  testing::TempHome home;
  InternalList list;
  list.items.assign(30003, item("Same - Name"));
  list.items[30002].fileName = "same - name!";
  DupSearchOptions o = optionsAt(100, kActionAutomatic);
  DupSearchRun r(list.items, o);
  r.start();
  std::vector<std::string> lines;
  for (bool ended = false; !ended;) {
    r.waitForEvent(std::chrono::milliseconds(50));
    ended = r.workerEnded();
    for (const DupEvent& e : r.takeEvents())
      if (e.kind == DupEvent::Kind::Log) lines.push_back(e.text);
  }
  EXPECT_EQ(r.duplicatesToDelete(), 30001u);  // "same - name!" differs at threshold 100
  ASSERT_EQ(lines.size(), 30001u);
  EXPECT_EQ(lines[29999], "Same - Name");
  EXPECT_EQ(lines[30000], kLogFullNotice);

  testing::FakeUi ui;
  std::string folder = home.path();
  ui.dialogResults.push_back(FileDialogResult{home.path("logs.txt"), 0});
  ASSERT_TRUE(r.saveLogButton(list, ui, folder));
  EXPECT_EQ(ui.dialogs[0].title, " - SAVE DELETION LOG AS - ");
  EXPECT_EQ(ui.dialogs[0].defaultExtension, "txt");
  EXPECT_EQ(r.savedLogPath(), home.path("logs.txt"));
  const std::string text = home.readFile("logs.txt");
  size_t entries = 0;
  for (size_t at = text.find("\r\n\r\n"); (at = text.find("\r\nSame - Name, ", at)) != std::string::npos; ++at) ++entries;
  EXPECT_EQ(entries, 30001u);
}

TEST(DupSearchTest, LogFileTextAndItsFailures) {
  std::vector<ListItem> items = {item("Keep"), item("Gone - One"), item("Gone - Two")};
  items[2].sizeKB = -1;
  items[2].stereoMode = kStereoModeMixed;
  items[2].bitrateCode = 0;
  FieldStyle style;
  EXPECT_EQ(logFileText(items, {1, 0, 0}, 2, style, "10:11:12", "08/12/26"),
            "Mp3 Sonalog duplicates search log at 10:11:12, 08/12/26\r\n2 duplicates found:\r\n"
            "\r\nGone - One, 4:21, 128 kbps, 4000 K, JS"
            "\r\nGone - Two, 4:21, ? kbps, ? K, ?");
  style.unknownStyle = 0;  // "Omit info" leaves out what is unknown
  EXPECT_EQ(logFileText(items, {1, 1, 0}, 1, style, "t", "d"),
            "Mp3 Sonalog duplicates search log at t, d\r\n1 duplicates found:\r\n\r\nGone - Two, 4:21");

  testing::TempHome home;
  const std::vector<ListItem> none = {item("a"), item("b")};
  DupSearchRun r(none, optionsAt(99, kActionAutomatic));
  r.start();
  r.join();
  testing::FakeUi ui;
  std::string folder;
  InternalList list;
  EXPECT_FALSE(r.saveLogButton(list, ui, folder));
  EXPECT_EQ(ui.texts(), std::vector<std::string>{"Nothing to save."});

  DupSearchRun twice(items, optionsAt(50, kActionAutomatic));
  twice.start();
  twice.join();
  EXPECT_FALSE(twice.writeLog(home.path("missing/folder/log.txt"), items, ui));
  EXPECT_EQ(ui.texts().back(), "Disk error.");
}

TEST(DupSearchTest, FileLinesAreCutToTheLabel) {
  const auto width = [](std::string_view s) { return static_cast<int>(s.size()) * 6; };
  EXPECT_EQ(fitToLabel(std::string(76, 'a'), width), std::string(76, 'a'));  // 456 px
  EXPECT_EQ(fitToLabel(std::string(77, 'a'), width), std::string(73, 'a') + "...");  // 459 px
  // A UTF-8 letter is removed whole.
  const std::string accented = std::string(71, 'a') + "\xC3\xA9\xC3\xA9" + "bbbb";
  EXPECT_EQ(fitToLabel(accented, width), std::string(71, 'a') + "\xC3\xA9" + "...");
  // A laid-out label passes its own width.
  EXPECT_EQ(fitToLabel(std::string(77, 'a'), width, 600), std::string(77, 'a'));
  EXPECT_EQ(fitToLabel(std::string(77, 'a'), width, 60), std::string(7, 'a') + "...");
}

TEST(DupSearchTest, StopEndsTheRunAtOnceAndKeepsItRunning) {
  std::vector<ListItem> items = testing::generateCatalogue(3000, 5);
  DupSearchOptions o = optionsAt(50, kActionAutomatic);
  o.threads = 2;
  DupSearchRun r(items, o);
  r.start();
  r.stop();
  r.join();
  // Stopped before the end: the pairs were not all scored.
  EXPECT_LT(r.progress(), kProgressMax);
  EXPECT_TRUE(r.searchRunning());
  for (const DupEvent& e : r.takeEvents()) EXPECT_NE(e.kind, DupEvent::Kind::Finished);
  r.answer(kDelete1st);  // an answer never overwrites a stop
  EXPECT_EQ(r.searchState(), kSearchStop);
}

TEST(DupSearchTest, AutoScrollFollowsOnlyFromTheLastLine) {
  EXPECT_EQ(logListSelection(1, -1), 0);
  EXPECT_EQ(logListSelection(5, 3), 4);
  EXPECT_EQ(logListSelection(5, 1), 1);
}

// Every threshold, mode and option on random and adversarial lists: the worker's marks, logs,
// prompts and counts equal the plain search's.
TEST(DupSearchTest, WorkerEqualsThePlainSearch) {
  const std::vector<uint8_t> thresholds = {50, 65, 80, 90, 98, 99, 100};
  int round = 0;
  uint64_t matched = 0;
  for (const bool adversarial : {false, true}) {
    testing::CatalogueShape shape;
    shape.adversarial = adversarial;
    shape.nearDuplicates = 0.3;
    shape.unknownValues = 0.2;
    const std::vector<ListItem> items = testing::generateCatalogue(adversarial ? 150 : 180, 17 + adversarial, shape);
    for (const uint8_t threshold : thresholds) {
      for (uint8_t mode = 0; mode < 3; ++mode) {
        for (int flags = 0; flags < 4; ++flags, ++round) {
          DupSearchOptions o = optionsAt(threshold, mode);
          o.match.firstLetterCheck = flags & 1;
          o.match.highChars = !(flags & 2);
          o.match.allowUnspecified = round % 3 != 0;
          o.match.sizeCheck = round % 4 != 1;
          o.match.timeCheck = round % 5 != 2;
          o.match.timeLimitSec = static_cast<uint16_t>(round % 2 ? 30 : 60);
          o.match.bitrateCheck = round % 3 == 1;
          o.threads = 1 + round % 3;
          // Answers from the prompt itself, so both searches get the same ones; every tenth
          // round stops at its fifth prompt.
          const bool stops = round % 10 == 9;
          const auto answerer = [stops] {
            return [stops, count = std::make_shared<int>(0)](const std::string& f1, const std::string& f2,
                                                             uint8_t score) -> uint8_t {
              if (stops && ++*count == 5) return kSearchStop;
              const size_t h = std::hash<std::string>{}(f1 + f2) + score;
              return std::array<uint8_t, 3>{kDelete1st, kDelete2nd, kLeaveBoth}[h % 3];
            };
          };
          const DupOutcome expected = testing::oracleDupSearch(items, o, answerer());
          const DupOutcome actual = run(items, o, answerer());
          matched += expected.matches;
          ASSERT_EQ(actual.marks, expected.marks) << "threshold " << int(threshold) << " mode " << int(mode)
                                                  << " flags " << flags << " adversarial " << adversarial;
          ASSERT_EQ(actual, expected) << "threshold " << int(threshold) << " mode " << int(mode);
        }
      }
    }
  }
  EXPECT_GT(matched, 2000u);  // the lists do exercise matches
}

// Longer lists than above, at the thresholds users pick, under each criterion that narrows the
// pairs a row looks at (playtime, size alone, none): the same result as the plain search.
TEST(DupSearchTest, LongerListsEqualThePlainSearchUnderEachCriterion) {
  testing::CatalogueShape shape;
  shape.nearDuplicates = 0.3;
  shape.unknownValues = 0.1;
  const std::vector<ListItem> items = testing::generateCatalogue(500, 99, shape);
  struct Criteria {
    bool time, size;
    uint16_t timeLimit;
  };
  const Criteria criteria[] = {{true, true, 30}, {true, false, 0}, {false, true, 0}, {false, false, 0}};
  for (const uint8_t threshold : {75, 85, 95}) {
    for (const Criteria& c : criteria) {
      DupSearchOptions o = optionsAt(threshold, threshold == 85 ? kActionAutomaticExact : kActionAutomatic);
      o.match.timeCheck = c.time;
      o.match.timeLimitSec = c.timeLimit;
      o.match.sizeCheck = c.size;
      o.match.sizeLimitKB = 200;
      o.threads = 2;
      const auto leave = script({});
      const DupOutcome expected = testing::oracleDupSearch(items, o, leave);
      ASSERT_EQ(run(items, o, script({})), expected)
          << "threshold " << int(threshold) << " time " << c.time << " size " << c.size;
    }
  }
}

// Values exactly at the limits pass, one beyond fails, an unknown value always passes.
TEST(DupSearchTest, PlaytimeAndSizeLimitsAreInclusive) {
  struct Case {
    int32_t sizeKB, frames;
    bool timeCheck, matches;
  };
  const Case cases[] = {{4000, 10030, true, true},  {4000, 10031, true, false}, {4000, 9970, true, true},
                        {4000, -1, true, true},     {4500, 10000, true, true},  {3499, 10000, true, false},
                        {4501, 10031, false, false}, {-1, 10031, false, true},  {4500, 10031, false, true}};
  for (const Case& c : cases) {
    const std::vector<ListItem> items = {item("Nova - Silver Morning", 4000, 10000),
                                         item("Nova - Silver Mornin", c.sizeKB, c.frames)};
    DupSearchOptions o = optionsAt(80, kActionAutomatic);
    o.match.timeCheck = c.timeCheck;
    EXPECT_EQ(run(items, o).marks, (std::vector<uint8_t>{1, c.matches ? uint8_t{0} : uint8_t{1}}))
        << c.sizeKB << " KB " << c.frames << " frames";
  }
}

}  // namespace
}  // namespace sonalog

namespace sonalog {
namespace {

// Every threshold from 50 to 98 on lists of random shape and size, with random criteria: the
// search through the name index, and the one over every pair, give the plain search's marks,
// logs, prompts and counts.
TEST(DupSearchTest, EveryThresholdOnRandomListShapesEqualsThePlainSearch) {
  std::mt19937 rng(2027);
  for (int threshold = kThresholdMin; threshold < kThresholdLetters; ++threshold) {
    testing::CatalogueShape shape;
    shape.adversarial = rng() % 3 == 0;
    shape.nearDuplicates = 0.1 + (rng() % 50) / 100.0;
    shape.unknownValues = (rng() % 30) / 100.0;
    const std::vector<ListItem> items = testing::generateCatalogue(40 + rng() % 220, rng(), shape);
    DupSearchOptions o = optionsAt(static_cast<uint8_t>(threshold), static_cast<uint8_t>(rng() % 3));
    o.match.firstLetterCheck = rng() % 4 == 0;
    o.match.highChars = rng() % 3 != 0;
    o.match.allowUnspecified = rng() % 4 != 0;
    o.match.timeCheck = rng() % 3 != 0;
    o.match.timeLimitSec = static_cast<uint16_t>(rng() % 100);
    o.match.sizeCheck = rng() % 3 != 0;
    o.match.sizeLimitKB = static_cast<uint16_t>(rng() % 1000);
    o.match.bitrateCheck = rng() % 4 == 0;
    o.threads = 1 + rng() % 3;
    o.pairSearch = std::array{PairSearch::Auto, PairSearch::Index, PairSearch::Plain}[threshold % 3];
    const auto answerer = [] {
      return [](const std::string& f1, const std::string& f2, uint8_t score) -> uint8_t {
        return std::array<uint8_t, 3>{kDelete1st, kDelete2nd, kLeaveBoth}[(std::hash<std::string>{}(f1 + f2) + score) % 3];
      };
    };
    ASSERT_EQ(run(items, o, answerer()), testing::oracleDupSearch(items, o, answerer()))
        << "threshold " << threshold << ", " << items.size() << " items";
  }
}

}  // namespace
}  // namespace sonalog

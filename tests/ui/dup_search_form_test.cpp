#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QListView>

#include "tests/support/DupOracle.h"
#include "tests/support/Items.h"
#include "tests/support/NameGen.h"
#include "tests/ui/SearchWindowTesting.h"
#include "ui/search/DupSearchForm.h"

namespace sonalog::testing {
namespace {

using namespace sonalog::ui;

ListItem song(std::string name) {
  return testing::ItemBuilder(std::move(name)).folder("").label("MUSIC").frames(10000).stereo(1);
}

DupSearchOptions optionsAt(uint8_t threshold, uint8_t actionMode) {
  DupSearchOptions o;
  o.match.matchThreshold = threshold;
  ComputePartThreshold(o.match);
  o.actionMode = actionMode;
  o.threadPriority = 1;  // the shared test machine starves low-priority threads
  return o;
}

// The k-th answer of a manual run, the same for the oracle and the window.
uint8_t answerAt(size_t k) {
  static const uint8_t kCycle[] = {kLeaveBoth, kDelete2nd, kLeaveBoth, kDelete1st, kDelete2nd};
  return kCycle[k % std::size(kCycle)];
}

const char* buttonFor(uint8_t answer) {
  return answer == kDelete1st ? "Del1But" : answer == kDelete2nd ? "Del2But" : "LeaveBut";
}

class DupSearchFormTest : public RunWindowTest<TDupSearchForm> {
 protected:
  bool waitFinished() { return waitShownOrClosed("CloseBut"); }
};

TEST_F(DupSearchFormTest, ManualRunAnsweredThroughTheButtonsEqualsThePlainSearch) {
  CatalogueShape shape;
  shape.nearDuplicates = 0.4;
  const std::vector<ListItem> items = generateCatalogue(160, 7, shape);
  const DupSearchOptions options = optionsAt(80, kActionManual);
  size_t oracleAsked = 0;
  const DupOutcome expected = oracleDupSearch(items, options, [&](const std::string&, const std::string&, uint8_t) {
    return answerAt(oracleAsked++);
  });
  ASSERT_TRUE(expected.completed);
  ASSERT_GE(expected.asks.size(), 5u) << "the catalogue should give prompts of every answer";

  start(items, options);
  EXPECT_EQ(toStd(form->windowTitle()), " Searching, please wait...");
  size_t asked = 0;
  for (;;) {
    ASSERT_TRUE(pumpUntil([&] { return form->promptsShown() > asked || shown(*form, "CloseBut"); }));
    if (form->promptsShown() == asked) break;
    ASSERT_LT(asked, expected.asks.size());
    // The prompt as the plain search built it: "file1|file2|score".
    const std::string& key = expected.asks[asked];
    const size_t bar1 = key.find('|'), bar2 = key.rfind('|');
    const std::string title = " Please confirm this " + key.substr(bar2 + 1) + " % match:";
    EXPECT_EQ(toStd(form->windowTitle()), title);
    EXPECT_EQ(textOf(*form, "labprog"), title);
    auto* label1 = control<QLabel>(*form, "labfile1");
    EXPECT_EQ(label1->text(), fittedFileLine(label1, key.substr(0, bar1)));
    auto* label2 = control<QLabel>(*form, "labfile2");
    EXPECT_EQ(label2->text(), fittedFileLine(label2, key.substr(bar1 + 1, bar2 - bar1 - 1)));
    EXPECT_TRUE(shown(*form, "Del1But"));
    EXPECT_TRUE(shown(*form, "AbortBut"));
    click(*form, buttonFor(answerAt(asked)));
    ++asked;
  }
  EXPECT_EQ(asked, expected.asks.size());
  EXPECT_EQ(textOf(*form, "Invisilab"), expected.finish);
  EXPECT_EQ(toStd(form->windowTitle()), " Duplicates search");
  EXPECT_EQ(logLines(), asShown(expected.logList));
  ASSERT_GT(expected.duplicates, 0u);
  EXPECT_EQ(textOf(*form, "CloseBut"), "&DELETE");
  EXPECT_EQ(textOf(*form, "AbortBut"), "&UNDO");
  EXPECT_TRUE(shown(*form, "SaveLogBut"));
  EXPECT_FALSE(shown(*form, "ViewLogBut"));
  EXPECT_FALSE(shown(*form, "pbar"));

  click(*form, "CloseBut");
  ASSERT_TRUE(waitClosed());
  std::vector<ListItem> kept;
  for (size_t i = 0; i < items.size(); ++i)
    if (expected.marks[i] == 1) kept.push_back(items[i]);
  EXPECT_EQ(main.list().items, kept);
  EXPECT_TRUE(main.list().unsaved);
  EXPECT_TRUE(form->listChanged());
  EXPECT_EQ(main.status(), std::to_string(kept.size()) + " items left.");
  EXPECT_TRUE(form->ui().shown.empty());  // no revert question after a finished search
}

TEST_F(DupSearchFormTest, AbortWhileAskingOffersToRevert) {
  std::vector<ListItem> items;
  for (const char* n : {"x - One", "x - One", "y - Two", "y - Two", "z - Three", "z - Three", "w - Four", "w - Four"})
    items.push_back(song(n));
  for (const Answer revert : {Answer::Yes, Answer::No}) {
    SCOPED_TRACE(revert == Answer::Yes ? "revert" : "perform");
    start(items, optionsAt(80, kActionManual));
    form->ui().script({revert});
    for (size_t k = 0; k < 3; ++k) {
      ASSERT_TRUE(pumpUntil([&] { return form->promptsShown() > k; }));
      click(*form, "Del2But");
    }
    ASSERT_TRUE(pumpUntil([&] { return form->promptsShown() > 3; }));
    EXPECT_EQ(form->logModel().rowCount(), 3);
    click(*form, "AbortBut");
    ASSERT_TRUE(waitClosed());
    ASSERT_EQ(form->ui().shown.size(), 1u);
    EXPECT_EQ(form->ui().shown[0].text, kRevertQuestion);
    EXPECT_EQ(form->ui().shown[0].caption, "cancel duplicates deletion");
    EXPECT_EQ(main.list().itemCount(), revert == Answer::Yes ? 8u : 5u);
    EXPECT_EQ(form->listChanged(), revert == Answer::No);
  }
}

TEST_F(DupSearchFormTest, AbortWhileRunningStopsTheWorkerAndKeepsTheListOnRevert) {
  const std::vector<ListItem> items = generateCatalogue(6000, 3);
  start(items, optionsAt(50, kActionAutomatic));
  form->ui().script({Answer::Yes});
  ASSERT_TRUE(pumpUntil([&] { return form->run() != nullptr; }));
  click(*form, "AbortBut");
  ASSERT_TRUE(waitClosed());
  EXPECT_TRUE(form->run()->workerEnded());
  EXPECT_EQ(main.list().items, items);
  EXPECT_FALSE(form->listChanged());
  // Stopped with items queued: the revert question; without any: none.
  EXPECT_EQ(form->ui().shown.size(), form->run()->duplicatesToDelete() > 0 ? 1u : 0u);
}

TEST_F(DupSearchFormTest, UndoAndEscapeAfterTheEndLeaveTheList) {
  const std::vector<ListItem> items = {song("A - b"), song("A - b"), song("C - d")};
  for (const bool escape : {false, true}) {
    start(items, optionsAt(99, kActionAutomaticExact));
    ASSERT_TRUE(waitFinished());
    EXPECT_EQ(textOf(*form, "Invisilab"), "Finished. 1 matches found. 1 duplicates to be deleted.");
    EXPECT_EQ(std::vector<std::string>{"A - b"}, std::vector<std::string>{toStd(form->logModel().lines().at(0))});
    if (escape) {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
      QCoreApplication::sendEvent(form.get(), &press);
    } else {
      click(*form, "AbortBut");
    }
    ASSERT_TRUE(waitClosed());
    EXPECT_TRUE(form->ui().shown.empty());
    EXPECT_EQ(main.list().items, items);
    EXPECT_FALSE(form->listChanged());
  }
}

TEST_F(DupSearchFormTest, NoMatchShowsOnlyClose) {
  start({song("Alpha - One"), song("Omega - Two")}, optionsAt(80, kActionAutomatic));
  ASSERT_TRUE(waitFinished());
  EXPECT_EQ(textOf(*form, "Invisilab"), "Finished. 0 matches found. 0 duplicates to be deleted.");
  EXPECT_EQ(textOf(*form, "CloseBut"), "&CLOSE");
  for (const char* hidden : {"AbortBut", "SaveLogBut", "ViewLogBut", "Del1But", "Del2But", "LeaveBut", "pbar"})
    EXPECT_FALSE(shown(*form, hidden)) << hidden;
  click(*form, "CloseBut");
  ASSERT_TRUE(waitClosed());
  EXPECT_FALSE(form->listChanged());
  EXPECT_EQ(main.status(), "2 items left.");
}

TEST_F(DupSearchFormTest, SavedLogListsTheQueuedItemsAndAFailedSaveSaysSo) {
  const std::vector<ListItem> items = {song("A - b"), song("A - b"), song("C - d"), song("C - d")};
  start(items, optionsAt(99, kActionAutomaticExact));
  ASSERT_TRUE(waitFinished());
  form->ui().script({}, {FileDialogResult{home.path("missing/log.txt"), 0}, FileDialogResult{home.path("log.txt"), 0}});
  click(*form, "SaveLogBut");
  EXPECT_EQ(form->ui().shown.back().text, "Disk error.");
  EXPECT_FALSE(shown(*form, "ViewLogBut"));
  click(*form, "SaveLogBut");
  EXPECT_TRUE(shown(*form, "ViewLogBut"));
  const std::string log = home.readFile("log.txt");
  EXPECT_EQ(log.rfind("Mp3 Sonalog duplicates search log at ", 0), 0u);
  EXPECT_NE(log.find("\r\n2 duplicates found:\r\n\r\nA - b, "), std::string::npos);
  EXPECT_EQ(main.settings().duplicatesLogFolder, home.path());
  click(*form, "AbortBut");  // "&UNDO"
  ASSERT_TRUE(waitClosed());
  EXPECT_EQ(main.list().items, items);
}

TEST(LogListModelTest, TheSelectionFollowsOnlyFromTheLastLine) {
  LogListModel model;
  QListView view;
  view.setModel(&model);
  model.append({"a"}, &view);
  EXPECT_EQ(view.currentIndex().row(), 0);
  model.append({"b", "c"}, &view);
  EXPECT_EQ(view.currentIndex().row(), 2);  // followed line by line
  view.setCurrentIndex(model.index(1));   // the user stops the scrolling
  model.append({"d"}, &view);
  EXPECT_EQ(view.currentIndex().row(), 1);
  view.setCurrentIndex(model.index(3));   // and resumes it
  model.append({"e", "f"}, &view);
  EXPECT_EQ(view.currentIndex().row(), 5);
  EXPECT_EQ(model.rowCount(), 6);
  model.clear();
  EXPECT_EQ(model.rowCount(), 0);
}

}  // namespace
}  // namespace sonalog::testing

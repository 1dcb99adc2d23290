#include <gtest/gtest.h>

#include "compare/CompareAction.h"
#include "compare/CompareReport.h"
#include "platform/Files.h"
#include "tests/compare/CompareFixture.h"
#include "tests/support/CompareNames.h"
#include "tests/support/CompareOracle.h"
#include "tests/ui/SearchWindowTesting.h"
#include "ui/search/CompForm.h"

namespace sonalog::testing {
namespace {

using namespace sonalog::ui;

// The k-th answer of a manual comparison, the same for the oracle and the window.
uint8_t answerAt(size_t k) { return k % 3 == 1 ? kCompareDiffer : kCompareMatch; }

class CompFormTest : public RunWindowTest<TCompForm> {
 protected:
  void start(const std::vector<ListItem>& items, const CompareJob& job) {
    main.list().unsaved = false;
    RunWindowTest::start(items, job);
  }
  // The end of the matching: "&CLOSE" or "&DELETE" shown, or the window closed.
  bool waitEnd() { return waitShownOrClosed("DeleteBut"); }
  std::vector<std::string> writtenEntries(const CompareJob& job) {
    std::vector<std::string> body = logBody(home.readFile(job.outputPath.substr(home.path().size() + 1)));
    if (body.size() >= 2) body.erase(body.begin(), body.begin() + 2);  // the count and the empty line
    return body;
  }
};

TEST_F(CompFormTest, EveryActionTypeThroughTheWindowGivesTheOracleResult) {
  NameGenerator gen(21);
  const std::vector<ListItem> internalItems = gen.list(50);
  std::vector<ListItem> externalItems = gen.list(50);
  for (size_t k = 0; k < externalItems.size(); k += 3)
    externalItems[k].fileName = gen.variant(internalItems[gen.pick(internalItems.size())].fileName);
  for (int type = 0; type < kCompareActionCount; ++type) {
    SCOPED_TRACE("type " + std::to_string(type));
    CompareJob job = makeJob(home, type, 0, 80);
    writeExternalList(job.inputPath, externalItems, 7);
    platform::removeFile(job.outputPath);
    const OracleResult expected = oracleCompare(internalItems, externalItems, job,
                                                [](size_t, size_t, uint8_t) { return kCompareMatch; });
    const uint32_t n = (type <= 3 || type == 9) ? expected.unique : expected.matches;
    ASSERT_GT(n, 0u);

    start(internalItems, job);
    EXPECT_EQ(textOf(*form, "ActionTypeLab"), std::string(actionTypeText(type)));
    ASSERT_TRUE(waitEnd());
    EXPECT_EQ(logLines(), asShown(expected.logLines));
    EXPECT_EQ(textOf(*form, "labactlog"), reportsUnique(type) ? "Unique log" : "Matches log");
    EXPECT_EQ(textOf(*form, "Invisilab"), finishText(type, n));
    if (isRemoval(type)) {
      EXPECT_EQ(textOf(*form, "DeleteBut"), "&DELETE");
      EXPECT_TRUE(shown(*form, "AbortBut"));
      // The matching is over: no pair and no "Searching" while the removal waits.
      EXPECT_FALSE(shown(*form, "labfile1") || shown(*form, "labfile2"));
      EXPECT_EQ(toStd(form->windowTitle()), " Lists comparison");
      click(*form, "DeleteBut");
      ASSERT_TRUE(waitClosed());
      EXPECT_EQ(main.list().items, oracleAfterRemoval(expected, internalItems, type));
      EXPECT_TRUE(main.list().unsaved);
      EXPECT_TRUE(form->listChanged());
      continue;
    }
    EXPECT_EQ(textOf(*form, "DeleteBut"), "&CLOSE");
    EXPECT_FALSE(shown(*form, "AbortBut"));
    EXPECT_EQ(toStd(form->windowTitle()), " Lists comparison");
    EXPECT_EQ(shown(*form, "ViewLogBut"), outputOf(type) == OutputKind::Text);
    const QLabel* logLabel = control<QLabel>(*form, "labactlog");  // fades once the run is over
    EXPECT_TRUE(pumpUntil([&] { return logLabel->palette().color(QPalette::WindowText) == QColor(128, 128, 160); }));
    // The run waits for "&CLOSE": the window does not close before.
    form->close();
    EXPECT_TRUE(form->isVisible());
    click(*form, "DeleteBut");
    ASSERT_TRUE(waitClosed());
    EXPECT_EQ(main.list().items, internalItems);
    EXPECT_FALSE(main.list().unsaved);
    if (outputOf(type) == OutputKind::Text) {
      EXPECT_EQ(writtenEntries(job), oracleLogEntries(expected, internalItems, externalItems, job));
    } else {
      RecordingChannel channel;
      ExternalList back;
      ASSERT_TRUE(loadExternalListFile(job.outputPath, back, channel));
      EXPECT_EQ(back.items, oracleListItems(expected, internalItems, externalItems, job));
    }
  }
}

TEST_F(CompFormTest, ManualConfirmationsThroughMatchAndDiffer) {
  NameGenerator gen(5);
  const std::vector<ListItem> internalItems = gen.list(40);
  std::vector<ListItem> externalItems = gen.list(40);
  for (size_t k = 0; k < externalItems.size(); k += 2)
    externalItems[k].fileName = gen.variant(internalItems[gen.pick(internalItems.size())].fileName);
  CompareJob job = makeJob(home, 7, 0, 70);
  job.settings.actionMode = 2;
  writeExternalList(job.inputPath, externalItems);
  size_t oracleAsked = 0;
  const OracleResult expected = oracleCompare(internalItems, externalItems, job,
                                              [&](size_t, size_t, uint8_t) { return answerAt(oracleAsked++); });
  ASSERT_GE(expected.scoresAsked.size(), 3u);

  start(internalItems, job);
  size_t asked = 0;
  for (;;) {
    ASSERT_TRUE(pumpUntil([&] { return form->promptsShown() > asked || shown(*form, "DeleteBut"); }));
    if (form->promptsShown() == asked) break;
    const std::string title = " Please confirm this " + std::to_string(expected.scoresAsked[asked]) + " % match:";
    EXPECT_EQ(toStd(form->windowTitle()), title);
    EXPECT_EQ(textOf(*form, "labprog"), title);
    EXPECT_EQ(textOf(*form, "labfile1").rfind("File 1: ", 0), 0u);
    EXPECT_EQ(textOf(*form, "labfile2").rfind("File 2: ", 0), 0u);
    click(*form, answerAt(asked) == kCompareMatch ? "MatchBut" : "DontMatchBut");
    ++asked;
  }
  EXPECT_EQ(asked, expected.scoresAsked.size());
  EXPECT_EQ(logLines(), asShown(expected.logLines));
  click(*form, "DeleteBut");
  ASSERT_TRUE(waitClosed());
  EXPECT_EQ(writtenEntries(job), oracleLogEntries(expected, internalItems, externalItems, job));
}

TEST_F(CompFormTest, AbortInEachPhase) {
  NameGenerator gen(8);
  const std::vector<ListItem> internalItems = gen.list(30);
  std::vector<ListItem> externalItems = internalItems;  // every title matches

  {
    SCOPED_TRACE("confirming: the stop question, and Yes saves the matches found so far");
    CompareJob job = makeJob(home, 5, 0, 90);
    job.settings.actionMode = 2;
    writeExternalList(job.inputPath, externalItems);
    platform::removeFile(job.outputPath);
    start(internalItems, job);
    for (size_t k = 0; k < 3; ++k) {
      ASSERT_TRUE(pumpUntil([&] { return form->promptsShown() > k; }));
      click(*form, "MatchBut");
    }
    ASSERT_TRUE(pumpUntil([&] { return form->promptsShown() > 3; }));
    form->ui().script({Answer::Yes});
    click(*form, "AbortBut");
    ASSERT_EQ(form->ui().shown.size(), 1u);
    EXPECT_EQ(form->ui().shown[0].text, "Save the matches found so far?");
    EXPECT_EQ(form->ui().shown[0].caption, "prompt");
    pumpUntil([&] { return closed || shown(*form, "DeleteBut"); });
    if (!closed) click(*form, "DeleteBut");
    ASSERT_TRUE(waitClosed());
    EXPECT_EQ(main.list().items, internalItems);
  }
  {
    SCOPED_TRACE("removal: ABORT instead of DELETE removes nothing");
    CompareJob job = makeJob(home, 4, 0, 90);
    writeExternalList(job.inputPath, externalItems);
    start(internalItems, job);
    ASSERT_TRUE(waitEnd());
    EXPECT_EQ(textOf(*form, "Invisilab"), finishText(4, 30));
    click(*form, "AbortBut");
    ASSERT_TRUE(waitClosed());
    EXPECT_EQ(main.list().items, internalItems);
    EXPECT_FALSE(main.list().unsaved);
  }
  {
    SCOPED_TRACE("loading: the loader stops, nothing is written");
    CompareJob job = makeJob(home, 0, 1, 90);
    std::string text;
    for (int k = 0; k < 300000; ++k) text += "Some Artist - Some Title number " + std::to_string(k) + ".mp3\r\n";
    home.writeFile("external.txt", text);
    platform::removeFile(job.outputPath);
    start(internalItems, job);
    ASSERT_TRUE(pumpUntil([&] { return form->run() != nullptr; }));
    form->ui().script({Answer::No});  // should the loading be over already: nothing saved
    click(*form, "AbortBut");
    ASSERT_TRUE(waitClosed());
    EXPECT_FALSE(platform::fileExists(job.outputPath));
    EXPECT_EQ(main.list().items, internalItems);
  }
}

TEST_F(CompFormTest, TheOldestLayoutIsReadOnlyWhenTheUserSaysSo) {
  ListItem old = item("Old - Song");
  old.frames = 8230;  // 215 s at 44.1 kHz
  old.sizeKB = 5000;
  for (const bool yes : {false, true}) {
    SCOPED_TRACE(yes ? "Yes" : "No");
    CompareJob job = makeJob(home, 7, 0, 90);
    home.writeFile("external.snlg", kShortMagic + "\x01" + shortItem("Old - Song", std::string(40, 'L'), 215, true));
    platform::removeFile(job.outputPath);
    start({old, item("Other - Tune")}, job);
    form->ui().script({yes ? Answer::Yes : Answer::No});
    ASSERT_TRUE(pumpUntil([&] { return closed || shown(*form, "DeleteBut"); }));
    ASSERT_GE(form->ui().shown.size(), 1u);
    EXPECT_EQ(form->ui().shown[0].caption, "invalid data found");
    EXPECT_EQ(form->ui().shown[0].text,
              "External file doesn't seem to be a SNLG file.\r\nTry to process as mp3SNLG v4.0 - v4.12 file?");
    if (!yes) {
      EXPECT_TRUE(closed);
      EXPECT_FALSE(platform::fileExists(job.outputPath));
      continue;
    }
    EXPECT_EQ(logLines(), std::vector<std::string>{"Old - Song"});
    click(*form, "DeleteBut");
    ASSERT_TRUE(waitClosed());
    EXPECT_EQ(writtenEntries(job), std::vector<std::string>{"Old - Song"});
  }
}

TEST_F(CompFormTest, FailuresAreShownAndCloseTheWindow) {
  NameGenerator gen(9);
  const std::vector<ListItem> internalItems = gen.list(10);
  {
    CompareJob job = makeJob(home, 2, 0, 90);
    home.writeFile("external.snlg", std::string("\xFD\xFD\x05\x22", 4) + "junk");
    start(internalItems, job);
    ASSERT_TRUE(waitClosed());
    ASSERT_EQ(form->ui().shown.size(), 1u);
    EXPECT_EQ(form->ui().shown[0].text, "External file is not a proper SNLG list.");
    EXPECT_EQ(form->ui().shown[0].caption, "Warning");
  }
  {
    CompareJob job = makeJob(home, 2, 0, 90);
    writeExternalList(job.inputPath, gen.list(10));
    job.outputPath = home.path("missing/out.txt");
    start(internalItems, job);
    ASSERT_TRUE(waitClosed());
    ASSERT_EQ(form->ui().shown.size(), 1u);
    EXPECT_EQ(form->ui().shown[0].text, std::string(writeErrorText(2)));
    EXPECT_EQ(main.list().items, internalItems);
  }
  {
    // The program closing stops a run that waits for a confirmation.
    CompareJob job = makeJob(home, 4, 0, 90);
    job.settings.actionMode = 2;
    writeExternalList(job.inputPath, internalItems);
    start(internalItems, job);
    ASSERT_TRUE(pumpUntil([&] { return form->promptsShown() > 0; }));
    form->stop();
    ASSERT_TRUE(closed);
    EXPECT_EQ(main.list().items, internalItems);
  }
}

}  // namespace
}  // namespace sonalog::testing

#include <gtest/gtest.h>

#include <fstream>

#include "compare/CompUnit.h"
#include "compare/CompareDriver.h"
#include "compare/CompareReport.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "tests/compare/CompareFixture.h"

namespace sonalog::testing {
namespace {

class CompareRunTest : public ::testing::Test {
 protected:
  TempHome home;
  InternalList internal;
  ScriptedResponder responder;

  CompOutcome run(const CompareJob& job) {
    TMyThread worker(internal, job);
    const CompOutcome outcome = driveCompare(worker, responder);
    finish = worker.finishText();
    matches = worker.matches();
    unique = worker.uniqueCount();
    listChanged = worker.listChanged();
    return outcome;
  }
  void writeText(const std::string& text) { home.writeFile("external.txt", text); }

  std::string finish;
  uint32_t matches = 0, unique = 0;
  bool listChanged = false;
};

TEST_F(CompareRunTest, UniqueExternalLinesAreLoggedAsTheyStood) {
  internal.items = {item("Nova - Silver Morning"), item("Kestrel - Night Train")};
  writeText("01 Alpha Band - First Song.mp3 3:45 128kbps\r\nNova - Silver Morning.mp3\r\n\r\n"
            "Zed - Other Tune.mp3 4.1 MB\r\n");
  const CompareJob job = makeJob(home, 0, 1);
  EXPECT_EQ(run(job), CompOutcome::Completed);
  EXPECT_EQ(finish, "Finished. 2 unique titles from external list written to log file.");
  EXPECT_EQ(unique, 2u);
  EXPECT_EQ(logBody(home.readFile("out.txt")),
            (std::vector<std::string>{"2 unique titles found in \"external.txt\":", "",
                                      "01 Alpha Band - First Song.mp3 3:45 128kbps",
                                      "Zed - Other Tune.mp3 4.1 MB"}));
  EXPECT_TRUE(home.readFile("out.txt").starts_with("Mp3 Sonalog log file at "));
  EXPECT_TRUE(responder.warnings.empty());
}

TEST_F(CompareRunTest, NothingToWriteWritesNoFile) {
  internal.items = {item("Nova - Silver Morning"), item("Kestrel - Night Train")};
  writeExternalList(home.path("external.snlg"), {item("nova - silver morning"), item("KESTREL - NIGHT TRAIN")});
  CompareJob job = makeJob(home, 2, 0);
  EXPECT_EQ(run(job), CompOutcome::Completed);
  EXPECT_EQ(finish, "Finished. No unique titles found. Log file not written.");
  EXPECT_FALSE(platform::fileExists(job.outputPath));

  // Every other type's "nothing" text, with nothing in common.
  writeExternalList(home.path("external.snlg"), {item("Other - Thing")});
  const std::pair<int, const char*> cases[] = {
      {4, "Finished. No matches to remove from internal list."},
      {5, "Finished. No matches found. Log file not written."},
      {6, "Finished. No matches found. New list not created."},
      {7, "Finished. No matches found. Log file not written."},
      {8, "Finished. No matches found. New list not written."}};
  for (const auto& [type, text] : cases) {
    job = makeJob(home, type, 0);
    EXPECT_EQ(run(job), CompOutcome::Completed) << type;
    EXPECT_EQ(finish, text) << type;
    EXPECT_FALSE(platform::fileExists(job.outputPath)) << type;
  }
}

TEST_F(CompareRunTest, RemovalOfMatchesWaitsForDelete) {
  const char* names[] = {"Amber - Glow", "Birch - Falling", "Cobalt - Rain", "Dune - Sand Song",
                         "Ember - Night", "Fjord - Cold Water", "Grove - Trees"};
  for (const char* n : names) internal.items.push_back(item(n));
  std::vector<ListItem> external;
  for (int i = 0; i < 5; ++i) external.push_back(item(platform::foldCase(names[i])));
  writeExternalList(home.path("external.snlg"), external);
  const CompareJob job = makeJob(home, 4, 0);

  responder.removeAtEnd = false;  // "&ABORT" instead of "&DELETE"
  EXPECT_EQ(run(job), CompOutcome::Declined);
  EXPECT_EQ(finish, "Finished. 5 matches to be removed from internal list.");
  EXPECT_EQ(internal.itemCount(), 7u);
  EXPECT_FALSE(internal.unsaved);

  responder.removeAtEnd = true;
  EXPECT_EQ(run(job), CompOutcome::Completed);
  ASSERT_EQ(internal.itemCount(), 2u);
  EXPECT_EQ(internal.items[0].fileName, "Fjord - Cold Water");
  EXPECT_EQ(internal.items[1].fileName, "Grove - Trees");
  EXPECT_TRUE(internal.unsaved);
  EXPECT_TRUE(listChanged);
}

TEST_F(CompareRunTest, RemovingEveryUniqueTitleCanEmptyTheList) {
  internal.items = {item("One - Song"), item("Two - Song")};
  writeExternalList(home.path("external.snlg"), {item("Three - Other")});
  EXPECT_EQ(run(makeJob(home, 9, 0)), CompOutcome::Completed);
  EXPECT_EQ(finish, "Finished. 2 unique titles to be removed from internal list.");
  EXPECT_EQ(internal.itemCount(), 0u);
  EXPECT_TRUE(internal.unsaved);
}

TEST_F(CompareRunTest, LoadingFailuresEndTheRunWithTheirMessage) {
  internal.items = {item("One - Song")};
  home.writeFile("external.snlg", std::string("\xFD\xFD\x05\x22\x00", 5) + "rest");
  EXPECT_EQ(run(makeJob(home, 2, 0)), CompOutcome::Failed);
  EXPECT_EQ(responder.warnings, std::vector<std::string>{"External file is not a proper SNLG list."});
  EXPECT_EQ(finish, "");

  responder.warnings.clear();
  CompareJob job = makeJob(home, 2, 1);
  job.inputPath = home.path("missing.txt");
  EXPECT_EQ(run(job), CompOutcome::Failed);
  EXPECT_EQ(responder.warnings, std::vector<std::string>{"Not able to open the external text file."});

  responder.warnings.clear();
  writeText("\r\n\r\n");
  EXPECT_EQ(run(makeJob(home, 2, 1)), CompOutcome::Failed);
  EXPECT_EQ(responder.warnings, std::vector<std::string>{"Nothing imported."});
  EXPECT_EQ(internal.itemCount(), 1u);
}

TEST_F(CompareRunTest, ManualConfirmationShowsBothItemsAndDifferGoesOn) {
  internal.items = {item("Nova - Silver Morning", 4000, 9000), item("Nova - Silver Mornin", 4100, 9010)};
  ListItem ext = item("Nova - Silver Mornin", 4050, 9005);
  ext.volumeLabel = "EXT";
  writeExternalList(home.path("external.snlg"), {ext});
  CompareJob job = makeJob(home, 5, 0);
  job.settings.actionMode = 2;
  // The first candidate (96 %) is rejected, the second (100 %) accepted.
  responder.confirmWith = [](const ScriptedResponder::Asked& a) {
    return a.score == 100 ? kCompareMatch : kCompareDiffer;
  };
  EXPECT_EQ(run(job), CompOutcome::Completed);
  ASSERT_EQ(responder.asked.size(), 2u);
  EXPECT_EQ(responder.asked[0].score, 96);
  EXPECT_EQ(responder.asked[0].line1, "Match 1: Nova - Silver Morning, 3:55, 4000 K, 128 kbps, JS, DATA");
  EXPECT_EQ(responder.asked[0].line2, "Match 2: Nova - Silver Mornin, 3:55, 4050 K, 128 kbps, JS, EXT");
  EXPECT_EQ(responder.asked[1].line1, "Match 1: Nova - Silver Mornin, 3:55, 4100 K, 128 kbps, JS, DATA");
  EXPECT_EQ(finish, "Finished. 1 match from external list written to log file.");
  EXPECT_EQ(logBody(home.readFile("out.txt")),
            (std::vector<std::string>{"1 match found in \"external.snlg\":", "",
                                      "Nova - Silver Mornin, 3:55, 128 kbps, 4050 K, JS"}));

  // Types that walk the internal list show "File 1: " / "File 2: "; any other answer ends the
  // run without output.
  responder.asked.clear();
  job = makeJob(home, 7, 0);
  platform::removeFile(job.outputPath);
  job.settings.actionMode = 2;
  responder.confirmWith = [](const ScriptedResponder::Asked&) { return kCompareEnd; };
  EXPECT_EQ(run(job), CompOutcome::Stopped);
  ASSERT_EQ(responder.asked.size(), 1u);
  EXPECT_TRUE(responder.asked[0].line1.starts_with("File 1: Nova - Silver Morning"));
  EXPECT_TRUE(responder.asked[0].line2.starts_with("File 2: Nova - Silver Mornin"));
  EXPECT_FALSE(platform::fileExists(job.outputPath));
}

TEST_F(CompareRunTest, ActionModeOneAsksOnlyBelowNinetyNine) {
  internal.items = {item("Nova - Silver Morning"), item("Kestrel - Night Train")};
  writeExternalList(home.path("external.snlg"), {item("Nova - Silver Mornin"), item("kestrel - night train")});
  CompareJob job = makeJob(home, 7, 0);
  job.settings.actionMode = 1;
  responder.confirmWith = [](const ScriptedResponder::Asked&) { return kCompareDiffer; };
  EXPECT_EQ(run(job), CompOutcome::Completed);
  ASSERT_EQ(responder.asked.size(), 1u);
  EXPECT_EQ(responder.asked[0].score, 96);
  EXPECT_EQ(finish, "Finished. 1 match from internal list written to log file.");
  EXPECT_EQ(logBody(home.readFile("out.txt")),
            (std::vector<std::string>{"1 match found:", "", "Kestrel - Night Train"}));
}

// An abort while a confirmation waits, answered Yes, writes what was found so far (the pending
// candidate is not counted).
TEST_F(CompareRunTest, AbortDuringConfirmationSavesTheMatchesFoundSoFar) {
  for (int i = 0; i < 5; ++i) internal.items.push_back(item("Band " + std::to_string(i) + " - Tune"));
  std::vector<ListItem> external;
  for (int i = 0; i < 5; ++i) external.push_back(item("Band " + std::to_string(i) + " - Tun"));
  writeExternalList(home.path("external.snlg"), external);
  CompareJob job = makeJob(home, 5, 0);
  job.settings.actionMode = 2;

  struct AbortingResponder : ScriptedResponder {
    bool abortNow = false;
    uint8_t confirm(uint8_t score, const std::string& l1, const std::string& l2) override {
      ScriptedResponder::confirm(score, l1, l2);
      if (asked.size() <= 3) return kCompareMatch;
      abortNow = true;
      return kCompareRunning;  // no answer: the abort comes instead
    }
    bool abortRequested() override { return abortNow; }
    bool saveOnAbort(const std::string& q) override {
      questions.push_back("prompt: " + q);
      return true;
    }
  } aborting;
  TMyThread worker(internal, job);
  EXPECT_EQ(driveCompare(worker, aborting), CompOutcome::Completed);
  EXPECT_EQ(aborting.questions, std::vector<std::string>{"prompt: Save the matches found so far?"});
  EXPECT_EQ(worker.finishText(), "Finished. 3 matches from external list written to log file.");
  const auto body = logBody(home.readFile("out.txt"));
  ASSERT_EQ(body.size(), 5u);
  EXPECT_EQ(body[0], "3 matches found in \"external.snlg\":");
}

TEST_F(CompareRunTest, NewListsKeepVbrAveragesAndClearWhatTheTypeSays) {
  ListItem vbr = item("Vbr - Song", 5000, 10000, kBitrateVbr);
  vbr.averageKbps = 187;
  internal.items = {item("Common - Song"), vbr};
  ListItem extUnique = item("Elsewhere - Song", 3000, 8000, kBitrateVbr);
  extUnique.averageKbps = 201;
  writeExternalList(home.path("external.snlg"), {item("Common - Song"), extUnique}, 0x81);

  // Type 3: the internal unique items under the internal sort byte.
  internal.sortCode = 6;
  EXPECT_EQ(run(makeJob(home, 3, 0)), CompOutcome::Completed);
  EXPECT_EQ(finish, "Finished. 1 unique title from internal list written to new SNLG list.");
  RecordingChannel channel;
  ExternalList back;
  ASSERT_TRUE(loadExternalListFile(home.path("out.snlg"), back, channel));
  EXPECT_EQ(back.sortByte, 6);
  ASSERT_EQ(back.items.size(), 1u);
  EXPECT_EQ(back.items[0], vbr);
  EXPECT_EQ(back.items[0].averageKbps, 187);

  // Type 1: the external unique items without dates, folder and label, under its sort byte.
  EXPECT_EQ(run(makeJob(home, 1, 0)), CompOutcome::Completed);
  EXPECT_EQ(finish, "Finished. 1 unique title from external list written to new SNLG list.");
  ASSERT_TRUE(loadExternalListFile(home.path("out.snlg"), back, channel));
  EXPECT_EQ(back.sortByte, 0x81);
  ASSERT_EQ(back.items.size(), 1u);
  ListItem expected = extUnique;
  expected.fileDate = expected.dateAdded = -1;
  expected.folder.clear();
  expected.volumeLabel.clear();
  EXPECT_EQ(back.items[0], expected);
  EXPECT_EQ(back.items[0].averageKbps, 201);

  // Type 6: matched external items with the file date unknown.
  EXPECT_EQ(run(makeJob(home, 6, 0)), CompOutcome::Completed);
  EXPECT_EQ(finish, "Finished. 1 match from external list written to new SNLG list.");
  ASSERT_TRUE(loadExternalListFile(home.path("out.snlg"), back, channel));
  ASSERT_EQ(back.items.size(), 1u);
  EXPECT_EQ(back.items[0].fileDate, -1);
  EXPECT_EQ(back.items[0].dateAdded, 40100);
}

TEST_F(CompareRunTest, AWriteErrorIsReportedAndLeavesNoFile) {
  internal.items = {item("One - Song")};
  writeExternalList(home.path("external.snlg"), {item("Two - Other")});
  CompareJob job = makeJob(home, 2, 0);
  job.outputPath = home.path("no/such/folder/out.txt");
  EXPECT_EQ(run(job), CompOutcome::Failed);
  EXPECT_EQ(responder.warnings, std::vector<std::string>{"Error: unable to create or write to log file."});
  job = makeJob(home, 1, 0);
  job.outputPath = home.path("no/such/folder/out.snlg");
  responder.warnings.clear();
  EXPECT_EQ(run(job), CompOutcome::Failed);
  EXPECT_EQ(responder.warnings, std::vector<std::string>{"Unable to create or write to the new list."});
}

TEST_F(CompareRunTest, LogEntriesFollowTheTypeAndTheUnknownStyle) {
  ListItem unknown = item("Mystery - Track", -1, -1, 0);
  unknown.stereoMode = 4;
  internal.items = {item("Known - Track"), unknown};
  writeExternalList(home.path("external.snlg"), {item("Other - Thing")});
  CompareJob job = makeJob(home, 2, 0);
  EXPECT_EQ(run(job), CompOutcome::Completed);
  EXPECT_EQ(logBody(home.readFile("out.txt")),
            (std::vector<std::string>{"2 unique titles found:", "",
                                      "Known - Track, 3:55, 128 kbps, 4000 K, JS",
                                      "Mystery - Track, ??:??, ? kbps, ? K, ?"}));
  job.settings.fieldStyle.unknownStyle = 0;
  EXPECT_EQ(run(job), CompOutcome::Completed);
  EXPECT_EQ(logBody(home.readFile("out.txt")).back(), "Mystery - Track");
}

TEST(CompareTextsTest, CountsAndQuestions) {
  EXPECT_EQ(finishText(0, 1), "Finished. 1 unique title from external list written to log file.");
  EXPECT_EQ(finishText(9, 3), "Finished. 3 unique titles to be removed from internal list.");
  EXPECT_EQ(finishText(4, 1), "Finished. 1 match to be removed from internal list.");
  EXPECT_EQ(finishText(8, 2), "Finished. 2 matches from internal list written to new SNLG list.");
  EXPECT_EQ(abortQuestion(0, 0, 2), "Save the log without matches found so far?");
  EXPECT_EQ(abortQuestion(3, 5, 1), "Save the list without matches found so far?");
  EXPECT_EQ(abortQuestion(6, 1, 0), "Save the matches found so far?");
  EXPECT_FALSE(abortQuestion(2, 5, 0));
  EXPECT_FALSE(abortQuestion(4, 5, 5));
  EXPECT_FALSE(abortQuestion(9, 5, 5));
  EXPECT_EQ(platform::fileNameOf("/home/u/lists/old.txt"), "old.txt");
  EXPECT_EQ(platform::fileNameOf("C:\\lists\\old.txt"), "old.txt");
}

}  // namespace
}  // namespace sonalog::testing

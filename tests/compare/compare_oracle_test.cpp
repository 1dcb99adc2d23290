#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "compare/CompUnit.h"
#include "compare/CompareDriver.h"
#include "duplicates/TitleMatch.h"
#include "platform/Files.h"
#include "tests/compare/CompareFixture.h"
#include "tests/support/CompareNames.h"
#include "tests/support/CompareOracle.h"

namespace sonalog::testing {
namespace {

// The manual answers of both sides: MATCH or DIFFER by a hash of what the user sees.
uint8_t answerFor(uint8_t score, const std::string& line1, const std::string& line2) {
  const size_t h = std::hash<std::string>{}(line1 + "|" + line2) ^ score;
  return (h % 3 == 0) ? kCompareDiffer : kCompareMatch;
}

struct RecordingResponder : ScriptedResponder {
  std::vector<std::string> logLines;
  void logLine(const std::string& line) override { logLines.push_back(line); }
  uint8_t confirm(uint8_t score, const std::string& l1, const std::string& l2) override {
    asked.push_back({score, l1, l2});
    return answerFor(score, l1, l2);
  }
};

class CompareOracleTest : public ::testing::Test {
 protected:
  TempHome home;

  // Runs job on the lists and checks every published result against the oracle.
  void check(const std::vector<ListItem>& internalItems, const std::vector<ListItem>& externalItems,
             const CompareJob& job, const std::string& what) {
    SCOPED_TRACE(what);
    const int type = job.settings.compareAction;
    const bool matchPrefix = type == 0 || type == 1 || type == 5 || type == 6;
    const FieldStyle& style = job.settings.fieldStyle;
    const bool outerExternal = matchPrefix;
    const OracleResult expected = oracleCompare(
        internalItems, externalItems, job, [&](size_t r, size_t p, uint8_t score) {
          const ListItem& in = outerExternal ? internalItems[p] : internalItems[r];
          const ListItem& ex = outerExternal ? externalItems[r] : externalItems[p];
          return answerFor(score, confirmLine(matchPrefix ? "Match 1: " : "File 1: ", in, style),
                           confirmLine(matchPrefix ? "Match 2: " : "File 2: ", ex, style));
        });

    InternalList internal;
    internal.items = internalItems;
    internal.sortCode = 5;
    platform::removeFile(job.outputPath);
    RecordingResponder responder;
    TMyThread worker(internal, job);
    const CompOutcome outcome = driveCompare(worker, responder);
    ASSERT_EQ(outcome, CompOutcome::Completed);
    EXPECT_EQ(worker.matches(), expected.matches);
    EXPECT_EQ(worker.uniqueCount(), expected.unique);
    EXPECT_EQ(responder.logLines, expected.logLines);
    ASSERT_EQ(responder.asked.size(), expected.scoresAsked.size());
    for (size_t k = 0; k < responder.asked.size(); ++k)
      EXPECT_EQ(responder.asked[k].score, expected.scoresAsked[k]);

    const uint32_t n = (type <= 3 || type == 9) ? expected.unique : expected.matches;
    if (type == 4 || type == 9) {
      const auto kept = n > 0 ? oracleAfterRemoval(expected, internalItems, type) : internalItems;
      EXPECT_EQ(internal.items, kept);
    } else if (n == 0) {
      EXPECT_FALSE(platform::fileExists(job.outputPath));
    } else if (type == 1 || type == 3 || type == 6 || type == 8) {
      RecordingChannel channel;
      ExternalList back;
      ASSERT_TRUE(loadExternalListFile(job.outputPath, back, channel));
      const auto items = oracleListItems(expected, internalItems, externalItems, job);
      ASSERT_EQ(back.items, items);
      for (size_t k = 0; k < items.size(); ++k) EXPECT_EQ(back.items[k].averageKbps, items[k].averageKbps);
    } else {
      std::vector<std::string> body = logBody(home.readFile(job.outputPath.substr(home.path().size() + 1)));
      ASSERT_GE(body.size(), 2u);
      body.erase(body.begin(), body.begin() + 2);  // the count line and the empty line
      EXPECT_EQ(body, oracleLogEntries(expected, internalItems, externalItems, job));
    }
  }
};

TEST_F(CompareOracleTest, RandomListsGiveTheOracleResultsForEveryTypeModeAndThreshold) {
  const uint8_t thresholds[] = {50, 65, 80, 90, 98, 99, 100};
  uint32_t seed = 1;
  for (uint8_t with = 0; with <= 1; ++with) {
    for (int type = 0; type < 10; ++type) {
      for (uint8_t threshold : thresholds) {
        ++seed;
        NameGenerator gen(seed);
        std::vector<ListItem> internalItems = gen.list(40 + gen.pick(30));
        std::vector<ListItem> externalItems = gen.list(40 + gen.pick(30));
        // Share some names so that every threshold finds matches.
        for (size_t k = 0; k < externalItems.size(); k += 3)
          externalItems[k].fileName = gen.variant(internalItems[gen.pick(internalItems.size())].fileName);
        CompareJob job = makeJob(home, type, with, threshold);
        job.settings.actionMode = static_cast<uint8_t>(seed % 3);
        job.settings.firstLetterCheck = seed % 5 == 0;
        job.settings.highChars = seed % 7 != 0;
        job.settings.bitrateCheck = seed % 4 == 0;
        job.settings.timeCheck = seed % 3 != 0;
        job.settings.sizeCheck = seed % 2 == 0;
        job.relaxedSwitch = with == 1 ? seed % 4 != 0 : seed % 4 == 0;
        if (with == 0) {
          writeExternalList(job.inputPath, externalItems, 7);
        } else {
          std::string text;
          for (const ListItem& i : externalItems) text += i.fileName + (gen.chance(30) ? " 4.1 MB 3:45\r\n" : "\r\n");
          home.writeFile("external.txt", text);
          RecordingChannel channel;
          ExternalList loaded;
          ASSERT_TRUE(loadExternalTextList(job.inputPath, false, loaded, channel));
          externalItems = loaded.items;
        }
        check(internalItems, externalItems, job,
              "with " + std::to_string(with) + " type " + std::to_string(type) + " threshold " +
                  std::to_string(threshold) + " mode " + std::to_string(job.settings.actionMode));
      }
    }
  }
}

// Every threshold from 50 to 98, where the name index or the plain scan picks the inner items an
// outer item is scored against, on lists of random length with random criteria and action types.
TEST_F(CompareOracleTest, EveryThresholdBelowLettersGivesTheOracleResults) {
  for (int threshold = kThresholdMin; threshold < kThresholdLetters; ++threshold) {
    NameGenerator gen(static_cast<uint32_t>(500 + threshold));
    std::vector<ListItem> internalItems = gen.list(30 + gen.pick(90));
    std::vector<ListItem> externalItems = gen.list(30 + gen.pick(90));
    for (size_t k = 0; k < externalItems.size(); k += 2)
      externalItems[k].fileName = gen.variant(internalItems[gen.pick(internalItems.size())].fileName);
    const uint8_t with = static_cast<uint8_t>(gen.pick(2));
    CompareJob job = makeJob(home, static_cast<int>(gen.pick(10)), with, static_cast<uint8_t>(threshold));
    job.settings.actionMode = static_cast<uint8_t>(gen.pick(3));
    job.settings.firstLetterCheck = gen.chance(20);
    job.settings.highChars = gen.chance(70);
    job.settings.timeCheck = gen.chance(60);
    job.settings.timeLimitSec = static_cast<uint16_t>(gen.pick(40));
    job.settings.sizeCheck = gen.chance(60);
    job.settings.sizeLimitKB = static_cast<uint16_t>(gen.pick(600));
    job.relaxedSwitch = false;
    job.pairSearch = std::array{PairSearch::Auto, PairSearch::Index, PairSearch::Plain}[threshold % 3];
    if (with == 0) {
      writeExternalList(job.inputPath, externalItems, 7);
    } else {
      std::string text;
      for (const ListItem& i : externalItems) text += i.fileName + "\r\n";
      home.writeFile("external.txt", text);
      RecordingChannel channel;
      ExternalList loaded;
      ASSERT_TRUE(loadExternalTextList(job.inputPath, false, loaded, channel));
      externalItems = loaded.items;
    }
    check(internalItems, externalItems, job, "threshold " + std::to_string(threshold));
  }
}

TEST_F(CompareOracleTest, AdversarialListsGiveTheOracleResults) {
  // Equal names, names equal but for case, separators and accents, empty and long names, all
  // sizes unknown: many candidates per row, and rows without any.
  std::vector<ListItem> internalItems, externalItems;
  const std::string longA(300, 'a'), longB = std::string(299, 'a') + "b";
  const char* names[] = {"", "a", "ab", "Artist - Title", "artist - title", "Artist_-_Title",
                         "ARTIST-TITLE", "\xC3\x89t\xC3\xA9 - Song", "\xC9t\xE9 - Song",
                         "Ete - Song", "x - y", "Track 9", "Track", "alpha", "alpha beta"};
  for (const char* n : names) {
    internalItems.push_back(item(n, -1, -1, 0));
    externalItems.push_back(item(n, -1, -1, 0));
  }
  internalItems.push_back(item(longA, -1, -1, 0));
  externalItems.push_back(item(longB, -1, -1, 0));
  for (int k = 0; k < 20; ++k) externalItems.push_back(item("Artist - Title", -1, -1, 0));
  for (uint8_t threshold : {50, 80, 98, 99, 100}) {
    for (int type : {0, 2, 4, 5, 7, 9}) {
      for (uint8_t mode = 0; mode < 3; ++mode) {
        CompareJob job = makeJob(home, type, 0, threshold);
        job.settings.actionMode = mode;
        writeExternalList(job.inputPath, externalItems);
        check(internalItems, externalItems, job,
              "type " + std::to_string(type) + " threshold " + std::to_string(threshold) +
                  " mode " + std::to_string(mode));
      }
    }
  }
}

// An abort during an automatic run stops at a stop test: what was written is the oracle's
// result for a prefix of the outer items, never a mixture. The external list (the outer one) is
// long enough for the abort to land while the matching runs; the test checks that it did.
TEST_F(CompareOracleTest, AbortDuringMatchingSavesAConsistentPrefix) {
  NameGenerator gen(99);
  std::vector<ListItem> internalItems = gen.list(600), externalItems = gen.list(4000);
  CompareJob job = makeJob(home, 0, 0, 80);
  writeExternalList(job.inputPath, externalItems);
  const OracleResult full = oracleCompare(internalItems, externalItems, job,
                                          [](size_t, size_t, uint8_t) { return kCompareMatch; });
  struct AbortLater : RecordingResponder {
    const TMyThread* run = nullptr;
    bool asked = false;
    // Once there is something to save, so that the stop question is asked.
    bool abortRequested() override { return run->phase() == CompPhase::Matching && run->uniqueCount() > 0; }
    bool saveOnAbort(const std::string&) override {
      asked = true;
      return true;
    }
  } responder;
  InternalList internal;
  internal.items = internalItems;
  TMyThread worker(internal, job);
  responder.run = &worker;
  const CompOutcome outcome = driveCompare(worker, responder);
  ASSERT_TRUE(outcome == CompOutcome::Completed || outcome == CompOutcome::Stopped);
  // The abort stopped the matching part-way: the stop question was asked, and not every outer
  // item was reached.
  ASSERT_TRUE(responder.asked) << "the run ended before the abort reached it";
  // The unique lines so far are the full run's first ones, one per unmatched outer item.
  const auto& lines = responder.logLines;
  ASSERT_LT(lines.size(), full.logLines.size());
  EXPECT_TRUE(std::equal(lines.begin(), lines.end(), full.logLines.begin()));
  EXPECT_EQ(worker.uniqueCount(), lines.size());
  if (outcome == CompOutcome::Completed && worker.uniqueCount() > 0) {
    std::vector<std::string> body = logBody(home.readFile("out.txt"));
    body.erase(body.begin(), body.begin() + 2);
    EXPECT_EQ(body.size(), lines.size());
  }
}

}  // namespace
}  // namespace sonalog::testing

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "core/DemoCollection.h"
#include "core/Mp3Analysis.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

TEST(DemoCollectionTest, HoldsTheSpreadTheCatalogueShouldBeTriedOn) {
  const auto files = demoCollection();
  ASSERT_EQ(files.size(), 15u);
  Mp3Analyser analyser;
  std::set<int> cbrCodes, frequencies, modes;
  std::set<std::string> rejected, stems;
  int vbrWithXing = 0, vbrWithoutHeader = 0, id3v2 = 0, id3v1 = 0;
  for (const DemoFile& f : files) {
    SCOPED_TRACE(f.relativePath);
    stems.insert(std::filesystem::path(f.relativePath).stem().string());
    if (f.bytes.compare(0, 3, "ID3") == 0) ++id3v2;
    if (f.bytes.size() > 128 && f.bytes.compare(f.bytes.size() - 128, 3, "TAG") == 0) ++id3v1;
    Mp3AnalysisResult r;
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(f.bytes.data()), f.bytes.size());
    if (!analyser.analyseBytes(bytes, AnalysisMode::Fast, r)) {
      rejected.insert(r.errorText);
      EXPECT_EQ(f.relativePath.rfind("Damaged/", 0), 0u);
      continue;
    }
    Mp3AnalysisResult slow;
    ASSERT_TRUE(analyser.analyseBytes(bytes, AnalysisMode::Slow, slow));
    EXPECT_NEAR(r.frames, slow.frames, 1);  // the fast estimate is off by at most the last frame
    if (r.bitrateCode == kBitrateVbr) {
      const bool xing = analyser.frameTable().front().vbrHeader == kXing;
      (xing ? vbrWithXing : vbrWithoutHeader)++;
    } else {
      cbrCodes.insert(r.bitrateCode);
    }
    frequencies.insert(r.frequencyCode);
    modes.insert(r.stereoMode);
  }
  EXPECT_EQ(rejected, (std::set<std::string>{"Mpeg version 2 not supported",
                                             "Doesn't seem like a 32/44.1/48 KHz mp3 file."}));
  EXPECT_GE(cbrCodes.size(), 8u);
  EXPECT_EQ(frequencies, (std::set<int>{0, 1, 2}));
  EXPECT_EQ(modes, (std::set<int>{0, 1, 2, 3}));
  EXPECT_GE(vbrWithXing, 1);
  EXPECT_GE(vbrWithoutHeader, 1);
  EXPECT_GE(id3v2, 3);
  EXPECT_GE(id3v1, 3);
  // Near-duplicate titles: letter case, "_-_" separators, accents, a missing letter.
  for (const char* stem : {"Aurora Lane - Northern Lights", "aurora lane - northern lights",
                           "The_Copper_Kettles_-_Rain_on_the_Roof", "The Copper Kettles - Rain on the Roof",
                           "\xC3\x89lodie Marchand - Caf\xC3\xA9 de la Gare", "Elodie Marchand - Cafe de la Gare",
                           "Milo Brandt Quartet - Blue Harbour", "Milo Brandt Quartet - Blue Harbor"})
    EXPECT_EQ(stems.count(stem), 1u) << stem;
}

TEST(DemoCollectionTest, IsWrittenOnlyIntoANewOrEmptyFolder) {
  testing::TempHome home;
  const auto first = writeDemoCollection(home.path("new/demo"));
  ASSERT_TRUE(first.ok) << first.message;
  EXPECT_EQ(first.files, 15);
  EXPECT_EQ(home.readFile("new/demo/Rock/Aurora Lane - Northern Lights.mp3"), demoCollection().front().bytes);

  const auto again = writeDemoCollection(home.path("new/demo"));
  EXPECT_FALSE(again.ok);
  EXPECT_EQ(again.files, 0);
  EXPECT_EQ(again.message, "The folder " + home.path("new/demo") + " is not empty; give a new or an empty folder.");

  std::filesystem::create_directories(home.path("empty"));
  EXPECT_TRUE(writeDemoCollection(home.path("empty")).ok);

  home.writeFile("file", "x");
  const auto onFile = writeDemoCollection(home.path("file"));
  EXPECT_FALSE(onFile.ok);
  EXPECT_EQ(onFile.message, "Not a folder: " + home.path("file"));
  EXPECT_EQ(home.readFile("file"), "x");
}

}  // namespace
}  // namespace sonalog

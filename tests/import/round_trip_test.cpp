// Export then import gives back every exported field exactly: the importer's output, exported
// again with the same options, is byte for byte the first export.

#include <gtest/gtest.h>

#include <random>

#include "import/ImportCommand.h"
#include "tests/support/ExportFixtures.h"
#include "tests/support/FakeUi.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

using testing::FakeUi;
using testing::TempHome;

struct RandomList {
  bool unknowns = false;   // some unknown values (HTML lists carry them back)
  bool commasInNames = false;
  bool dashedNamesOnly = false;  // names an artist-title split rebuilds exactly
  bool lineBreaks = false;       // line breaks in some names, folders and labels (HTML keeps them)
};

std::vector<ListItem> randomList(std::mt19937& rng, int count, const RandomList& kind) {
  static const char* kWords[] = {"Abba", "Queen & Co", "The \"Best\"", "Rock <live>", "Song",
                                 "Waterloo", "Heart  of Gold", "Night", "Mambo", "Blue"};
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  std::vector<ListItem> items;
  for (int i = 0; i < count; ++i) {
    ListItem it;
    std::string name = std::string(kWords[pick(10)]) + " " + std::to_string(i) + " - " + kWords[pick(10)];
    if (!kind.dashedNamesOnly && pick(5) == 0) name = "Track " + std::to_string(i) + " alone";
    if (kind.commasInNames && pick(4) == 0) name += ", remix, edit";
    it.fileName = name;
    it.folder = pick(2) ? "C:\\Music\\Folder " + std::to_string(i / 7) : "/music/folder " + std::to_string(i / 7);
    it.volumeLabel = std::string("DISK") + static_cast<char>('A' + pick(5));
    if (kind.lineBreaks && pick(4) == 0) {
      it.fileName += pick(2) ? "\n(live)" : "\r\nB-side";
      it.folder += "\rx";
      it.volumeLabel += "\n";
    }
    it.bitrateCode = static_cast<uint8_t>(1 + pick(14));
    if (pick(6) == 0) {
      it.bitrateCode = kBitrateVbr;
      it.averageKbps = static_cast<uint16_t>(96 + pick(200));
    }
    it.sizeKB = pick(20000);
    it.frames = pick(60000);
    it.stereoMode = static_cast<uint8_t>(pick(4));
    it.frequencyCode = static_cast<uint8_t>(pick(3));
    it.fileDate = 32874 + pick(10000);  // 1990 to 2017
    it.dateAdded = 32874 + pick(10000);
    if (kind.unknowns && pick(8) == 0) {
      it.frames = -1;
      it.sizeKB = -1;
      it.bitrateCode = 0;
      it.fileDate = -1;
      it.frequencyCode = 255;
      it.stereoMode = 4;
    }
    items.push_back(it);
  }
  return items;
}

class RoundTripTest : public ::testing::Test {
 protected:
  TempHome home;

  // Imports the export of items and checks that exporting the result gives the same bytes.
  void roundTrip(const std::vector<ListItem>& items, const ExportOptions& options,
                 const HtmlPage& page, const std::string& what) {
    SCOPED_TRACE(what);
    const std::string first = testing::exportedText(items, options, page);
    home.writeFile("list.txt", first);
    FakeUi ui;
    InternalList list;
    ImportSettings settings;
    settings.ComboStyle = options.style.dateStyle;  // the main options the list was made with
    settings.daRadio = 1;
    settings.shown = options.fields;  // so the importer asks only if it reads other fields
    const ShownFields f = options.fields;
    const bool created = f.has(ShownField::DateCreated);
    if (created != f.has(ShownField::DateAdded) && !f.has(ShownField::Path) && options.type == ExportType::Text)
      ui.answers.push_back(created ? Answer::Yes : Answer::No);
    ImportCommand cmd(list, settings, ui);
    cmd.setVolumeSource([] { return std::vector<platform::Volume>{}; });
    ASSERT_TRUE(cmd.importFile(home.path("list.txt"))) << (ui.shown.empty() ? ui.lastStatus() : ui.shown.back().text);
    ASSERT_EQ(list.items.size(), items.size());
    for (const auto& box : ui.shown) EXPECT_EQ(box.caption, std::string("text import")) << box.text;
    HtmlPage again = page;
    again.sortCode = list.sortCode;
    const std::string second = testing::exportedText(list.items, options, again);
    ASSERT_EQ(first.size(), second.size());
    EXPECT_EQ(first, second);
  }
};

// Each field alone: the tag's letter and the column it announces are read back as that field.
TEST_F(RoundTripTest, EachFieldAloneComesBackAsTheOnlyField) {
  std::mt19937 rng(19);
  for (const ShownFieldInfo& f : shownFieldTable()) {
    for (ExportType type : {ExportType::PlainHtml, ExportType::HtmlTable}) {
      ExportOptions o;
      o.type = type;
      o.fields = ShownFields{f.field};
      o.style.dateStyle = 1;  // the locale's short date may have a two-digit year
      roundTrip(randomList(rng, 20, {}), o, {}, f.control);
    }
  }
}

// A ")" inside a field is one delimiter too many: lists delimited by parentheses only come
// back with the variable-bitrate styles that write none.
uint8_t vbrStyleFor(uint8_t delimiter, int wanted) {
  static constexpr uint8_t kWithoutParentheses[] = {0, 1, 2, 3, 9};
  if (delimiter == kDelimiterParentheses) return kWithoutParentheses[wanted % 5];
  return static_cast<uint8_t>(wanted % 10);
}

ExportOptions allFields(ExportType type) {
  ExportOptions o;
  o.type = type;
  o.fields = ShownFields::all();
  o.fields.set(ShownField::Enumeration, false);
  return o;
}

TEST_F(RoundTripTest, TextListsWithEachDelimiterAndStyle) {
  std::mt19937 rng(7);
  for (uint8_t delimiter : {0, 1, 2, 3, 5}) {
    for (bool enumerate : {false, true}) {
      ExportOptions o = allFields(ExportType::Text);
      o.delimiter = delimiter;
      o.fields.set(ShownField::Enumeration, enumerate);
      o.style.dateStyle = static_cast<uint8_t>(1 + (delimiter + enumerate) % 3);
      o.style.sizeStyle = static_cast<uint8_t>((delimiter + 2 * enumerate) % 5);
      o.style.stereoStyle = enumerate;
      o.style.vbrStyle = vbrStyleFor(delimiter, delimiter * 3 + enumerate);
      RandomList kind;
      kind.commasInNames = delimiter == 0;
      roundTrip(randomList(rng, 150, kind), o, {},
                "delimiter " + std::to_string(delimiter) + (enumerate ? " enumerated" : ""));
    }
  }
}

TEST_F(RoundTripTest, TextListsWithFewerFields) {
  std::mt19937 rng(11);
  ExportOptions o;
  o.type = ExportType::Text;
  o.delimiter = kDelimiterTabs;
  using enum ShownField;
  o.fields = ShownFields{Playtime, Bitrate, Size, Path, DateAdded};
  o.style.dateStyle = 3;
  roundTrip(randomList(rng, 40, {}), o, {}, "time, bitrate, size, path, date added");
  o.fields = ShownFields{Playtime, Frequency, DateCreated};
  o.delimiter = kDelimiterBrackets;
  o.style.dateStyle = 2;
  roundTrip(randomList(rng, 40, {}), o, {}, "time, frequency, date created");
}

// Items the analysis rejected carry unknown modes, frequencies and bitrates. Written with the
// program's own marks ("?", "-" or nothing, by the on-error style) into the lines the column
// recognition samples, they must neither hide their columns nor come back as something else.
TEST_F(RoundTripTest, TextListsWithUnknownValuesInTheSampledLines) {
  std::mt19937 rng(17);
  for (uint8_t unknownStyle : {0, 1, 2}) {
    for (uint8_t delimiter : {0, 5}) {
      for (bool longStereo : {false, true}) {
        ExportOptions o;
        o.type = ExportType::Text;
        o.delimiter = delimiter;
        o.fields.set(ShownField::StereoMode);
        o.fields.set(ShownField::Frequency);
        o.style.unknownStyle = unknownStyle;
        o.style.stereoStyle = longStereo;
        std::vector<ListItem> items = randomList(rng, 40, {});
        for (size_t i = 0; i < items.size(); i += 3) {
          items[i].stereoMode = 4;
          items[i].bitrateCode = 0;
          items[i].frequencyCode = 255;
        }
        items[4].sizeKB = -1;
        roundTrip(items, o, {},
                  "unknown style " + std::to_string(unknownStyle) + ", delimiter " + std::to_string(delimiter) +
                      (longStereo ? ", long modes" : ""));
      }
    }
  }
}

TEST_F(RoundTripTest, PlainHtmlLists) {
  std::mt19937 rng(3);
  for (uint8_t delimiter : {0, 1, 2, 3}) {
    ExportOptions o = allFields(ExportType::PlainHtml);
    o.delimiter = delimiter;
    o.fields.set(ShownField::Enumeration, delimiter % 2 == 0);
    o.style.dateStyle = static_cast<uint8_t>(1 + delimiter % 3);
    o.style.vbrStyle = vbrStyleFor(delimiter, 4 + delimiter);
    o.style.stereoStyle = delimiter % 2;
    RandomList kind;
    kind.unknowns = true;
    kind.lineBreaks = true;
    HtmlPage page;
    page.sortCode = static_cast<uint8_t>(delimiter);
    roundTrip(randomList(rng, 120, kind), o, page, "plain delimiter " + std::to_string(delimiter));
  }
}

TEST_F(RoundTripTest, HtmlTablesWithAndWithoutCaptionsAndSplit) {
  std::mt19937 rng(5);
  RandomList kind;
  kind.unknowns = true;
  kind.dashedNamesOnly = true;
  kind.lineBreaks = true;
  for (int variant = 0; variant < 8; ++variant) {
    ExportOptions o = allFields(ExportType::HtmlTable);
    o.fields.set(ShownField::Enumeration, variant % 2 == 0);
    o.splitNames = variant / 2 % 2 == 1;
    o.centerNames = variant == 3;
    o.style.dateStyle = static_cast<uint8_t>(1 + variant % 3);
    o.style.vbrStyle = static_cast<uint8_t>(variant);
    o.style.sizeStyle = static_cast<uint8_t>(variant % 5);
    HtmlPage page;
    std::vector<ListItem> items = randomList(rng, 100, kind);
    if (variant >= 4) {
      // Captions from the list: grouped by folder (or label), without that column.
      const bool byLabel = variant >= 6;
      page.sortCode = byLabel ? 9 : 7;
      page.captionMode = CaptionMode::FromList;
      if (byLabel) o.fields.set(ShownField::VolumeLabel, variant == 7);
      else o.fields.set(ShownField::Path, variant == 5);
      std::stable_sort(items.begin(), items.end(), [&](const ListItem& a, const ListItem& b) {
        return byLabel ? a.volumeLabel < b.volumeLabel : a.folder < b.folder;
      });
    } else if (variant == 2) {
      page.captionMode = CaptionMode::Typed;
      page.caption = "My  list & more";
    }
    roundTrip(items, o, page, "table variant " + std::to_string(variant));
  }
}

TEST_F(RoundTripTest, TextListWithTheTitleRowFails) {
  std::mt19937 rng(9);
  ExportOptions o = allFields(ExportType::Text);
  o.headerRow = true;
  o.style.dateStyle = 1;
  home.writeFile("list.txt", testing::exportedText(randomList(rng, 50, {}), o));
  FakeUi ui;
  InternalList list;
  ImportSettings settings;
  ImportCommand cmd(list, settings, ui);
  EXPECT_FALSE(cmd.importFile(home.path("list.txt")));
  ASSERT_FALSE(ui.shown.empty());
  EXPECT_EQ(ui.shown[0].caption, "import failed");
  EXPECT_TRUE(list.items.empty());
}

}  // namespace
}  // namespace sonalog

namespace sonalog {
namespace {

// Lists far longer than one conversion block: tags and entities across the block boundaries.
TEST_F(RoundTripTest, LongListsCrossEveryReadBlock) {
  std::mt19937 rng(13);
  RandomList kind;
  kind.unknowns = true;
  ExportOptions table = allFields(ExportType::HtmlTable);
  table.fields.set(ShownField::Enumeration);
  table.style.dateStyle = 3;
  roundTrip(randomList(rng, 1500, kind), table, {}, "long table");
  std::vector<ListItem> grouped = randomList(rng, 1500, kind);
  std::stable_sort(grouped.begin(), grouped.end(),
                   [](const ListItem& a, const ListItem& b) { return a.folder < b.folder; });
  HtmlPage captions;
  captions.sortCode = 7;
  captions.captionMode = CaptionMode::FromList;
  table.fields.set(ShownField::Path, false);
  roundTrip(grouped, table, captions, "long table with a caption per folder");
  ExportOptions plain = allFields(ExportType::PlainHtml);
  plain.style.dateStyle = 2;
  roundTrip(randomList(rng, 1500, kind), plain, {}, "long plain list");
}

}  // namespace
}  // namespace sonalog

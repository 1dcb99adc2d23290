#include <gtest/gtest.h>

#include "import/Detection.h"
#include "import/ImportCommand.h"
#include "import/TextListImport.h"
#include "tests/support/FakeUi.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

using testing::FakeUi;
using testing::TempHome;

const std::string kTableStart = "<CENTER><TABLE CELLSPACING=\"0\" CELLPADDING=\"0\" BORDER=\"1\">";
const std::string kR = "<TD ALIGN=RIGHT><NOBR>&nbsp;";
const std::string kE = "&nbsp;</NOBR></TD>";

struct Row {
  std::string name, folder, time;
};

// An HTML table list as the table export writes it: enumeration, name and time columns,
// grouped by folder with path captions when captions is on.
std::string tableList(const std::vector<Row>& rows, bool captions, int sortCode = 7) {
  char sort[4];
  std::snprintf(sort, sizeof sort, "%03d", sortCode);
  std::string out = "<HTmL><HEAD><TITLE>my mp3 list</TITLE><STYLE TYPE=\"text/css\"><!--\r\ntable\r\n{\r\n}\r\n--></STYLE></HEAD><BODY>";
  out += std::string("<Mp3SNLGtaG LABEL=\"sET0000000000") + sort + "010\">";
  const std::string titleRow =
      "<TR><TD ALign=LEFT><B>No.</B></TD><TD ALign=LEFT><B>filename</B></TD><TD ALign=LEFT><B>time</B></TD></tR>";
  auto caption = [](const std::string& text) {
    return "<Tr><tD CoLsPaN=3 ALign=CENTER mp3SCS=7><NOBR><em>" + text + "</em></NObR></tD></tR>";
  };
  out += kTableStart;
  std::string current;
  for (size_t i = 0; i < rows.size(); ++i) {
    if (captions && (i == 0 || rows[i].folder != current)) {
      if (i > 0) out += "</TaBLE></CENTER><BR>" + kTableStart;
      current = rows[i].folder;
      out += caption(current) + titleRow;
    } else if (!captions && i == 0) {
      out += titleRow;
    }
    out += "<TR>" + kR + std::to_string(i + 1) + ".</NOBR></TD><TD ALIGN=LEFT><NOBR>&nbsp;" + rows[i].name + kE +
           kR + rows[i].time + kE + "</TR>";
  }
  out += "</TaBLE></CENTER></BODY></HTmL>";
  return out;
}

class HtmlImportTest : public ::testing::Test {
 protected:
  TempHome home;
  FakeUi ui;
  InternalList list;
  ImportSettings settings;

  HtmlImportTest() {
    settings.shown.set(ShownField::Enumeration);
    settings.shown.set(ShownField::Bitrate, false);
    settings.shown.set(ShownField::Size, false);
  }
  bool importBytes(const std::string& bytes) {
    home.writeFile("list.html", bytes);
    ImportCommand cmd(list, settings, ui);
    return cmd.importFile(home.path("list.html"));
  }
  std::string dump() const {
    std::string out;
    for (const auto& t : ui.texts()) out += "[" + t + "] ";
    return out + " status: " + ui.lastStatus();
  }
};

TEST_F(HtmlImportTest, TableWithPathCaptionsGivesEveryItemItsFolder) {
  std::vector<Row> rows;
  for (int i = 0; i < 12; ++i)
    rows.push_back({"Artist &amp; Co - Song " + std::to_string(i), i < 5 ? "C:\\Music\\A" : "/home/u/Rock &amp;&nbsp; Roll",
                    std::to_string(i) + ":0" + std::to_string(i % 10)});
  ASSERT_TRUE(importBytes(tableList(rows, true))) << dump();
  ASSERT_EQ(list.items.size(), 12u);
  EXPECT_EQ(list.items[0].fileName, "Artist & Co - Song 0");
  EXPECT_EQ(list.items[0].folder, "C:\\Music\\A");
  EXPECT_EQ(list.items[11].folder, "/home/u/Rock &  Roll");
  EXPECT_EQ(list.items[11].fileName, "Artist & Co - Song 11");
  EXPECT_EQ(list.items[7].frames, framesFromSeconds(7 * 60 + 7, 0));
  EXPECT_EQ(list.sortCode, 7);
}

TEST_F(HtmlImportTest, TableWithoutCaptionsAndTheLastClosingTag) {
  std::vector<Row> rows;
  for (int i = 0; i < 12; ++i) rows.push_back({"Song " + std::to_string(i), "", "3:00"});
  std::string html = tableList(rows, false, 0);
  // A second closing tag further on: the body runs to it, taking the row in between.
  const size_t end = html.rfind("</TaBLE></CENTER>");
  html.insert(end + 17, "<TR>" + kR + "13.</NOBR></TD><TD ALIGN=LEFT><NOBR>&nbsp;Late" + kE + kR + "1:00" + kE +
                            "</TR></TaBLE></CENTER>");
  ASSERT_TRUE(importBytes(html)) << dump();
  ASSERT_EQ(list.items.size(), 13u);
  EXPECT_EQ(list.items[12].fileName, "Late");
  EXPECT_EQ(list.items[0].folder, "");
  EXPECT_EQ(list.sortCode, 0);
}

TEST_F(HtmlImportTest, PlainListEndsAtTheFirstEndTag) {
  std::string html = "<HTmL><HEAD><TITLE>my mp3 list</TITLE></HEAD><BODY><mP3SNLGTAG LABEL=\"SET0000000000063000\">";
  for (int i = 1; i <= 30; ++i) {
    if (i > 1) html += "</NOBR><BR>";
    html += "<NOBR>" + std::string(i < 10 ? "&nbsp;" : "") + std::to_string(i) + ". Song&nbsp; &nbsp;" +
            std::to_string(i) + ", 2:0" + std::to_string(i % 10);
  }
  html += "<mP3SNLGTAG LABEL=\"ENd\"><NOBR>Never, 9:99</NOBR><mP3SNLGTAG LABEL=\"ENd\"></FONT></BODY></HTmL>";
  ASSERT_TRUE(importBytes(html)) << dump();
  ASSERT_EQ(list.items.size(), 30u);
  EXPECT_EQ(list.items[4].fileName, "Song   5");
  EXPECT_EQ(list.items[4].frames, framesFromSeconds(125, 0));
  EXPECT_EQ(list.sortCode, 63);
}

TEST_F(HtmlImportTest, BadInfoTagFailsAfterDecodingTheLettersBeforeIt) {
  ListLayout layout;
  EXPECT_FALSE(decodeInfoTag("<mP3SNLGTAG LABEL=\"SEX0000000000000000\">", layout));
  EXPECT_TRUE(layout.fields.has(ShownField::Enumeration));
  EXPECT_FALSE(layout.fields.has(ShownField::Playtime));
  EXPECT_FALSE(decodeInfoTag("<mP3SNLGTAG LABEL=\"SET0000000000256000\">", layout));
  EXPECT_FALSE(decodeInfoTag("<mP3SNLGTAG LABEL=\"SET0000000000255400\">", layout));
  ASSERT_TRUE(decodeInfoTag("<mP3SNLGTAG LABEL=\"SET000000000S255345\">", layout));
  EXPECT_TRUE(layout.artistTitleSplit);
  EXPECT_EQ(layout.sortState, 255);
  EXPECT_EQ(layout.dateStyle, 3);
  EXPECT_EQ(layout.sizeStyle, 4);
  EXPECT_EQ(layout.delimiterKind, 5);

  std::string html = "<HTmL><BODY><mP3SNLGTAG LABEL=\"SEX0000000000000000\">" + std::string(600, ' ');
  EXPECT_FALSE(importBytes(html));
  EXPECT_EQ(ui.shown[0].text,
            "ERROR!\r\n\nUnable to decode SNLG specific info tag in this file\r\nwhich appears to be a plain HTML list."
            "\r\n\nImport as other (non-SNLG) type text file?");
}

TEST_F(HtmlImportTest, MarkersAcrossReadBlocksAreFound) {
  std::string bytes(200000, 'x');
  const std::string marker = "</TaBLE></CENTER>";
  bytes.replace(65535 - 8, marker.size(), marker);  // across the first block boundary
  bytes.replace(131060, marker.size(), marker);       // across the second
  home.writeFile("big.bin", bytes);
  platform::ReadFile file;
  ASSERT_TRUE(file.open(home.path("big.bin")));
  EXPECT_EQ(findInFile(file, marker, 0, file.size(), false), 65535 - 8);
  EXPECT_EQ(findInFile(file, marker, 0, file.size(), true), 131060);
  EXPECT_EQ(findInFile(file, marker, 65535, file.size(), false), 131060);
  EXPECT_EQ(findInFile(file, "nothing", 0, file.size(), true), -1);
}

TEST_F(HtmlImportTest, TableMarkerBeyondTheFirstBlockIsNotSeen) {
  std::vector<Row> rows;
  for (int i = 0; i < 12; ++i) rows.push_back({"Song " + std::to_string(i), "", "3:00"});
  EXPECT_FALSE(importBytes(std::string(70000, ' ') + tableList(rows, false)));
  // Taken as a text list, which has too long a line.
  ASSERT_FALSE(ui.shown.empty());
  EXPECT_EQ(ui.shown[0].text.rfind("ERROR!\r\n\nLine too long (", 0), 0u);
}

}  // namespace
}  // namespace sonalog

#include "export/HtmlWriter.h"

#include <gtest/gtest.h>

#include "settings/SortKey.h"
#include "tests/support/ExportFixtures.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

using testing::exportedText;
using testing::exportItem;
using testing::FakeUi;


ExportOptions tableOptions() {
  ExportOptions o;
  o.type = ExportType::HtmlTable;
  return o;
}

HtmlPage pageSortedBy(uint8_t sortCode, CaptionMode mode = CaptionMode::None, std::string caption = {}) {
  HtmlPage page;
  page.sortCode = sortCode;
  page.captionMode = mode;
  page.caption = std::move(caption);
  return page;
}

size_t count(const std::string& text, std::string_view what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(HtmlWriterTest, InfoTagRecordsSwitchesSortCodeAndStyles) {
  ExportOptions o;  // time, bitrate and size on; date style 0, size style 1, delimiter 0
  EXPECT_EQ(infoTag(o, 0, ExportType::PlainHtml), "<mP3SNLGTAG LABEL=\"S0TBS00000000000010\">");
  o.fields = ShownFields::all();
  o.style.stereoStyle = 1;
  o.splitNames = true;
  o.style.dateStyle = 3;
  o.style.sizeStyle = 4;
  o.delimiter = 5;
  EXPECT_EQ(infoTag(o, 135, ExportType::HtmlTable), "<Mp3SNLGtaG LABEL=\"sETBSMFCPAV7S135345\">");
  EXPECT_EQ(infoTag(o, 135, ExportType::HtmlTable).size(), 40u);
}

TEST(HtmlWriterTest, StyleBlockFontLinesColoursAndCaptionRule) {
  ExportOptions o;
  o.tableFont = {10, 1, "Arial", kFontBold | kFontItalic | kFontUnderline};
  o.useTextColour = true;
  o.textColour = 0x0080FF;
  EXPECT_EQ(styleBlock(o, "body", false),
            "<STYLE TYPE=\"text/css\"><!--\r\nbody\r\n{\r\nfont-style:italic;\r\nfont-weight:bold;\r\n"
            "text-decoration:underline;\r\nfont-family:'Arial';\r\nfont-size:10pt;\r\n}\r\n--></STYLE>");
  o.plainUsesTableStyle = true;  // the main rule's colour needs both switches
  o.tableFont = {0, 1, "", 0};   // an empty font is written as Courier New, size 1
  EXPECT_EQ(styleBlock(o, "table", true),
            "<STYLE TYPE=\"text/css\"><!--\r\ntable\r\n{\r\nfont-style:normal;\r\ncolor:#FF8000;\r\n"
            "font-family:'Courier New';\r\nfont-size:1pt;\r\n}\r\n"
            "em\r\n{\r\nfont-style:normal;\r\nfont-weight:bold;\r\ncolor:#FF8000;\r\n"
            "font-family:'Courier New';\r\nfont-size:9pt;\r\n}\r\n--></STYLE>");
}

TEST(HtmlWriterTest, PlainHtmlWholeFile) {
  ExportOptions o;
  o.type = ExportType::PlainHtml;
  o.fields.set(ShownField::Enumeration);
  o.delimiter = kDelimiterParentheses;
  o.padLength = 6;
  o.fields.set(ShownField::Path);
  std::vector<ListItem> items;
  for (int i = 0; i < 10; ++i) items.push_back(exportItem("S" + std::to_string(i)));
  items[0].fileName = "A&B";
  items[0].folder = "/m<x>";
  const std::string text = exportedText(items, o);
  const std::string head = "<HTmL><HEAD><TITLE>my mp3 list</TITLE></HEAD><BODY><mP3SNLGTAG LABEL=\"SETBS000P0000063011\">";
  EXPECT_EQ(text.substr(0, head.size()), head);
  const std::string first =
      "<NOBR>&nbsp;1. (A&amp;B &nbsp; )&nbsp;(4:05)&nbsp;(128 kbps)&nbsp;(3835 K)&nbsp;(/m&lt;x&gt;)</NOBR><BR>";
  EXPECT_EQ(text.substr(head.size(), first.size()), first);
  const std::string tail = "<NOBR>10. (S9 &nbsp; &nbsp;)&nbsp;(4:05)&nbsp;(128 kbps)&nbsp;(3835 K)&nbsp;(/music/rock)"
                           "<mP3SNLGTAG LABEL=\"ENd\"></FONT></BODY></HTmL>";
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  EXPECT_EQ(count(text, "</NOBR><BR>"), 9u);
}

TEST(HtmlWriterTest, PlainHtmlTabsStyleAndBackground) {
  ExportOptions o;
  o.type = ExportType::PlainHtml;
  o.delimiter = kDelimiterTabs;
  o.fields = ShownFields{ShownField::Playtime};
  o.plainUsesTableStyle = true;
  o.useBackground = true;
  const std::string text = exportedText({exportItem("a  b")}, o);
  EXPECT_EQ(text, "<HTmL><HEAD><TITLE>my mp3 list</TITLE>" + styleBlock(o, "body", false) +
                      "</HEAD><BODY BGCOLOR=#F0F0F0><mP3SNLGTAG LABEL=\"S0T0000000000063015\">"
                      "<NOBR>a &nbsp;b&nbsp; &nbsp; 4:05<mP3SNLGTAG LABEL=\"ENd\"></FONT></BODY></HTmL>");
}

TEST(HtmlWriterTest, UserFilesReplaceTheProgramsTagsOnlyWithCheckHtag) {
  testing::TempHome home;
  home.writeFile("head.html", "<html><body>\r\n<h1>Mine</h1>");
  home.writeFile("foot.html", "</body></html>\n");
  ExportOptions o = tableOptions();
  o.fields = ShownFields{};
  o.useHeaderFile = o.useFooterFile = true;
  o.htmlHeaderFile = home.path("head.html");
  o.htmlFooterFile = home.path("foot.html");
  o.htmlTagsFromFiles = true;
  const std::string body = "<Mp3SNLGtaG LABEL=\"s000000000000063010\"><CENTER><TABLE CELLSPACING=\"0\" "
                           "CELLPADDING=\"0\" BORDER=\"1\"><TR><TD ALign=LEFT><B>filename</B></TD></tR>"
                           "<TR><TD ALIGN=LEFT><NOBR>&nbsp;x&nbsp;</NOBR></TD></TR></TaBLE></CENTER>";
  EXPECT_EQ(exportedText({exportItem("x")}, o),
            "<html><body>\r\n<h1>Mine</h1>\r\n" + body + "</body></html>\r\n");

  o.htmlTagsFromFiles = false;
  const std::string text = exportedText({exportItem("x")}, o);
  EXPECT_EQ(text.substr(0, 38), "<HTmL><HEAD><TITLE>my mp3 list</TITLE>");
  EXPECT_NE(text.find("</HEAD><BODY><html><body>\r\n<h1>Mine</h1>\r\n<Mp3SNLGtaG"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 30), "</body></html>\r\n</BODY></HTmL>");
}

TEST(HtmlWriterTest, TableRowsCellsAndDefaultTableStart) {
  ExportOptions o = tableOptions();
  o.splitNames = true;
  o.centerNames = true;
  o.fields = ShownFields::all();
  o.style.dateStyle = 3;
  o.style.stereoStyle = 1;
  ListItem it = exportItem("Abba - Water\"loo\"");
  it.bitrateCode = 5;  // " 64"
  const std::string text = exportedText({it}, o);
  EXPECT_NE(text.find("<CENTER><TABLE CELLSPACING=\"0\" CELLPADDING=\"0\" BORDER=\"1\">"), std::string::npos);
  const std::string title =
      "<TR><TD ALign=LEFT><B>No.</B></TD><TD ALign=CENTER><B>artist</B></TD><TD ALign=CENTER><B>title</B></TD>"
      "<TD ALign=LEFT><B>time</B></TD><TD ALign=LEFT><B>kbps</B></TD><TD ALign=LEFT><B>size</B></TD>"
      "<TD ALign=LEFT><B>mode</B></TD><TD ALign=LEFT><B>KHz</B></TD><TD ALign=LEFT><B>created</B></TD>"
      "<TD ALign=LEFT><B>path</B></TD><TD ALign=LEFT><B>added</B></TD>"
      "<TD ALign=LEFT><NOBR><B>volume label</B></NOBR></TD></tR>";
  const std::string row =
      "<TR><TD ALIGN=RIGHT><NOBR>&nbsp;1.</NOBR></TD>"
      "<TD ALIGN=CENTER><NOBR>&nbsp;Abba&nbsp;</NOBR></TD>"
      "<TD ALIGN=CENTER><NOBR>&nbsp;Water&quot;loo&quot;&nbsp;</NOBR></TD>"
      "<TD ALIGN=RIGHT><NOBR>&nbsp;4:05&nbsp;</NOBR></TD>"
      "<TD ALIGN=CENTER><NOBR>&nbsp; 64 &nbsp;</NOBR></TD>"
      "<TD ALIGN=RIGHT><NOBR>&nbsp;3835 K&nbsp;</NOBR></TD>"
      "<TD ALIGN=RIGHT><NOBR>&nbsp;joint stereo&nbsp;</NOBR></TD>"
      "<TD ALIGN=CENTER><NOBR>&nbsp;44.1&nbsp;</NOBR></TD>"
      "<TD ALIGN=RIGHT><NOBR>&nbsp;2003.12.25.&nbsp;</NOBR></TD>"
      "<TD ALIGN=LEFT><NOBR>&nbsp;/music/rock&nbsp;</NOBR></TD>"
      "<TD ALIGN=RIGHT><NOBR>&nbsp;2004.01.14.&nbsp;</NOBR></TD>"
      "<TD ALIGN=LEFT><NOBR>&nbsp;MUSIC&nbsp;</NOBR></TD></TR>";
  EXPECT_NE(text.find(title + row + "</TaBLE></CENTER></BODY></HTmL>"), std::string::npos);
}

TEST(HtmlWriterTest, CaptionModeFollowsChoiceSortAndTypedCaption) {
  EXPECT_EQ(chooseCaptionMode(1, kSortByPath, ""), CaptionMode::FromList);
  EXPECT_EQ(chooseCaptionMode(2, kSortByVolumeLabel | kSortDescending, "x"), CaptionMode::FromList);
  EXPECT_EQ(chooseCaptionMode(1, kSortByFileName, "typed"), CaptionMode::None);
  EXPECT_EQ(chooseCaptionMode(2, kSortByFileName, "typed"), CaptionMode::Typed);
  EXPECT_EQ(chooseCaptionMode(2, kSortByFileName, ""), CaptionMode::None);
  EXPECT_EQ(chooseCaptionMode(3, kSortByPath, "typed"), CaptionMode::Typed);
  EXPECT_EQ(chooseCaptionMode(0, kSortByPath, "typed"), CaptionMode::None);
}

TEST(HtmlWriterTest, TypedCaptionRowThenTitleRowOnce) {
  ExportOptions o = tableOptions();
  o.useBackground = true;
  o.cellSpacing = 2;
  o.cellPadding = 3;
  o.border = 0;
  const std::string text = exportedText({exportItem("a"), exportItem("b")},
                                        o, pageSortedBy(kSortByFileName, CaptionMode::Typed, "My  <list>"));
  EXPECT_NE(text.find("<CENTER><TABLE CELLSPACING=\"2\" CELLPADDING=\"3\" BORDER=\"0\" BGCOLOR=#F0F0F0>"
                      "<Tr><tD CoLsPaN=4 ALign=CENTER mp3SCS=2><NOBR><em>My &nbsp;&lt;list&gt;</em></NObR></tD></tR>"
                      "<TR><TD ALign=LEFT><B>filename</B>"),
            std::string::npos);
  EXPECT_NE(text.find("em\r\n{"), std::string::npos);  // caption rule in the style block
  EXPECT_EQ(count(text, "<B>filename</B>"), 1u);
}

TEST(HtmlWriterTest, CaptionsFromListStartANewTableAtEachFolderIgnoringCase) {
  ExportOptions o = tableOptions();
  o.fields = ShownFields{};
  const std::vector<ListItem> items = {exportItem("a", "/m/One"), exportItem("b", "/M/ONE"),
                                       exportItem("c", "/m/two")};
  const std::string text = exportedText(items, o, pageSortedBy(kSortByPath, CaptionMode::FromList));
  const std::string start = "<CENTER><TABLE CELLSPACING=\"0\" CELLPADDING=\"0\" BORDER=\"1\">";
  const std::string title = "<TR><TD ALign=LEFT><B>filename</B></TD></tR>";
  auto cell = [](const char* name) { return std::string("<TR><TD ALIGN=LEFT><NOBR>&nbsp;") + name + "&nbsp;</NOBR></TD></TR>"; };
  EXPECT_NE(text.find("\">" + start + "<Tr><tD CoLsPaN=1 ALign=CENTER mp3SCS=7><NOBR><em>/m/One</em></NObR></tD></tR>" +
                      title + cell("a") + cell("b") + "</TaBLE></CENTER><BR>" + start +
                      "<Tr><tD CoLsPaN=1 ALign=CENTER mp3SCS=7><NOBR><em>/m/two</em></NObR></tD></tR>" + title +
                      cell("c") + "</TaBLE></CENTER></BODY></HTmL>"),
            std::string::npos);

  const std::string byLabel = exportedText(items, o, pageSortedBy(kSortByVolumeLabel, CaptionMode::FromList));
  EXPECT_EQ(count(byLabel, "mp3SCS=9><NOBR><em>MUSIC</em>"), 1u);
}

TEST(HtmlWriterTest, BatchPageIsTitledAfterTheFolder) {
  EXPECT_EQ(lastFolderComponent("c:\\music\\rock"), "rock");
  EXPECT_EQ(lastFolderComponent("/music/rock"), "rock");
  EXPECT_EQ(lastFolderComponent("c:\\"), "c:\\");
  EXPECT_EQ(lastFolderComponent("/"), "/");
  EXPECT_EQ(HtmlPage::forFolder("/m/R&B", 3).headStart, "<HTML><HEAD><TITLE>R&amp;B</TITLE>");
}

TEST(HtmlWriterTest, CancelStopsTheTable) {
  std::vector<ListItem> items(130, exportItem("x"));
  FakeUi ui;
  ui.cancelAfterEvents = 0;
  ExportRun run(ui, "");
  StringSink out;
  const WriteResult r = writeHtmlTable(out, ItemView(items), tableOptions(), HtmlPage{}, run);
  EXPECT_EQ(r.status, WriteStatus::Cancelled);
  EXPECT_EQ(r.itemsWritten, 64u);
}

}  // namespace
}  // namespace sonalog

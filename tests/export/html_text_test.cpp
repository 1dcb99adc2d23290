#include "export/HtmlText.h"

#include <gtest/gtest.h>

#include "export/LineLayout.h"

namespace sonalog {
namespace {

TEST(HtmlTextTest, EscapeReplacesTheFiveCharacters) {
  EXPECT_EQ(escapeHtml(std::string("a\0\"&<>b", 7)), "a&nbsp;&quot;&amp;&lt;&gt;b");
  EXPECT_EQ(escapeHtml("Caf\xc3\xa9 'x'"), "Caf\xc3\xa9 'x'");
}

TEST(HtmlTextTest, SpaceRunsAlternateStartingWithNbspOnlyForLeadingSpaces) {
  EXPECT_EQ(spaceRunText("  7"), "&nbsp; 7");
  EXPECT_EQ(spaceRunText("a  b"), "a &nbsp;b");
  EXPECT_EQ(spaceRunText("a   b"), "a &nbsp; b");
  EXPECT_EQ(spaceRunText("ab"), "ab");
}

TEST(HtmlTextTest, CaptionTextEscapesThenAlternatesFromAPlainSpace) {
  EXPECT_EQ(captionText("Rock & Roll"), "Rock &amp; Roll");
  EXPECT_EQ(captionText("a  b"), "a &nbsp;b");
  EXPECT_EQ(captionText("  x"), " &nbsp;x");
  EXPECT_EQ(captionText(std::string("a\0\xff" "b", 4)), "a &nbsp;b");
  EXPECT_EQ(captionText("<\"x\">"), "&lt;&quot;x&quot;&gt;");
  EXPECT_EQ(captionText(std::string(300, 'c')), std::string(255, 'c'));
}

TEST(LineLayoutTest, DelimiterStringsAndJoints) {
  EXPECT_EQ(textDelimiters(0).joint, ", ");
  EXPECT_EQ(textDelimiters(0).opening, "");
  EXPECT_EQ(textDelimiters(1).joint, ") (");
  EXPECT_EQ(textDelimiters(2).joint, "] [");
  EXPECT_EQ(textDelimiters(3).joint, "} {");
  EXPECT_EQ(textDelimiters(4).joint, " ");
  EXPECT_EQ(textDelimiters(5).joint, "\t");
  EXPECT_EQ(htmlDelimiters(0).joint, ", ");
  EXPECT_EQ(htmlDelimiters(1).joint, ")&nbsp;(");
  EXPECT_EQ(htmlDelimiters(4).joint, "&nbsp;");
  EXPECT_EQ(htmlDelimiters(5).joint, "&nbsp; &nbsp; ");
}

TEST(LineLayoutTest, PaddingCountsEntitiesAsOneCharacter) {
  EXPECT_EQ(paddedName("abc", 0), "abc");
  EXPECT_EQ(paddedName("abc", 6), "abc   ");
  EXPECT_EQ(paddedName("abcdefgh", 6), "abcdefgh");
  EXPECT_EQ(paddedName("a&amp;b", 5), "a&amp;b  ");
  EXPECT_EQ(paddedName("&quot;x&quot;", 5), "&quot;x&quot;  ");
  EXPECT_EQ(paddedName("Caf\xc3\xa9", 6), "Caf\xc3\xa9  ");  // UTF-8 counts characters
  EXPECT_EQ(paddedName("Caf\xe9", 6), "Caf\xe9  ");          // 8-bit names count bytes
}

TEST(LineLayoutTest, EnumerationWidthIsTheDigitsOfTheCount) {
  EXPECT_EQ(enumerationWidth(0), 1);
  EXPECT_EQ(enumerationWidth(9), 1);
  EXPECT_EQ(enumerationWidth(10), 2);
  EXPECT_EQ(enumerationWidth(999), 3);
  EXPECT_EQ(enumerationWidth(1000000), 7);
}

}  // namespace
}  // namespace sonalog

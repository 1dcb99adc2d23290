#include "export/FieldText.h"

#include <gtest/gtest.h>

#include "platform/Dates.h"

namespace sonalog {
namespace {

ListItem withFrames(int32_t frames, uint8_t frequencyCode = 0) {
  ListItem it;
  it.frames = frames;
  it.frequencyCode = frequencyCode;
  return it;
}

FieldStyle unknownStyle(uint8_t u) {
  FieldStyle s;
  s.unknownStyle = u;
  return s;
}

TEST(FieldTextTest, TimeTextRoundsHalvesToEvenAndKeepsMinutesUncapped) {
  const FieldStyle s;
  EXPECT_EQ(timeTextForSeconds(436, s), "7:16");
  EXPECT_EQ(timeTextForSeconds(3725, s), "62:05");
  EXPECT_EQ(timeTextForSeconds(5, s), "0:05");
  EXPECT_EQ(timeTextForSeconds(2.5, s), "0:02");
  EXPECT_EQ(timeTextForSeconds(3.5, s), "0:04");
  EXPECT_EQ(timeText(withFrames(0), s), "0:00");
  EXPECT_EQ(timeText(withFrames(16744), s), "7:17");  // 437.39 s at 44.1 kHz
  EXPECT_EQ(timeText(withFrames(16744, 200), s), "7:17");  // mixed frequency: 44.1 kHz frames
  EXPECT_EQ(timeText(withFrames(1000, 1), s), "0:24");
  EXPECT_EQ(timeText(withFrames(1000, 2), s), "0:36");
}

TEST(FieldTextTest, UnknownTimeFollowsTheUnknownStyle) {
  EXPECT_EQ(timeText(withFrames(-1), unknownStyle(1)), "??:??");
  EXPECT_EQ(timeText(withFrames(-1), unknownStyle(2)), "--:--");
  EXPECT_EQ(timeText(withFrames(-1), unknownStyle(0)), "");
  EXPECT_EQ(timeTextForSeconds(1e300, unknownStyle(1)), "??:??");  // overflow is unknown

  FieldStyle hours = unknownStyle(1);
  hours.hours = true;
  EXPECT_EQ(longTimeText(withFrames(-1), hours), "?:??:??");
  hours.unknownStyle = 2;
  EXPECT_EQ(longTimeText(withFrames(-1), hours), "-:--:--");
  EXPECT_EQ(longTimeText(withFrames(-1), unknownStyle(2)), "--:--");
  EXPECT_EQ(longTimeText(withFrames(-1), unknownStyle(1)), "??:??");
  EXPECT_EQ(longTimeText(withFrames(-1), unknownStyle(0)), "");
}

TEST(FieldTextTest, LongTimeTextWithHoursAndMilliseconds) {
  FieldStyle s;
  EXPECT_EQ(longTimeTextForSeconds(436, s), "7:16");
  EXPECT_EQ(longTimeTextForSeconds(2.5, s), "0:02");
  s.hours = true;
  EXPECT_EQ(longTimeTextForSeconds(436, s), "0:07:16");
  EXPECT_EQ(longTimeTextForSeconds(3725, s), "1:02:05");
  s.hours = false;
  s.milliseconds = true;
  EXPECT_EQ(longTimeTextForSeconds(436.25, s), "7:16.250");
  EXPECT_EQ(longTimeTextForSeconds(436, s), "7:16");  // whole seconds: no fraction part
  EXPECT_EQ(longTimeTextForSeconds(59.9996, s), "1:00");  // carries into the seconds
  EXPECT_EQ(longTimeTextForSeconds(59.9994, s), "0:59.999");
  EXPECT_EQ(longTimeText(withFrames(1, 1), s), "0:00.024");
  s.hours = true;
  EXPECT_EQ(longTimeText(withFrames(1, 1), s), "0:00:00.024");
}

TEST(FieldTextTest, BitrateTextsForConstantVariableAndUnknown) {
  FieldStyle s;
  const char* expected[] = {"32 kbps",  "40 kbps",  "48 kbps",  "56 kbps",  "64 kbps",
                            "80 kbps",  "96 kbps",  "112 kbps", "128 kbps", "160 kbps",
                            "192 kbps", "224 kbps", "256 kbps", "320 kbps"};
  const char* shortExpected[] = {" 32", " 40", " 48", " 56", " 64", " 80", " 96",
                                 "112", "128", "160", "192", "224", "256", "320"};
  ListItem it;
  for (uint8_t code = 1; code <= 14; ++code) {
    it.bitrateCode = code;
    EXPECT_EQ(bitrateText(it, s), expected[code - 1]);
    EXPECT_EQ(shortBitrateText(it, s), shortExpected[code - 1]);
  }

  it.bitrateCode = kBitrateVbr;
  it.averageKbps = 187;
  const char* vbr[] = {"var.kbps",      "VAR.kbps",      "vbr",           "VBR",          "var(187 kbps)",
                       "VAR(187 kbps)", "vbr(187 kbps)", "VBR(187 kbps)", "(187 kbps)",   "*187 kbps"};
  const char* shortVbr[] = {"var", "VAR", "vbr", "VBR", "var(187)", "VAR(187)", "vbr(187)", "VBR(187)", "(187)",
                            "*187"};
  for (uint8_t style = 0; style <= 9; ++style) {
    s.vbrStyle = style;
    EXPECT_EQ(bitrateText(it, s), vbr[style]);
    EXPECT_EQ(shortBitrateText(it, s), shortVbr[style]);
  }
  s.vbrStyle = 4;
  it.averageKbps = 0;
  EXPECT_EQ(bitrateText(it, s), "var(0 kbps)");

  for (uint8_t code : {0, 15}) {
    it.bitrateCode = code;
    EXPECT_EQ(bitrateText(it, unknownStyle(1)), "? kbps");
    EXPECT_EQ(bitrateText(it, unknownStyle(2)), "- kbps");
    EXPECT_EQ(bitrateText(it, unknownStyle(0)), "");
    EXPECT_EQ(shortBitrateText(it, unknownStyle(1)), "  ?");
    EXPECT_EQ(shortBitrateText(it, unknownStyle(2)), "  -");
    EXPECT_EQ(shortBitrateText(it, unknownStyle(0)), "   ");
  }
}

TEST(FieldTextTest, SizeTextSuffixesAndUnknownSizes) {
  FieldStyle s;
  const char* known[] = {"7132", "7132 K", "7132K", "7132 KB", "7132KB"};
  for (uint8_t style = 0; style <= 4; ++style) {
    s.sizeStyle = style;
    EXPECT_EQ(sizeText(7132, s), known[style]);
  }
  s.sizeStyle = 1;
  EXPECT_EQ(sizeText(-1, s), "? K");
  s.unknownStyle = 0;
  EXPECT_EQ(sizeText(-1, s), "");
  s.unknownStyle = 2;
  s.sizeStyle = 4;
  EXPECT_EQ(sizeText(-1, s), "-KB");
  EXPECT_EQ(sizeText(0, s), "0KB");
}

TEST(FieldTextTest, ModeAndFrequencyTexts) {
  FieldStyle s;
  EXPECT_EQ(modeText(0, s), "S");
  EXPECT_EQ(modeText(1, s), "JS");
  EXPECT_EQ(modeText(2, s), "DC");
  EXPECT_EQ(modeText(3, s), "M");
  EXPECT_EQ(modeText(kStereoModeMixed, s), "?");
  s.stereoStyle = 1;
  EXPECT_EQ(modeText(0, s), "stereo");
  EXPECT_EQ(modeText(1, s), "joint stereo");
  EXPECT_EQ(modeText(2, s), "dual channel");
  EXPECT_EQ(modeText(3, s), "mono");
  s.unknownStyle = 2;
  EXPECT_EQ(modeText(4, s), "-");

  EXPECT_EQ(frequencyText(0), "44.1 KHz");
  EXPECT_EQ(frequencyText(1), "48.0 KHz");
  EXPECT_EQ(frequencyText(2), "32.0 KHz");
  EXPECT_EQ(frequencyText(kFrequencyMixed), "? KHz");  // whatever the unknown style
  EXPECT_EQ(shortFrequencyText(1), "48.0");
  EXPECT_EQ(shortFrequencyText(3), "?");
  EXPECT_EQ(paddedFrequencyText(2), " 32.0 ");
  EXPECT_EQ(paddedFrequencyText(9), " ? ");
}

TEST(FieldTextTest, DateTextStylesAndUnknownDates) {
  FieldStyle s;
  s.dateStyle = 1;
  EXPECT_EQ(dateText(37980, s), "25.12.2003.");
  s.dateStyle = 2;
  EXPECT_EQ(dateText(37980, s), "12.25.2003.");
  s.dateStyle = 3;
  EXPECT_EQ(dateText(37980, s), "2003.12.25.");
  EXPECT_EQ(dateText(1, s), "1899.12.31.");
  s.dateStyle = 0;
  EXPECT_EQ(dateText(37980, s), platform::formatShortDate(37980));

  for (int32_t day : {0, -5, 2958466}) {
    EXPECT_EQ(dateText(day, unknownStyle(1)), "?");
    EXPECT_EQ(dateText(day, unknownStyle(2)), "-");
    EXPECT_EQ(dateText(day, unknownStyle(0)), "");
  }
  s.dateStyle = 3;
  EXPECT_EQ(dateText(2958465, s), "9999.12.31.");
}

TEST(FieldTextTest, PathLabelAndColourTexts) {
  EXPECT_EQ(pathText(std::string("c:\\mu\0sic", 9)), "c:\\music");
  EXPECT_EQ(pathText(std::string(300, 'a')), std::string(255, 'a'));
  EXPECT_EQ(labelText(std::string("DA\0TA", 5)), "DATA");
  EXPECT_EQ(hexColour(0x0080FF), "FF8000");  // red 255, green 128, blue 0
  EXPECT_EQ(hexColour(0xF0F0F0), "F0F0F0");
  EXPECT_EQ(hexColour(0x00000A), "0A0000");
}

TEST(FieldTextTest, ArtistTitleSplit) {
  auto split = [](std::string_view name) {
    const ArtistTitle at = splitArtistTitle(name);
    return std::string(at.artist) + "|" + std::string(at.title);
  };
  EXPECT_EQ(split("AC/DC-Thunder"), "AC/DC|Thunder");
  EXPECT_EQ(split("Abba - Waterloo"), "Abba|Waterloo");
  EXPECT_EQ(split("abcd"), "|abcd");
  EXPECT_EQ(split("a-bc"), "|a-bc");  // shorter than 5: all title
  EXPECT_EQ(split("Abba - Waterloo - Live"), "Abba|Waterloo - Live");
  EXPECT_EQ(split("Abba -Waterloo"), "Abba|Waterloo");
  EXPECT_EQ(split("Abba- Waterloo"), "Abba|Waterloo");
  EXPECT_EQ(split("A-ha - Take On Me"), "A-ha|Take On Me");  // " - " wins over an earlier "-"
  EXPECT_EQ(split("Waterloo"), "|Waterloo");
}

}  // namespace
}  // namespace sonalog

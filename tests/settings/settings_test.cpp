#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "platform/Paths.h"
#include "tests/support/FakeUi.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

using testing::FakeUi;
using testing::TempHome;

// Builds a configuration image byte by byte at the documented offsets, independently of the
// encoder, so the two can be compared.
class Image {
 public:
  Image() : bytes_(kFixedSize, '\0') {}
  void u8(size_t at, uint8_t v) { bytes_[at] = static_cast<char>(v); }
  void le(size_t at, uint32_t v, int width) {
    for (int i = 0; i < width; ++i) bytes_[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  }
  void shortString(size_t at, std::string_view s) {
    bytes_[at] = static_cast<char>(s.size());
    bytes_.replace(at + 1, s.size(), s);
  }
  void addString(std::string_view s) {
    bytes_.push_back(static_cast<char>(s.size() & 0xFF));
    bytes_.push_back(static_cast<char>(s.size() >> 8));
    bytes_.append(s);
  }
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

// The image "Reset ALL options" produces on a 1920 x 1080 screen with the given home folder.
std::string resetImage(const std::string& root) {
  Image im;
  for (size_t at : {0, 1, 6, 12, 29}) im.u8(at, 1);  // playtime, bitrate, size, sort, full path
  im.u8(32, 1);   // unknown-value style
  im.u8(34, 1);   // error action
  im.u8(39, 1);   // size style
  im.le(43, 500, 2);
  im.u8(47, 1);   // border
  im.u8(48, 1);   // main window fades
  im.le(51, 2048, 4);
  im.le(55, 10, 4);
  im.le(59, 0xF0F0F0, 4);
  im.le(67, 12508885, 4);
  im.le(71, 12308949, 4);
  im.le(75, 14737632, 4);
  for (int i = 0; i < 14; ++i) im.le(79 + 4 * i, 64, 4);
  im.u8(135, 8);
  im.u8(136, 8);
  im.u8(137, 9);
  im.u8(138, 1);
  im.u8(139, 1);
  im.u8(140, 1);
  im.shortString(141, "Courier New");
  im.shortString(397, "Courier New");
  im.shortString(653, "Courier New");
  im.u8(911, 1);
  // Block B: centred positions, the viewer size at pair 5.
  const int sizes[15][2] = {{284, 362}, {787, 549}, {320, 314}, {430, 557}, {307, 415},
                            {0, 0},     {482, 307}, {482, 307}, {307, 502}, {700, 600},
                            {256, 286}, {313, 246}, {301, 301}, {227, 310}, {217, 190}};
  for (int i = 0; i < 15; ++i) {
    const bool size = i == 5;
    im.le(912 + 8 * i, size ? 700 : (1920 - sizes[i][0]) / 2, 4);
    im.le(916 + 8 * i, size ? 600 : (1080 - sizes[i][1]) / 2, 4);
  }
  // Block C.
  im.u8(1033, 1);
  im.u8(1034, 99);
  im.u8(1035, 1);
  im.u8(1037, 1);
  im.u8(1038, 2);
  im.u8(1039, 2);
  im.u8(1041, 1);
  for (size_t at : {1045, 1047, 1049, 1050, 1051, 1052, 1054, 1061, 1063}) im.u8(at, 1);
  im.le(1065, 500, 2);
  im.le(1067, 30, 2);
  const char* first[3] = {"00BEDED5", "00E0E0E0", "00BBD1D5"};
  for (int i = 0; i < 16; ++i) {
    char text[9];
    if (i < 3) std::snprintf(text, sizeof text, "%s", first[i]);
    else std::snprintf(text, sizeof text, "00%02X%02X%02X", i, 10 * i + 40, 12 * i + 48);
    im.shortString(1069 + 9 * i, text);
  }
  im.u8(1213, 10);
  im.u8(1214, 1);
  im.shortString(1215, "Courier New");
  // The strings: drive-root ones hold the home folder.
  const std::string c = root;
  const std::string strings[22] = {"", "", "", "", "", c, c, c, c, c, c, c, "", c, c, "", c, c, c, c, "", ""};
  for (const std::string& s : strings) im.addString(s);
  return im.bytes();
}

TEST(SettingsImageTest, ResetAllOptionsGivesTheDocumentedBytes) {
  Settings s;
  s.Checkhr = false;
  s.Checkms = false;
  setAllDefaults(s, ScreenSize{1920, 1080});
  const std::string image = encodeSettings(s);
  const std::string expected = resetImage(platform::homeFolder());
  ASSERT_EQ(image.size(), expected.size());
  for (size_t i = 0; i < image.size(); ++i)
    ASSERT_EQ(static_cast<unsigned char>(image[i]), static_cast<unsigned char>(expected[i])) << "offset " << i;
  EXPECT_EQ(s.customColours[3], "00034654");
}

}  // namespace
}  // namespace sonalog

#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdio>

#include <filesystem>

#include "platform/Paths.h"
#include "settings/SettingsTable.h"
#include "tests/support/FakeUi.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

using testing::FakeUi;
using testing::TempHome;

// Builds a configuration image byte by byte at the file's fixed offsets, independently of the
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

TEST(SettingsImageTest, ResetAllOptionsGivesTheExpectedBytes) {
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


// A well-formed image of the reset record with every string empty.
std::string emptyStringsImage() { return std::string(kFixedSize, '\0') + std::string(2 * kStringCount, '\0'); }

TEST(SettingsImageTest, FileLengthMustMatchTheBlocksAndStrings) {
  Settings s;
  ASSERT_TRUE(decodeSettings(emptyStringsImage(), s));
  EXPECT_EQ(s.headerFileText, "");
  EXPECT_EQ(s.lastOutputFile, "");
  EXPECT_FALSE(s.CheckTime);

  Settings before;
  before.lastCaption = "kept";
  Settings target = before;
  EXPECT_FALSE(decodeSettings(emptyStringsImage() + '\0', target));
  EXPECT_FALSE(decodeSettings(emptyStringsImage().substr(0, kFixedSize + 43), target));
  EXPECT_FALSE(decodeSettings("", target));
  // A string length pointing past the end of the file.
  std::string cut = emptyStringsImage();
  cut[kFixedSize + 42] = 5;
  EXPECT_FALSE(decodeSettings(cut, target));
  EXPECT_EQ(target, before);  // a failed decode changes nothing
}

TEST(SettingsImageTest, EncodeDecodeRoundTrip) {
  Settings s;
  setAllDefaults(s);
  s.CheckVl = true;
  s.ComboVBR = 7;
  s.EditMaxcursav = 65535;
  s.maxsizetext = 1000;
  s.minsizetext = 1;
  s.bgpic = 0x123456;
  s.viewerColumnWidths[13] = -5;
  s.tableFont = FontSetting{12, 0, std::string(255, 'x'), kFontItalic | kFontUnderline};
  s.findWindowPos = WindowPosition{-100, 2000000000};
  s.sizeLimitKB = 9999;
  s.customColours[15] = "";
  s.folderTreeFont.name = "DejaVu Sans Mono";
  s.lastCaption = std::string(kMaxStringBytes, 'c');
  s.mainFolder = "/music/\xc3\xa9t\xc3\xa9";
  s.lastOutputFile = "c:\\out.txt";
  const std::string image = encodeSettings(s);
  Settings back;
  ASSERT_TRUE(decodeSettings(image, back));
  EXPECT_EQ(back, s);
  EXPECT_EQ(encodeSettings(back), image);
}

TEST(SettingsImageTest, OverlongTextsAreCutToTheirSlots) {
  Settings s;
  s.captionFont.name = std::string(300, 'n');
  s.lastCaption = std::string(kMaxStringBytes + 10, 'c');
  // A two-byte UTF-8 letter straddling the 65 535th byte is dropped whole.
  s.startupList = std::string(kMaxStringBytes - 1, 'a') + "\xc3\xa9";
  Settings back;
  ASSERT_TRUE(decodeSettings(encodeSettings(s), back));
  EXPECT_EQ(back.captionFont.name, std::string(255, 'n'));
  EXPECT_EQ(back.lastCaption.size(), kMaxStringBytes);
  EXPECT_EQ(back.startupList, std::string(kMaxStringBytes - 1, 'a'));
}

TEST(SettingsLoadTest, LoadChecksCorrectOutOfRangeValues) {
  std::string image = encodeSettings(Settings());
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) image[at + i] = static_cast<char>(v >> (8 * i));
  };
  put32(55, 0);     // minimum size 0
  put32(51, 5000);  // maximum size 5000
  // A byte stored out of its setting's range, and what a load makes of it.
  struct Stored {
    size_t offset;
    uint8_t raw;
    const char* setting;
    int64_t loaded;
  };
  const Stored stored[] = {
      {40, 150, "estext", 0},
      {30, 10, "ComboVBR", 0},
      {31, 4, "ComboStyle", 0},
      {32, 3, "errorexportcombo", 1},
      {33, 5, "ooptcombo", 0},
      {34, 3, "erroractioncombo", 1},
      {35, 6, "delimiter", 0},
      {36, 7, "ComboCap", 3},  // low 2 bits
      {37, 10, "sortcombo", 0},
      {39, 5, "ComboK", 1},
      {41, 3, "viewerColourScheme", 0},
      {42, 6, "ComboSkip", 2},  // low 2 bits
      {48, 2, "fadeMainWindow", 0},  // bit 0
      {49, 3, "fadeViewerWindow", 1},
      {135, 3, "viewerFont.size", 10},
      {1032, 2, "dsRadio", 0},
      {1033, 3, "daRadio", 1},
      {1035, 5, "actionMode", 2},  // modulo 3
      {1036, 13, "compareAction", 3},  // modulo 10
      {1037, 2, "compareWith", 0},
      {1038, 6, "insertPlacement", 2},
      {1039, 4, "editPlacement", 2},
      {1040, 2, "importFileType", 0},  // bit 0
      {1041, 4, "Rg1", 1},
      {1042, 3, "threadPriority", 0},
      {1043, 7, "viewerTotalTimeStyle", 3},
      {1044, 3, "ComboCow", 0},
      {1213, 33, "folderTreeFont.size", 10},
  };
  for (const Stored& row : stored) image[row.offset] = static_cast<char>(row.raw);
  Settings s;
  ASSERT_TRUE(decodeSettings(image, s));
  applyLoadChecks(s);
  EXPECT_EQ(s.minsizetext, 10);
  EXPECT_EQ(s.maxsizetext, 2048);
  for (const Stored& row : stored) {
    const SettingField* field = settingField(row.setting);
    ASSERT_NE(field, nullptr) << row.setting;
    EXPECT_EQ(field->offset, row.offset) << row.setting;
    EXPECT_EQ(field->getNumber(s), row.loaded) << row.setting;
  }

  // Values at the edges of their ranges stay.
  put32(55, 2000);
  put32(51, 10);
  image[40] = 99;
  ASSERT_TRUE(decodeSettings(image, s));
  applyLoadChecks(s);
  EXPECT_EQ(s.minsizetext, 2000);
  EXPECT_EQ(s.maxsizetext, 10);
  EXPECT_EQ(s.estext, 99);
  put32(55, 0xFFFFFFFF);  // negative minimum
  ASSERT_TRUE(decodeSettings(image, s));
  applyLoadChecks(s);
  EXPECT_EQ(s.minsizetext, 10);
}

TEST(SettingsLoadTest, LoadReadsFilesAndRejectsOthersWithoutChangingTheRecord) {
  TempHome home;
  home.writeFile("exact.ini", emptyStringsImage());
  home.writeFile("long.ini", emptyStringsImage() + "x");
  home.writeFile("short.ini", emptyStringsImage().substr(1));
  std::filesystem::create_directories(home.path("folder.ini"));
  ASSERT_EQ(::mkfifo(home.path("fifo.ini").c_str(), 0600), 0);

  Settings s;
  s.lastCaption = "before";
  const Settings before = s;
  for (const char* name : {"long.ini", "short.ini", "folder.ini", "fifo.ini", "missing.ini"}) {
    EXPECT_FALSE(loadSettings(home.path(name), s)) << name;
    EXPECT_EQ(s, before) << name;
  }
  ASSERT_TRUE(loadSettings(home.path("exact.ini"), s));
  EXPECT_EQ(s.lastCaption, "");
  EXPECT_EQ(s.minsizetext, 10);  // load checks applied: the zero minimum became 10
  EXPECT_EQ(s.maxsizetext, 2048);
}

TEST(SettingsLoadTest, StartupAdoptsTheMainFolderOnlyWhenItExists) {
  TempHome home;
  Settings s;
  s.mainFolder = home.path();
  home.writeFile("a.ini", encodeSettings(s));
  s.mainFolder = home.path("gone");
  home.writeFile("b.ini", encodeSettings(s));
  Settings loaded;
  ASSERT_TRUE(loadSettings(home.path("a.ini"), loaded, LoadOptions{.adoptMainFolder = true}));
  EXPECT_EQ(loaded.mainFolder, home.path());
  ASSERT_TRUE(loadSettings(home.path("b.ini"), loaded, LoadOptions{.adoptMainFolder = true}));
  EXPECT_EQ(loaded.mainFolder, platform::homeFolder());
  ASSERT_TRUE(loadSettings(home.path("b.ini"), loaded));
  EXPECT_EQ(loaded.mainFolder, home.path("gone"));
}

TEST(SettingsSaveTest, SaveReplacesTheWholeFile) {
  TempHome home;
  const std::string path = home.path("mp3snlg.ini");
  home.writeFile("mp3snlg.ini", std::string(100000, 'z'));  // longer than any image below
  Settings s;
  setAllDefaults(s);
  FakeUi ui;
  ASSERT_TRUE(saveSettings(s, path, ui, false));
  EXPECT_EQ(home.readFile("mp3snlg.ini"), encodeSettings(s));
  EXPECT_TRUE(ui.shown.empty());
  Settings back;
  ASSERT_TRUE(loadSettings(path, back));
  EXPECT_EQ(back, s);
}

TEST(SettingsSaveTest, FailedSaveKeepsThePreviousFileAndSaysWhy) {
  TempHome home;
  const std::string path = home.path("mp3snlg.ini");
  Settings old;
  old.lastCaption = "old";
  home.writeFile("mp3snlg.ini", encodeSettings(old));

  // Writes beyond 1 KB fail (EFBIG) while the limit holds: the new image cannot be written.
  struct rlimit saved;
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 1024;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  Settings s;
  s.lastCaption = "new";
  FakeUi ui;
  const bool saved1 = saveSettings(s, path, ui, false);
  const bool saved2 = saveSettings(s, path, ui, true);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(saved1);
  EXPECT_FALSE(saved2);
  EXPECT_EQ(home.readFile("mp3snlg.ini"), encodeSettings(old));
  ASSERT_EQ(ui.shown.size(), 2u);
  EXPECT_EQ(ui.shown[0].text, "Disk error writing configuration file");
  EXPECT_EQ(ui.shown[0].caption, "Error");
  EXPECT_EQ(ui.shown[0].icon, Icon::Error);
  EXPECT_EQ(ui.shown[1].text, "Disk error attempting to initialize configuration file");
  EXPECT_EQ(ui.shown[1].caption, "FATAL ERROR");
  // No temporary file is left behind.
  size_t files = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(home.path())) ++files;
  EXPECT_EQ(files, 2u);  // the configuration and the working folder
}

TEST(SettingsDefaultsTest, DefaultsKeepTheXlsSwitchesAndTheOtherWindowsSettings) {
  Settings s;
  s.Checkhr = true;
  s.Checkms = true;
  s.CheckTime = false;
  s.tableFont.size = 20;
  s.headerFileText = "h.txt";
  s.textMessageFolder = "/x";
  s.viewerFont.size = 20;       // reset only
  s.viewerManualWidths = true;  // reset only
  s.matchThreshold = 70;        // reset only
  s.loadFolder = "/y";          // reset only
  s.sadcheck = true;
  setOptionsDefaults(s);
  EXPECT_TRUE(s.Checkhr);
  EXPECT_TRUE(s.Checkms);
  EXPECT_TRUE(s.CheckTime);
  EXPECT_EQ(s.tableFont.size, 8);
  EXPECT_EQ(s.headerFileText, "");
  EXPECT_EQ(s.textMessageFolder, platform::homeFolder());
  EXPECT_EQ(s.viewerFont.size, 20);
  EXPECT_TRUE(s.viewerManualWidths);
  EXPECT_EQ(s.matchThreshold, 70);
  EXPECT_EQ(s.loadFolder, "/y");
  EXPECT_TRUE(s.sadcheck);

  setAllDefaults(s, ScreenSize{800, 600});
  EXPECT_TRUE(s.Checkhr);
  EXPECT_TRUE(s.Checkms);
  EXPECT_EQ(s.viewerFont.size, 8);
  EXPECT_FALSE(s.viewerManualWidths);
  EXPECT_EQ(s.matchThreshold, 99);
  EXPECT_EQ(s.loadFolder, platform::homeFolder());
  EXPECT_FALSE(s.sadcheck);
  EXPECT_TRUE(s.Incbox);
  // Centred on a screen smaller than the window: negative, rounded toward zero.
  EXPECT_EQ(s.optionsWindowPos, (WindowPosition{6, 25}));
  EXPECT_EQ(s.viewerSize, (WindowPosition{700, 600}));
  EXPECT_EQ(s.viewerWindowPos, (WindowPosition{50, 0}));
  setAllDefaults(s, ScreenSize{701, 599});
  EXPECT_EQ(s.viewerWindowPos, (WindowPosition{0, 0}));  // 1/2 and -1/2 both round to 0
}

TEST(SettingsStartupTest, CopiesFromTheProgramFolderNeverOverwriting) {
  TempHome home;
  const std::string program = home.path("program") + "/";
  Settings shipped;
  shipped.lastCaption = "shipped";
  home.writeFile("program/mp3snlg.ini", encodeSettings(shipped));

  FakeUi ui;
  Settings s;
  EXPECT_EQ(startupSettings(s, ui, {}, workingConfigPath(), program), StartupSettings::Loaded);
  EXPECT_EQ(s.lastCaption, "shipped");
  EXPECT_EQ(home.readFile("home/mp3snlg.ini"), encodeSettings(shipped));

  Settings own;
  own.lastCaption = "own";
  home.writeFile("home/mp3snlg.ini", encodeSettings(own));
  EXPECT_EQ(startupSettings(s, ui, {}, workingConfigPath(), program), StartupSettings::Loaded);
  EXPECT_EQ(s.lastCaption, "own");
  EXPECT_TRUE(ui.shown.empty());
}

TEST(SettingsStartupTest, UnreadableFileIsSilentlyReplacedByDefaults) {
  TempHome home;
  home.writeFile("home/mp3snlg.ini", "not a configuration");
  FakeUi ui;
  Settings s;
  s.Checkhr = true;
  s.lastCaption = "lost";
  EXPECT_EQ(startupSettings(s, ui, ScreenSize{1920, 1080}, workingConfigPath(), home.path("none") + "/"),
            StartupSettings::Initialised);
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_EQ(s.lastCaption, "");
  Settings written;
  ASSERT_TRUE(loadSettings(workingConfigPath(), written));
  Settings expected;
  expected.Checkhr = true;
  setAllDefaults(expected, ScreenSize{1920, 1080});
  EXPECT_EQ(home.readFile("home/mp3snlg.ini"), encodeSettings(expected));
  // The folder list starts in the home folder, the one the file just written holds.
  EXPECT_EQ(s.mainFolder, platform::homeFolder());
  EXPECT_EQ(written.mainFolder, s.mainFolder);
}

TEST(SettingsStartupTest, UnwritableDefaultsAreFatal) {
  TempHome home;
  FakeUi ui;
  Settings s;
  EXPECT_EQ(startupSettings(s, ui, {}, home.path("no/such/folder/mp3snlg.ini"), home.path("none") + "/"),
            StartupSettings::Fatal);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "Disk error attempting to initialize configuration file");
  EXPECT_EQ(ui.shown[0].caption, "FATAL ERROR");
}

TEST(SettingsTest, WindowsAreKeptOnScreen) {
  const ScreenSize screen{1024, 768};
  EXPECT_EQ(keptOnScreen({100, 50}, 300, 200, screen), (WindowPosition{100, 50}));
  EXPECT_EQ(keptOnScreen({900, 700}, 300, 200, screen), (WindowPosition{724, 568}));
  EXPECT_EQ(keptOnScreen({-20, -2147483647 - 1}, 300, 200, screen), (WindowPosition{0, 0}));
  EXPECT_EQ(keptOnScreen({2147483647, 10}, 2000, 200, screen), (WindowPosition{0, 10}));
}

TEST(SettingsTest, MainSortCodeComposesKeyDescendingAndCase) {
  Settings s;
  s.sortcombo = 7;
  EXPECT_EQ(s.mainSortCode(), 7);
  s.CheckDescend = true;
  s.CheckCase = true;
  EXPECT_EQ(s.mainSortCode(), 7 + 128 + 64);
  s.CheckSort = false;
  EXPECT_EQ(s.mainSortCode(), 63);
}

TEST(SettingsOptionsFileTest, LoadOptionsFromKeepsEverythingOnFailure) {
  TempHome home;
  home.writeFile("other.ini", "MZ not settings");
  Settings chosen;
  chosen.ComboStyle = 2;
  home.writeFile("chosen.ini", encodeSettings(chosen));
  Settings s;
  s.lastCaption = "current";
  const Settings before = s;
  FakeUi ui;
  EXPECT_FALSE(loadOptionsFrom(home.path("other.ini"), s, ui));
  EXPECT_EQ(s, before);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "Loading options failed.\r\nProbably not a mp3SNLG configuration file.");
  EXPECT_EQ(ui.shown[0].caption, "Warning");
  EXPECT_TRUE(loadOptionsFrom(home.path("chosen.ini"), s, ui));
  EXPECT_EQ(s.ComboStyle, 2);
  EXPECT_EQ(ui.shown.size(), 1u);
}

TEST(SettingsOptionsFileTest, SaveOptionsAsRefusesTheWorkingFolder) {
  TempHome home;
  Settings s;
  FakeUi ui;
  EXPECT_FALSE(saveOptionsAs(home.home() + "copy.ini", s, ui));
  EXPECT_FALSE(std::filesystem::exists(home.home() + "copy.ini"));
  ASSERT_EQ(ui.texts(), std::vector<std::string>{"You are not allowed to save to application working folder."});
  std::filesystem::create_directories(home.path("mine"));
  EXPECT_TRUE(saveOptionsAs(home.path("mine/copy.ini"), s, ui));
  EXPECT_EQ(s.optionsFileFolder, home.path("mine"));
  Settings back;
  ASSERT_TRUE(loadSettings(home.path("mine/copy.ini"), back));
  EXPECT_EQ(back.optionsFileFolder, "");  // the remembered folder is not part of that copy
}

TEST(SettingsOptionsFileTest, ResetAllOptionsWritesTheWorkingFolderFile) {
  TempHome home;
  Settings s;
  s.Checkms = true;
  s.CheckTime = false;
  FakeUi ui;
  ASSERT_TRUE(resetAllOptions(s, ui, ScreenSize{1024, 768}));
  Settings expected;
  expected.Checkms = true;
  setAllDefaults(expected, ScreenSize{1024, 768});
  EXPECT_EQ(s, expected);
  EXPECT_EQ(home.readFile("home/mp3snlg.ini"), encodeSettings(expected));
}

}  // namespace
}  // namespace sonalog

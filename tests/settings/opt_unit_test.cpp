#include "settings/OptUnit.h"

#include <gtest/gtest.h>

#include "platform/Files.h"
#include "platform/Paths.h"
#include "settings/SettingsTable.h"
#include "tests/support/FakeOptionsDialogs.h"
#include "tests/support/FakeUi.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

using testing::FakeOptionsDialogs;
using testing::FakeUi;
using testing::TempHome;

class OptUnitTest : public ::testing::Test {
 protected:
  OptUnitTest() { setAllDefaults(s); }
  // A fresh window over the current settings.
  OptUnit& open() {
    unit.emplace(s, ui, dialogs, ScreenSize{1280, 800});
    return *unit;
  }
  std::string blockA(const Settings& x) const { return encodeSettings(x).substr(0, kBlockASize); }

  TempHome home;
  Settings s;
  FakeUi ui;
  FakeOptionsDialogs dialogs;
  std::optional<OptUnit> unit;
};

TEST_F(OptUnitTest, CancelRestoresBlockAAndMessageFilesButNotCustomColoursOrFolders) {
  s.headerFileText = "/old/head.txt";
  const Settings before = s;
  OptUnit& u = open();
  u.checkClicked(OptCheck::CheckEnum, true);
  u.checkClicked(OptCheck::Checkhr, true);
  u.comboChanged(OptCombo::ComboVBR, 7);
  u.comboChanged(OptCombo::sortcombo, 9);
  u.delimiterClicked(3);
  u.editChanged(OptEdit::maxsizetext, "100");
  u.editChanged(OptEdit::cstext2, "42");
  u.comboChanged(OptCombo::ComboCow, 1);
  u.comboChanged(OptCombo::ComboTap, 1);
  dialogs.fonts = {FontSetting{20, 9, "Serif", kFontItalic}};
  u.ButTfontClick();
  dialogs.customAfter = std::array<Colour, kCustomColourCount>{0x123456};
  dialogs.colours = {0x808080};
  u.PanelWClick();
  ui.answers = {Answer::Yes};
  ui.dialogResults = {FileDialogResult{home.path("msgs/new.txt"), 0}};
  u.chooseFileClick(OptFile::HeaderText);
  ASSERT_EQ(s.headerFileText, home.path("msgs/new.txt"));
  ASSERT_NE(blockA(s), blockA(before));

  EXPECT_TRUE(u.CancelButClick());
  EXPECT_EQ(blockA(s), blockA(before));
  EXPECT_EQ(s.tableFont, before.tableFont);
  EXPECT_EQ(s.viewerWindowColour, before.viewerWindowColour);
  EXPECT_EQ(s.headerFileText, "/old/head.txt");
  // Block C and the dialog folders keep what happened meanwhile.
  EXPECT_EQ(s.customColours[0], "00123456");
  EXPECT_EQ(s.ComboCow, 1);
  EXPECT_EQ(s.textMessageFolder, home.path("msgs"));
  EXPECT_EQ(u.result().closedBy, OptionsClosed::Cancel);
  EXPECT_FALSE(u.result().displayChanged);
  EXPECT_FALSE(u.result().sortOptionChanged);
  EXPECT_FALSE(platform::fileExists(workingConfigPath()));
}

TEST_F(OptUnitTest, TitleBarClosingAsksOnlyAfterAChangeAndHonoursEachAnswer) {
  EXPECT_TRUE(open().FormCloseQuery());
  EXPECT_TRUE(ui.shown.empty());

  // Cancel keeps the window open and everything typed.
  OptUnit& u = open();
  u.checkClicked(OptCheck::CheckFreq, true);
  ui.answers = {Answer::Cancel};
  EXPECT_FALSE(u.FormCloseQuery());
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "Save options before closing?");
  EXPECT_EQ(ui.shown[0].buttons, Buttons::YesNoCancel);
  EXPECT_EQ(ui.shown[0].defaultAnswer, Answer::No);
  EXPECT_TRUE(s.CheckFreq);

  // Escape keeps it open too, though No is preselected; No acts as CANCEL.
  EXPECT_FALSE(u.FormCloseQuery());
  EXPECT_TRUE(s.CheckFreq);
  ui.answers = {Answer::No};
  EXPECT_TRUE(u.FormCloseQuery());
  EXPECT_FALSE(s.CheckFreq);
  EXPECT_EQ(u.result().closedBy, OptionsClosed::Cancel);

  // Yes acts as OK: the configuration is written.
  OptUnit& again = open();
  again.checkClicked(OptCheck::CheckFreq, true);
  ui.answers = {Answer::Yes};
  EXPECT_TRUE(again.FormCloseQuery());
  EXPECT_EQ(again.result().closedBy, OptionsClosed::Ok);
  EXPECT_TRUE(again.result().displayChanged);
  Settings stored;
  ASSERT_TRUE(loadSettings(workingConfigPath(), stored));
  EXPECT_TRUE(stored.CheckFreq);
}

TEST_F(OptUnitTest, EditFieldsStoreOnlyWholeNumbersInRange) {
  struct Case {
    OptEdit edit;
    const char* below;
    const char* low;
    const char* high;
    const char* above;
  };
  const Case cases[] = {
      {OptEdit::minsizetext, "0", "1", "2000", "2001"},  {OptEdit::maxsizetext, "9", "10", "2048", "2049"},
      {OptEdit::EditMaxcursav, "", "0", "65535", "65536"}, {OptEdit::estext, "", "0", "99", "100"},
      {OptEdit::cstext0, "", "0", "99", "100"},          {OptEdit::cstext1, "", "0", "99", "100"},
      {OptEdit::cstext2, "", "0", "99", "100"},
  };
  OptUnit& u = open();
  for (const Case& c : cases) {
    SCOPED_TRACE(controlName(c.edit));
    EXPECT_EQ(u.editChanged(c.edit, c.low), kGoodValueColour);
    EXPECT_EQ(u.editText(c.edit), c.low);
    EXPECT_EQ(u.editChanged(c.edit, c.high), kGoodValueColour);
    EXPECT_EQ(u.editText(c.edit), c.high);
    for (const char* bad : {c.below, c.above, "abc", "-1", "+5", " 5", "1e3"}) {
      EXPECT_EQ(u.editChanged(c.edit, bad), kBadValueColour) << bad;
      EXPECT_EQ(u.editText(c.edit), c.high) << bad;
    }
  }
  EXPECT_EQ(editHint(OptEdit::minsizetext), "Smallest mp3 file to index, in KB (1 to 2000)");
  EXPECT_EQ(editHint(OptEdit::estext), "Pad each file name with spaces to this length (0 to 99, 0: no padding)");
  // Longer than the field takes, even when the number would fit.
  EXPECT_EQ(u.editChanged(OptEdit::estext, "007"), kBadValueColour);
  EXPECT_EQ(u.editChanged(OptEdit::estext, "07"), kGoodValueColour);
  EXPECT_EQ(s.estext, 7);
}

TEST_F(OptUnitTest, LeavingAnInvalidFieldPutsBackTheValueFromActivation) {
  s.minsizetext = 50;
  OptUnit& u = open();
  EXPECT_EQ(u.editChanged(OptEdit::minsizetext, "300"), kGoodValueColour);
  EXPECT_EQ(s.minsizetext, 300);
  EXPECT_EQ(u.editChanged(OptEdit::minsizetext, "3000"), kBadValueColour);
  EXPECT_EQ(s.minsizetext, 300);
  EXPECT_EQ(u.editLeft(OptEdit::minsizetext, "3000"), "50");
  EXPECT_EQ(s.minsizetext, 50);
  // A valid text stays as typed.
  EXPECT_EQ(u.editLeft(OptEdit::minsizetext, "0100"), "0100");
  EXPECT_EQ(s.minsizetext, 100);
}

TEST_F(OptUnitTest, NeverAskingToSaveIsPointedOutOnce) {
  OptUnit& u = open();
  u.editChanged(OptEdit::EditMaxcursav, "0");
  u.editChanged(OptEdit::EditMaxcursav, "00");
  EXPECT_EQ(ui.texts(), std::vector<std::string>{"This means never display the warning."});
  EXPECT_EQ(ui.shown[0].caption, "Warning");
  EXPECT_TRUE(OptUnit::smallMaxcursavFont("65535"));
  EXPECT_FALSE(OptUnit::smallMaxcursavFont("6553"));
}

TEST_F(OptUnitTest, HeaderRowOverridesTypeFilesDelimiterAndPadding) {
  s.ooptcombo = 2;  // HTML table
  s.CheckHead = true;
  s.CheckFoot = true;
  s.delimiter = 1;
  s.estext = 12;
  OptUnit& u = open();
  u.checkClicked(OptCheck::AddHeaderCheck, true);
  EXPECT_TRUE(u.takeHeaderRowFlash());
  EXPECT_FALSE(u.takeHeaderRowFlash());
  EXPECT_EQ(s.ooptcombo, 0);
  EXPECT_FALSE(s.CheckHead);
  EXPECT_FALSE(s.CheckFoot);
  EXPECT_EQ(s.delimiter, 5);
  EXPECT_EQ(s.estext, 0);

  // Unchecking brings back all five.
  u.checkClicked(OptCheck::AddHeaderCheck, false);
  EXPECT_EQ(s.ooptcombo, 2);
  EXPECT_TRUE(s.CheckHead && s.CheckFoot);
  EXPECT_EQ(s.delimiter, 1);
  EXPECT_EQ(s.estext, 12);

  // Each forbidden change unchecks it and restores the others, keeping the change itself.
  auto breakWith = [&](auto change) {
    u.checkClicked(OptCheck::AddHeaderCheck, true);
    change();
    EXPECT_FALSE(s.AddHeaderCheck);
  };
  breakWith([&] { u.comboChanged(OptCombo::ooptcombo, 2); });
  EXPECT_EQ(s.ooptcombo, 2);
  EXPECT_TRUE(s.CheckHead && s.CheckFoot);
  EXPECT_EQ(s.delimiter, 1);
  EXPECT_EQ(s.estext, 12);
  breakWith([&] { u.comboChanged(OptCombo::ooptcombo, 3); });
  EXPECT_EQ(s.ooptcombo, 3);
  EXPECT_EQ(s.delimiter, 1);
  breakWith([&] { u.checkClicked(OptCheck::CheckHead, true); });
  EXPECT_TRUE(s.CheckHead && s.CheckFoot);
  EXPECT_EQ(s.ooptcombo, 3);
  breakWith([&] { u.delimiterClicked(2); });
  EXPECT_EQ(s.delimiter, 2);
  EXPECT_EQ(s.estext, 12);
  breakWith([&] { u.editChanged(OptEdit::estext, "30"); });
  EXPECT_EQ(s.estext, 30);
  EXPECT_EQ(s.delimiter, 2);
  EXPECT_EQ(s.ooptcombo, 3);

  // Changes the row allows keep it.
  u.checkClicked(OptCheck::AddHeaderCheck, true);
  u.editChanged(OptEdit::estext, "0");
  u.checkClicked(OptCheck::CheckHead, false);
  u.comboChanged(OptCombo::ooptcombo, 0);
  EXPECT_TRUE(s.AddHeaderCheck);
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(OptUnitTest, DependentControls) {
  OptUnit& u = open();
  s.CheckCase = true;
  for (uint8_t key = 0; key < 10; ++key) {
    u.comboChanged(OptCombo::sortcombo, key);
    const bool textKey = key == 0 || key == 7 || key == 9;
    EXPECT_EQ(u.enabling().CheckCase, textKey) << int(key);
    EXPECT_EQ(u.checked(OptCheck::CheckCase), textKey) << int(key);
  }
  u.comboChanged(OptCombo::sortcombo, 7);
  u.checkClicked(OptCheck::CheckSort, false);
  EXPECT_FALSE(u.enabling().sortcombo);
  EXPECT_FALSE(u.enabling().CheckCase);
  EXPECT_FALSE(u.checked(OptCheck::CheckCase));
  EXPECT_TRUE(s.CheckCase);  // kept for when sorting comes back
  EXPECT_EQ(s.mainSortCode(), 63);

  const bool capFont[] = {false, true, true, true};
  const bool fullPath[] = {false, true, true, false};
  for (int cap = 3; cap >= 0; --cap) {
    u.comboChanged(OptCombo::ComboCap, cap);
    EXPECT_EQ(u.enabling().ButCapFont, capFont[cap]) << cap;
    EXPECT_EQ(u.enabling().CheckFpb, fullPath[cap]) << cap;
  }

  EXPECT_FALSE(u.enabling().headerButtons);
  u.checkClicked(OptCheck::CheckHead, true);
  EXPECT_TRUE(u.enabling().headerButtons);
  EXPECT_FALSE(u.enabling().footerButtons);
  u.checkClicked(OptCheck::CheckFoot, true);
  EXPECT_TRUE(u.enabling().footerButtons);
  for (int item = 0; item < 3; ++item) {
    u.comboChanged(OptCombo::ListLoadCombo, item);
    EXPECT_EQ(u.enabling().StartListBut, item == 2);
  }

  EXPECT_EQ(u.bgpicColour(), std::nullopt);
  u.checkClicked(OptCheck::bgcheck, true);
  EXPECT_EQ(u.bgpicColour(), s.bgpic);
  EXPECT_EQ(u.txpicColour(), std::nullopt);
}

TEST_F(OptUnitTest, NotesAppearForTheChoicesThatNeedThem) {
  OptUnit& u = open();
  // Plain HTML with tabs, from either side.
  u.comboChanged(OptCombo::ooptcombo, 1);
  u.delimiterClicked(5);
  u.delimiterClicked(4);
  u.comboChanged(OptCombo::ooptcombo, 0);
  u.delimiterClicked(5);
  u.comboChanged(OptCombo::ooptcombo, 1);
  EXPECT_EQ(ui.texts(), (std::vector<std::string>{kPlainHtmlTabs, kPlainHtmlTabs}));
  ui.shown.clear();

  u.comboChanged(OptCombo::errorexportcombo, 2);
  u.comboChanged(OptCombo::errorexportcombo, 0);
  EXPECT_EQ(ui.texts(), std::vector<std::string>{kOmitInfoNote});
  ui.shown.clear();

  // Hours and milliseconds only matter when the playtime is exported.
  u.checkClicked(OptCheck::Checkhr, true);
  u.checkClicked(OptCheck::CheckTime, false);
  u.checkClicked(OptCheck::Checkms, true);
  u.checkClicked(OptCheck::Checkhr, false);
  EXPECT_EQ(ui.texts(), (std::vector<std::string>{kXlsTimeNote, kXlsTimeNote}));
  ui.shown.clear();

  // With the user's own html tags, fonts and colours have no effect.
  u.checkClicked(OptCheck::txcheck, true);
  u.checkClicked(OptCheck::bgcheck, true);
  u.checkClicked(OptCheck::CheckHtag, true);
  u.checkClicked(OptCheck::txcheck, false);
  u.checkClicked(OptCheck::txcheck, true);
  u.checkClicked(OptCheck::bgcheck, false);
  u.checkClicked(OptCheck::bgcheck, true);  // plain html not styled: no note
  u.checkClicked(OptCheck::CheckPtoo, true);
  u.checkClicked(OptCheck::bgcheck, false);
  u.checkClicked(OptCheck::bgcheck, true);
  dialogs.fonts = {std::nullopt, FontSetting{10, 1, "Mono", 0}};
  u.ButCapFontClick();  // cancelled: no note
  u.ButCapFontClick();
  EXPECT_EQ(ui.texts(), (std::vector<std::string>{kHtagNote, kHtagOverridesNote, kHtagOverridesNote,
                                                  kHtagPlainBgNote, kHtagOverridesNote}));
  EXPECT_EQ(s.captionFont, (FontSetting{10, 1, "Mono", 0}));
  ui.shown.clear();

  u.checkClicked(OptCheck::bgcheck, false);
  u.checkClicked(OptCheck::txcheck, false);
  u.bgpicClick();
  u.txpicClick();
  EXPECT_EQ(ui.texts(), (std::vector<std::string>{"Bgcolor not enabled!\r\nCheck the checkbox first.",
                                                  "Textcolor not enabled!\r\nCheck the checkbox first."}));
  EXPECT_TRUE(dialogs.colourPresets.empty());
  ui.shown.clear();

  u.ButBatchCapClick();
  u.ehelpClick();
  u.phelpClick();
  ASSERT_EQ(ui.shown.size(), 3u);
  EXPECT_EQ(ui.shown[0].text, "If you choose option 2 or 3 (use path/label),\r\nbatch export will always produce path captions.");
  EXPECT_NE(ui.shown[1].text.find("volume label"), std::string::npos);
  EXPECT_NE(ui.shown[2].text.find("200 frames"), std::string::npos);
}

TEST_F(OptUnitTest, WindowColoursAndFadingFollowTheChosenWindow) {
  OptUnit& u = open();
  const Colour colours[] = {s.mainWindowColour, s.viewerWindowColour, s.optionsWindowColour};
  for (int w = 0; w < 3; ++w) {
    u.comboChanged(OptCombo::ComboCow, w);
    EXPECT_EQ(u.panelColour(), colours[w]);
  }
  u.comboChanged(OptCombo::ComboCow, 1);
  u.comboChanged(OptCombo::ComboTap, 1);
  EXPECT_EQ(s.fadeViewerWindow, 1);
  EXPECT_EQ(s.fadeMainWindow, 1);
  u.comboChanged(OptCombo::ComboCow, 0);
  u.comboChanged(OptCombo::ComboTap, 0);
  EXPECT_EQ(s.fadeMainWindow, 0);
  EXPECT_EQ(u.comboIndex(OptCombo::ComboTap), 0);
  u.comboChanged(OptCombo::ComboCow, 1);
  EXPECT_EQ(u.comboIndex(OptCombo::ComboTap), 1);

  // Too dark: No discards the colour but the custom colours are kept; Yes takes it.
  const std::array<Colour, kCustomColourCount> custom{0xABCDEF, 1, 2};
  dialogs.customAfter = custom;
  dialogs.colours = {0x404040, 0x404040, 0x414040};
  ui.answers = {Answer::No, Answer::Yes};
  u.PanelWClick();
  EXPECT_EQ(s.viewerWindowColour, colours[1]);
  EXPECT_EQ(customColourValues(s), custom);
  EXPECT_EQ(s.customColours[0], "00ABCDEF");
  u.PanelWClick();
  EXPECT_EQ(s.viewerWindowColour, 0x404040u);
  u.PanelWClick();  // one component above 64: no question
  EXPECT_EQ(s.viewerWindowColour, 0x414040u);
  ASSERT_EQ(ui.shown.size(), 2u);
  EXPECT_EQ(ui.shown[0].text, "The color is too dark. Are you certain?");
  EXPECT_EQ(dialogs.colourPresets[0], colours[1]);

  // HTML colours are never questioned.
  u.checkClicked(OptCheck::txcheck, true);
  dialogs.colours = {0x000001};
  u.txpicClick();
  EXPECT_EQ(s.txpic, 1u);
  EXPECT_EQ(ui.shown.size(), 2u);

  // Finishing reports what the callers redraw.
  EXPECT_TRUE(u.OkButClick());
  EXPECT_TRUE(u.result().displayChanged);
  EXPECT_TRUE(u.result().mainWindowChanged);
  EXPECT_FALSE(u.result().sortOptionChanged);
}

TEST_F(OptUnitTest, CustomColoursReadBadEntriesAsWhite) {
  s.customColours[4] = "zz";
  s.customColours[5] = "00GG0000";
  const auto values = customColourValues(s);
  EXPECT_EQ(values[0], 0xBEDED5u);
  EXPECT_EQ(values[4], 0xFFFFFFu);
  EXPECT_EQ(values[5], 0xFFFFFFu);
  storeCustomColours(s, values);
  EXPECT_EQ(s.customColours[4], "00FFFFFF");
  EXPECT_TRUE(tooDark(0x404040));
  EXPECT_FALSE(tooDark(0x400041));
}

TEST_F(OptUnitTest, DefaultsSetEveryOptionButKeepTheXlsTimeSwitchesAndOtherSettings) {
  Settings fresh;
  setAllDefaults(fresh);
  // Turn every option away from its default through the window.
  OptUnit& u = open();
  for (int c = 0; c < kOptCheckCount; ++c) u.checkClicked(OptCheck(c), !u.checked(OptCheck(c)));
  for (int c = 0; c < kOptComboCount; ++c)
    if (OptCombo(c) != OptCombo::ComboCow) u.comboChanged(OptCombo(c), 1 - std::min(1, u.comboIndex(OptCombo(c))));
  u.editChanged(OptEdit::minsizetext, "77");
  u.editChanged(OptEdit::EditMaxcursav, "9");
  s.headerFileHtml = "x";
  s.startupListFolder = "/elsewhere";
  s.loadFolder = "/kept";
  const bool hours = s.Checkhr;
  const bool millis = s.Checkms;
  u.DefButClick();
  Settings expected = fresh;
  expected.Checkhr = hours;
  expected.Checkms = millis;
  expected.loadFolder = "/kept";
  expected.ComboCow = s.ComboCow;
  expected.customColours = s.customColours;
  EXPECT_EQ(encodeSettings(s), encodeSettings(expected));
}

TEST_F(OptUnitTest, LoadOptionsFromABadFileChangesNothing) {
  OptUnit& u = open();
  u.checkClicked(OptCheck::CheckDate, true);
  const Settings before = s;
  home.writeFile("bad.ini", std::string(kFixedSize + 44 + 1, '\0'));
  ui.dialogResults = {FileDialogResult{home.path("bad.ini"), 0}};
  EXPECT_FALSE(u.ButLoadOptFromClick());
  EXPECT_EQ(s, before);
  EXPECT_EQ(ui.texts(), std::vector<std::string>{kLoadOptionsFailed});
  ASSERT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(ui.dialogs[0].folder, s.optionsFileFolder);
  EXPECT_EQ(ui.dialogs[0].filters[0].description, "mp3SNLG INI files");

  // A good file replaces everything; CANCEL then restores only the options.
  Settings other = before;
  other.CheckVl = true;
  other.sizeLimitKB = 1234;
  home.writeFile("good.ini", encodeSettings(other));
  ui.dialogResults = {FileDialogResult{home.path("good.ini"), 0}};
  EXPECT_TRUE(u.ButLoadOptFromClick());
  EXPECT_TRUE(s.CheckVl);
  EXPECT_FALSE(platform::fileExists(workingConfigPath()));
  u.CancelButClick();
  EXPECT_FALSE(s.CheckVl);
  EXPECT_FALSE(s.CheckDate);
  EXPECT_EQ(s.sizeLimitKB, 1234);
  EXPECT_TRUE(u.result().otherSettingsChanged);
}

TEST_F(OptUnitTest, SaveOptionsAsRefusesTheWorkingFolder) {
  OptUnit& u = open();
  ui.dialogResults = {FileDialogResult{platform::workingFolder() + "copy.ini", 0},
                      FileDialogResult{home.path("saved/mine.ini"), 0}};
  u.ButSaveOptAsClick();
  EXPECT_EQ(ui.texts(), std::vector<std::string>{"You are not allowed to save to application working folder."});
  EXPECT_FALSE(platform::fileExists(platform::workingFolder() + "copy.ini"));
  std::filesystem::create_directories(home.path("saved"));
  u.ButSaveOptAsClick();
  EXPECT_EQ(s.optionsFileFolder, home.path("saved"));
  Settings saved;
  ASSERT_TRUE(loadSettings(home.path("saved/mine.ini"), saved));
  saved.optionsFileFolder = s.optionsFileFolder;  // remembered after the write
  EXPECT_TRUE(saved == s);
  EXPECT_EQ(ui.dialogs[0].fileName, "mp3snlg.ini");
}

TEST_F(OptUnitTest, ResetAllAsksThenResetsSavesAndCloses) {
  s.sadcheck = true;
  s.CheckEnum = true;
  OptUnit& u = open();
  ui.answers = {Answer::Cancel};
  EXPECT_FALSE(u.ButResAllClick());
  EXPECT_TRUE(s.CheckEnum);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].caption, " - WARNING -");
  EXPECT_EQ(ui.shown[0].buttons, Buttons::OkCancel);
  EXPECT_EQ(ui.shown[0].text, kResetAllQuestion);

  ui.answers = {Answer::Ok};
  EXPECT_TRUE(u.ButResAllClick());
  Settings expected;
  setAllDefaults(expected, ScreenSize{1280, 800});
  EXPECT_EQ(s, expected);
  Settings stored;
  ASSERT_TRUE(loadSettings(workingConfigPath(), stored));
  EXPECT_EQ(stored, expected);
  EXPECT_EQ(u.result().closedBy, OptionsClosed::ResetAll);
  EXPECT_TRUE(u.result().otherSettingsChanged);
}

TEST_F(OptUnitTest, MessageFileButtonsAskBeforeReplacingAFileAndRememberTheFolder) {
  OptUnit& u = open();
  ui.dialogResults = {FileDialogResult{"/data/foot.htm", 1}};
  u.chooseFileClick(OptFile::FooterHtml);
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_EQ(s.footerFileHtml, "/data/foot.htm");
  EXPECT_EQ(s.htmlMessageFolder, "/data");
  ASSERT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(ui.dialogs[0].title, " - choose FOOTER message file for HTML modes- ");
  EXPECT_EQ(ui.dialogs[0].filterIndex, 1);
  ASSERT_EQ(ui.dialogs[0].filters.size(), 3u);
  EXPECT_EQ(ui.dialogs[0].filters[1].patterns, (std::vector<std::string>{"*.html", "*.htm"}));

  ui.answers = {Answer::No};
  u.chooseFileClick(OptFile::FooterHtml);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "Footer message file is:\r\n/data/foot.htm\r\n\nChange this?");
  EXPECT_EQ(ui.dialogs.size(), 1u);

  ui.dialogResults = {FileDialogResult{"/lists/start.snlg", 0}};
  u.chooseFileClick(OptFile::StartupList);
  EXPECT_EQ(s.startupList, "/lists/start.snlg");
  EXPECT_EQ(s.startupListFolder, "/lists");
  EXPECT_EQ(ui.dialogs[1].title, " - choose THE LIST TO AUTO-LOAD on startup - ");
  EXPECT_EQ(ui.dialogs[1].filters[0].patterns, std::vector<std::string>{"*.snlg"});

  // A cancelled dialog keeps the file.
  ui.answers = {Answer::Yes};
  u.chooseFileClick(OptFile::StartupList);
  EXPECT_EQ(s.startupList, "/lists/start.snlg");
}

TEST_F(OptUnitTest, EditButtonsOpenTheMessageFileForEditingOrSayWhyNot) {
  OptUnit& u = open();
  u.editFileClick(OptFile::HeaderText);
  home.writeFile("foot.htm", "<p>");
  s.footerFileHtml = home.path("foot.htm");
  s.headerFileHtml = home.path("missing.htm");
  u.editFileClick(OptFile::FooterHtml);
  ASSERT_EQ(ui.opened.size(), 1u);
  EXPECT_EQ(ui.opened[0], std::make_pair(home.path("foot.htm"), true));
  u.editFileClick(OptFile::HeaderHtml);
  ui.openResults = {OpenResult::NoAssociation, OpenResult::AccessDenied};
  u.editFileClick(OptFile::FooterHtml);
  u.editFileClick(OptFile::FooterHtml);
  ASSERT_EQ(ui.shown.size(), 4u);
  EXPECT_EQ(ui.shown[0].text, "Error: file not specified.");
  EXPECT_EQ(ui.shown[0].caption, "text edit");
  EXPECT_EQ(ui.shown[1].text, "The file doesn't exist.");
  EXPECT_EQ(ui.shown[1].caption, "html edit");
  EXPECT_EQ(ui.shown[2].text, "System error trying to edit the file.");
  EXPECT_EQ(ui.shown[3].text, "Access denied or sharing violation.");
}

TEST_F(OptUnitTest, ControlsEditTheSettingsOfTheirNamesAndCombosListEveryValue) {
  for (int c = 0; c < kOptCheckCount; ++c) EXPECT_NE(settingField(controlName(OptCheck(c))), nullptr);
  for (int c = 0; c < kOptEditCount; ++c) EXPECT_NE(settingField(controlName(OptEdit(c))), nullptr);
  for (int c = 0; c < kOptComboCount; ++c) {
    SCOPED_TRACE(controlName(OptCombo(c)));
    const SettingField* row = settingField(c == int(OptCombo::ComboTap) ? "fadeMainWindow" : controlName(OptCombo(c)));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(size_t(row->info.max) + 1, comboTexts(OptCombo(c)).size());
  }
  EXPECT_EQ(comboTexts(OptCombo::ComboK)[0], std::string("No K/Kb (ie \"5000\")"));
  EXPECT_EQ(comboTexts(OptCombo::sortcombo).size(), 10u);
  EXPECT_EQ(comboTexts(OptCombo::ooptcombo)[3], std::string("XLS (excel sheet)"));
  // An out-of-range stored value shows as the first item rather than nothing.
  s.ComboCap = 3;
  OptUnit& u = open();
  EXPECT_EQ(u.comboIndex(OptCombo::ComboCap), 3);
  u.comboChanged(OptCombo::ComboCap, 4);
  EXPECT_EQ(s.ComboCap, 3);
}

}  // namespace
}  // namespace sonalog

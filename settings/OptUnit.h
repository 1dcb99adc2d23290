#pragma once
// The options window's rules, without widgets: what each control does to the live settings
// record, which controls are enabled, the range checks of the edit fields, every note and
// question the window shows, and how the window ends (OK, CANCEL, the title bar, Reset ALL).
// The window fills its controls from settings() and the query functions below after every
// handler call; handlers are called only for the user's own actions, never while filling, so no
// note appears while the window is being filled.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/ChoiceTexts.h"
#include "settings/Settings.h"
#include "settings/ShownFields.h"

namespace sonalog {

class UserInterface;

// The two-state check boxes of the options window, named as the controls.
enum class OptCheck {
  CheckTime, CheckKbps, CheckSize, CheckStereo, CheckFreq, CheckDate, CheckPath, addedcheck,
  CheckVl, CheckEnum, CheckSh, CheckSort, CheckDescend, CheckCase, AddHeaderCheck, CheckHead,
  CheckFoot, CheckHtag, bgcheck, txcheck, CheckPtoo, CheckSplit, CheckCenter, CheckFpb, Checkhr,
  Checkms,
};
inline constexpr int kOptCheckCount = static_cast<int>(OptCheck::Checkms) + 1;
const char* controlName(OptCheck check);
// The check box of an "info to include" field.
OptCheck shownFieldCheck(ShownField field);

// The choice boxes, named as the controls.
enum class OptCombo {
  ComboStyle, ComboK, ComboStereo, ComboVBR, erroractioncombo, errorexportcombo, Combopopt,
  ComboSkip, ListLoadCombo, sortcombo, ooptcombo, ComboCap, ComboCow, ComboTap,
};
inline constexpr int kOptComboCount = static_cast<int>(OptCombo::ComboTap) + 1;
const char* controlName(OptCombo combo);
ChoiceTexts comboTexts(OptCombo combo);

// The edit fields with a number in them.
enum class OptEdit { minsizetext, maxsizetext, EditMaxcursav, estext, cstext0, cstext1, cstext2 };
inline constexpr int kOptEditCount = static_cast<int>(OptEdit::cstext2) + 1;
const char* controlName(OptEdit edit);

struct EditRange {
  int32_t min;
  int32_t max;
  int maxLength;  // the longest input, in characters
};
// The range the settings table accepts; the longest input has as many digits as the maximum.
EditRange editRange(OptEdit edit);
// The field's hint, its range included ("... (1 to 2000)").
std::string editHint(OptEdit edit);

// Background of an edit field holding a value out of range or not a number, and of a valid one.
inline constexpr Colour kBadValueColour = 8421631;    // light red
inline constexpr Colour kGoodValueColour = 15790320;  // light grey

// The message files and the start-up list, chosen by the buttons headbut, head2but, footbut,
// foot2but and StartListBut.
enum class OptFile { HeaderText, HeaderHtml, FooterText, FooterHtml, StartupList };

// Which controls are enabled, and what the two colour panels show.
struct OptEnabling {
  bool sortcombo = true;      // also CheckDescend and the "Sort by:" label
  bool CheckCase = true;
  bool ButCapFont = true;
  bool CheckFpb = true;
  bool headerButtons = true;  // headbut, head2but, ButEditHeadText, ButEditHeadHtml
  bool footerButtons = true;  // footbut, foot2but, ButEditFootText, ButEditFootHtml
  bool StartListBut = true;
};

// The colour and font dialogs, supplied by the window (and by a fake in tests).
class OptionsDialogs {
 public:
  virtual ~OptionsDialogs() = default;
  // A colour dialog preset with initial and the 16 custom colours; nullopt when cancelled. On OK,
  // custom holds the custom colours as the user left them.
  virtual std::optional<Colour> chooseColour(Colour initial,
                                             std::array<Colour, kCustomColourCount>& custom) = 0;
  // A font dialog preset with initial; nullopt when cancelled. The character set is kept.
  virtual std::optional<FontSetting> chooseFont(const FontSetting& initial) = 0;
};

// How the window ended and what its caller must refresh.
enum class OptionsClosed { Ok, Cancel, ResetAll };
struct OptionsResult {
  OptionsClosed closedBy = OptionsClosed::Cancel;
  // Anything the viewer shows (columns, field texts and styles, its colour) differs from when
  // the window opened: the viewer rebuilds its grid.
  bool displayChanged = false;
  // The main sort option (sort switch, key, descending, case) differs: the viewer re-checks its
  // Re-sort button.
  bool sortOptionChanged = false;
  // The main window's colour or fading differs.
  bool mainWindowChanged = false;
  // Settings outside the options (positions, folders, other windows' switches) may differ:
  // "Load options from" succeeded, or everything was reset.
  bool otherSettingsChanged = false;
};

// The custom colours as colour values; an entry that is not 8 hexadecimal digits reads as white.
std::array<Colour, kCustomColourCount> customColourValues(const Settings& s);
void storeCustomColours(Settings& s, const std::array<Colour, kCustomColourCount>& colours);

// A colour whose red, green and blue are all this or less is too dark for a window's text.
inline constexpr int kDarkColourLimit = 64;
bool tooDark(Colour c);

// ---- Texts the window shows ----
inline constexpr char kOptionsCaption[] = " mp3 Sonalog - OPTIONS";
inline constexpr char kHintsLabel[] =
    "Stop mouse cursor over a control to get\r\na short explanation of its function";
inline constexpr char kSaveBeforeClosing[] = "Save options before closing?";
inline constexpr char kPlainHtmlTabs[] =
    "You chose \"plain HTML\" and \"tabs as delimiters\".\r\n\nTabs can be used only in TEXT "
    "mode.\r\nIn plain HTML mode, four spaces will be used instead.\r\n\nChoose HTML table mode "
    "for precise aligning.";
inline constexpr char kOmitInfoNote[] =
    "This setting may make importing previously exported files impossible.";
inline constexpr char kHtagNote[] =
    "This will cancel html font and color.\r\n\nNote that if your code contains errors,\r\nthe "
    "whole output file may be unusable.";
inline constexpr char kXlsTimeNote[] =
    "Note that this setting won't have effect if you don't export playtime.\r\nTo export it, you "
    "must check the second checkbox in the top left frame.";
inline constexpr char kHtagOverridesNote[] =
    "Note that this won't have any effect until you uncheck\r\n\"use html, title and body tags "
    "from my header & footer files\".";
inline constexpr char kHtagPlainBgNote[] =
    "This won't have effect in plain html export until you uncheck\r\n\"use html, title and body "
    "tags from my header & footer files\".";
inline constexpr char kBgNotEnabled[] = "Bgcolor not enabled!\r\nCheck the checkbox first.";
inline constexpr char kTxNotEnabled[] = "Textcolor not enabled!\r\nCheck the checkbox first.";
inline constexpr char kBatchCaptionNote[] =
    "If you choose option 2 or 3 (use path/label),\r\nbatch export will always produce path "
    "captions.";
inline constexpr char kNeverAskNote[] = "This means never display the warning.";
inline constexpr char kTooDarkQuestion[] = "The color is too dark. Are you certain?";
inline constexpr char kResetAllQuestion[] =
    "This will irreversibly set ALL program options\r\nto default (state after installation), "
    "including\r\nthose not visible on this window, such as\r\ndefault folders and other windows "
    "switches.\r\n\n(once you click OK there will be no cancelling)\r\n\nProceed?";
extern const char* const kExistingEntriesHelp;
extern const char* const kProcessingHelp;

class OptUnit {
 public:
  // screen: the size the window positions of "Reset ALL options" are centred on.
  OptUnit(Settings& settings, UserInterface& ui, OptionsDialogs& dialogs, ScreenSize screen = {});

  // The window was activated: takes the copy that CANCEL restores.
  void activate();
  const Settings& settings() const { return s_; }

  // ---- What the controls show ----
  bool checked(OptCheck check) const;  // CheckCase shows checked only while it is enabled
  int comboIndex(OptCombo combo) const;
  std::string editText(OptEdit edit) const;
  OptEnabling enabling() const;
  // The colour a panel shows: bgpic and txpic show theirs only while their box is checked
  // (nullopt: the group's background); PanelW the colour of the window ComboCow names.
  std::optional<Colour> bgpicColour() const;
  std::optional<Colour> txpicColour() const;
  Colour panelColour() const;
  // EditMaxcursav shows a font one point smaller while it holds this many characters.
  static bool smallMaxcursavFont(std::string_view text) { return text.size() >= 5; }
  // The caption and the three labels of AddHeaderCheck flash blue after it was checked; true
  // once per check.
  bool takeHeaderRowFlash();

  // ---- The user's actions ----
  void checkClicked(OptCheck check, bool on);
  void comboChanged(OptCombo combo, int index);
  void delimiterClicked(uint8_t delimiter);  // doption0 .. doption5
  // Text typed into an edit field: a whole number in range is stored at once; returns the
  // field's background (kGoodValueColour or kBadValueColour).
  Colour editChanged(OptEdit edit, std::string_view text);
  // The field is left: an invalid text is replaced by the value from the window's activation
  // (stored as well, so that the field shows what is stored); returns the text to show.
  std::string editLeft(OptEdit edit, std::string_view text);

  void chooseFileClick(OptFile file);     // headbut, head2but, footbut, foot2but, StartListBut
  // ButEditHeadText, ButEditHeadHtml, ButEditFootText, ButEditFootHtml: the message file in the
  // desktop's editor.
  void editFileClick(OptFile file);
  void bgpicClick();
  void txpicClick();
  void PanelWClick();
  void ButTfontClick();
  void ButCapFontClick();
  void ButBatchCapClick();
  void ehelpClick();
  void phelpClick();

  void DefButClick();
  void ButSaveOptAsClick();
  // True when options were loaded; the window re-applies positions and colours in any case.
  bool ButLoadOptFromClick();

  // The three ways the window ends. Each returns true when the window closes.
  bool OkButClick();
  bool CancelButClick();
  bool ButResAllClick();
  // Closing by the title bar: asks when the options differ from the copy.
  bool FormCloseQuery();

  // Valid after the window closed.
  const OptionsResult& result() const { return result_; }

 private:
  struct HeaderRowMemory {
    uint8_t ooptcombo = 0;
    bool CheckHead = false;
    bool CheckFoot = false;
    uint8_t delimiter = 0;
    uint8_t estext = 0;
  };
  enum class Changed { FileType, Header, Footer, Delimiter, PadLength };

  void setEditValue(OptEdit edit, int32_t value);
  int32_t editValue(const Settings& s, OptEdit edit) const;
  void headerRowOn();
  void headerRowOff();
  void headerRowBroken(Changed changed);
  void warnPlainHtmlTabs();
  void chooseColourFor(Colour& target, bool confirmDark);
  void chooseFontFor(FontSetting& target);
  void finish(OptionsClosed how);

  Settings& s_;
  UserInterface& ui_;
  OptionsDialogs& dialogs_;
  ScreenSize screen_;
  Settings copy_;  // the record when the window was activated
  HeaderRowMemory memory_;
  bool flash_ = false;
  bool loaded_ = false;
  OptionsResult result_;
};

}  // namespace sonalog

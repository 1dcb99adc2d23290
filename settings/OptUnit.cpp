#include "settings/OptUnit.h"

#include <fmt/format.h>

#include <array>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <utility>

#include "platform/UserInterface.h"
#include "settings/SettingsTable.h"
#include "settings/ShownFields.h"
#include "settings/SortKey.h"

namespace sonalog {

namespace {

constexpr size_t kOptionStrings = 5;  // strings 1 to 5: message files and the start-up list

// Values of the settings the rules look at (the item order of kFileTypeTexts, kDelimiterTexts
// and kCaptionTexts).
constexpr uint8_t kTypeText = 0;
constexpr uint8_t kTypePlainHtml = 1;
constexpr uint8_t kTabs = 5;
constexpr uint8_t kNoCaptions = 0;
constexpr uint8_t kCaptionsFromList = 1;
constexpr uint8_t kCaptionsFromListElseInput = 2;

// The end of the first `count` strings of a well-formed image.
size_t stringsEnd(std::string_view image, size_t count) {
  size_t at = kFixedSize;
  for (size_t i = 0; i < count; ++i) {
    const size_t length = static_cast<unsigned char>(image[at]) |
                          (size_t(static_cast<unsigned char>(image[at + 1])) << 8);
    at += 2 + length;
  }
  return at;
}

// What CANCEL restores, as file bytes: block A and strings 1 to 5. Working on the file image
// keeps this exact whatever fields the blocks gain.
std::string optionsPart(const Settings& s) {
  const std::string image = encodeSettings(s);
  return image.substr(0, kBlockASize) + image.substr(kFixedSize, stringsEnd(image, kOptionStrings) - kFixedSize);
}

void restoreOptionsPart(Settings& s, const Settings& copy) {
  const std::string now = encodeSettings(s);
  const std::string old = encodeSettings(copy);
  std::string merged = old.substr(0, kBlockASize);
  merged += now.substr(kBlockASize, kFixedSize - kBlockASize);
  merged += old.substr(kFixedSize, stringsEnd(old, kOptionStrings) - kFixedSize);
  merged += now.substr(stringsEnd(now, kOptionStrings));
  decodeSettings(merged, s);  // both parts come from well-formed images
}

// A whole number of digits only; nullopt for anything else (signs, spaces, empty, too long).
std::optional<int32_t> wholeNumber(std::string_view text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  int32_t v = 0;
  for (char c : text)
    if (c < '0' || c > '9') return std::nullopt;
  std::from_chars(text.data(), text.data() + text.size(), v);
  return v;
}

bool displayDiffers(const Settings& a, const Settings& b) {
  return shownFieldsOf(a) != shownFieldsOf(b) || a.ComboStyle != b.ComboStyle || a.ComboK != b.ComboK ||
         a.ComboStereo != b.ComboStereo || a.ComboVBR != b.ComboVBR ||
         a.errorexportcombo != b.errorexportcombo || a.viewerWindowColour != b.viewerWindowColour ||
         a.fadeViewerWindow != b.fadeViewerWindow;
}

struct FileSlot {
  std::string Settings::*file;
  std::string Settings::*folder;
  const char* question;  // followed by the file, "\r\n\n" and "Change this?"
  const char* title;
  int filterIndex;       // 0 text files, 1 HTML files
  const char* editCaption;
};

const FileSlot& slot(OptFile f) {
  static const FileSlot slots[] = {
      {&Settings::headerFileText, &Settings::textMessageFolder, "Header message file is:\r\n",
       " - choose HEADER message file for TEXT mode - ", 0, "text edit"},
      {&Settings::headerFileHtml, &Settings::htmlMessageFolder, "Header message file is:\r\n",
       " - choose HEADER message file for HTML modes - ", 1, "html edit"},
      {&Settings::footerFileText, &Settings::textMessageFolder, "Footer message file is:\r\n",
       " - choose FOOTER message file for TEXT mode- ", 0, "text edit"},
      {&Settings::footerFileHtml, &Settings::htmlMessageFolder, "Footer message file is:\r\n",
       " - choose FOOTER message file for HTML modes- ", 1, "html edit"},
      {&Settings::startupList, &Settings::startupListFolder, "The list to auto-load is:\r\n",
       " - choose THE LIST TO AUTO-LOAD on startup - ", 0, ""},
  };
  return slots[static_cast<int>(f)];
}

std::vector<FileFilter> optionsFileFilters() {
  return {{"mp3SNLG INI files", {"*.ini"}}, {"all files", {"*.*"}}};
}

constexpr const char* kCheckNames[] = {
    "CheckTime", "CheckKbps", "CheckSize", "CheckStereo", "CheckFreq", "CheckDate", "CheckPath",
    "addedcheck", "CheckVl", "CheckEnum", "CheckSh", "CheckSort", "CheckDescend", "CheckCase",
    "AddHeaderCheck", "CheckHead", "CheckFoot", "CheckHtag", "bgcheck", "txcheck", "CheckPtoo",
    "CheckSplit", "CheckCenter", "CheckFpb", "Checkhr", "Checkms"};
static_assert(std::size(kCheckNames) == kOptCheckCount);

constexpr const char* kComboNames[] = {
    "ComboStyle", "ComboK", "ComboStereo", "ComboVBR", "erroractioncombo", "errorexportcombo",
    "Combopopt", "ComboSkip", "ListLoadCombo", "sortcombo", "ooptcombo", "ComboCap", "ComboCow",
    "ComboTap"};
static_assert(std::size(kComboNames) == kOptComboCount);

constexpr const char* kEditNames[] = {"minsizetext", "maxsizetext", "EditMaxcursav", "estext",
                                      "cstext0", "cstext1", "cstext2"};
static_assert(std::size(kEditNames) == kOptEditCount);

// The hints of the edit fields; "{} to {}" is filled with the field's range.
constexpr const char* kEditHints[] = {
    "Smallest mp3 file to index, in KB ({} to {})",
    "Largest mp3 file to index, in MB ({} to {})",
    "Ask to save the list on exit only when it holds at least this many unsaved items (0: never ask)",
    "Pad each file name with spaces to this length ({} to {}, 0: no padding)",
    "Space between the cells of an HTML table ({} to {})",
    "Space inside the cells of an HTML table ({} to {})",
    "Border width of an HTML table ({} to {})"};
static_assert(std::size(kEditHints) == kOptEditCount);

// The fading of the window that ComboCow names (main, viewer, options), which ComboTap edits.
constexpr const char* kFadeSettings[] = {"fadeMainWindow", "fadeViewerWindow", "fadeOptionsWindow"};

// The settings-table row of each control, looked up by the control's name once.
template <class Control, int kCount>
const SettingField& rowOf(Control control) {
  static const std::array<const SettingField*, kCount> rows = [] {
    std::array<const SettingField*, kCount> out{};
    for (int i = 0; i < kCount; ++i) out[static_cast<size_t>(i)] = settingField(controlName(Control(i)));
    return out;
  }();
  return *rows[static_cast<size_t>(control)];
}

const SettingField& rowOf(const Settings& s, OptCombo combo) {
  if (combo == OptCombo::ComboTap) {
    static const std::array<const SettingField*, 3> fades = {
        settingField(kFadeSettings[0]), settingField(kFadeSettings[1]), settingField(kFadeSettings[2])};
    return *fades[s.ComboCow < fades.size() ? s.ComboCow : 0];
  }
  return rowOf<OptCombo, kOptComboCount>(combo);
}
const SettingField& rowOf(OptCheck check) { return rowOf<OptCheck, kOptCheckCount>(check); }
const SettingField& rowOf(OptEdit edit) { return rowOf<OptEdit, kOptEditCount>(edit); }

}  // namespace

const char* const kExistingEntriesHelp =
    "An existing entry is a file with the same file name, in the same folder,\r\n"
    "on the same drive with the same volume label.\r\n"
    "Bitrate, size and other parameters are not compared.\r\n\n"
    "Any action other than \"always add\" slows processing down:\r\n"
    "insignificantly for hundreds of items, but substantially\r\n"
    "for tens of thousands of items.\r\n\n"
    "In \"update if different\" mode minor file differences are ignored.";

const char* const kProcessingHelp =
    "Fast processing examines the first 200 frames of each file.\r\n"
    "When the file carries a Xing or VBRI header, that header is used.\r\n"
    "A constant-bitrate file without such a header has its playtime\r\n"
    "estimated from the position of its last frame header.\r\n\n"
    "Slow processing examines every frame of each file.";

const char* controlName(OptCheck check) { return kCheckNames[static_cast<int>(check)]; }
OptCheck shownFieldCheck(ShownField field) {
  const std::string_view name = shownField(field).control;
  for (int i = 0; i < kOptCheckCount; ++i)
    if (name == kCheckNames[i]) return OptCheck(i);
  return OptCheck::CheckEnum;  // every field has its box: the options tests check the table
}
const char* controlName(OptCombo combo) { return kComboNames[static_cast<int>(combo)]; }
const char* controlName(OptEdit edit) { return kEditNames[static_cast<int>(edit)]; }

EditRange editRange(OptEdit edit) {
  const SettingInfo& info = rowOf(edit).info;
  return {static_cast<int32_t>(info.min), static_cast<int32_t>(info.max),
          static_cast<int>(std::to_string(info.max).size())};
}

std::string editHint(OptEdit edit) {
  const EditRange range = editRange(edit);
  return fmt::format(fmt::runtime(kEditHints[static_cast<int>(edit)]), range.min, range.max);
}

ChoiceTexts comboTexts(OptCombo combo) {
  switch (combo) {
    case OptCombo::ComboStyle: return kDateStyleTexts;
    case OptCombo::ComboK: return kSizeStyleTexts;
    case OptCombo::ComboStereo: return kStereoStyleTexts;
    case OptCombo::ComboVBR: return kVbrStyleTexts;
    case OptCombo::erroractioncombo: return kErrorActionTexts;
    case OptCombo::errorexportcombo: return kUnknownStyleTexts;
    case OptCombo::Combopopt: return kProcessingTexts;
    case OptCombo::ComboSkip: return kExistingEntryTexts;
    case OptCombo::ListLoadCombo: return kStartupListTexts;
    case OptCombo::sortcombo: return kSortKeyTexts;
    case OptCombo::ooptcombo: return kFileTypeTexts;
    case OptCombo::ComboCap: return kCaptionTexts;
    case OptCombo::ComboCow: return kAppearanceWindowTexts;
    case OptCombo::ComboTap: return kAppearanceTexts;
  }
  return {};
}

std::array<Colour, kCustomColourCount> customColourValues(const Settings& s) {
  std::array<Colour, kCustomColourCount> out;
  for (size_t i = 0; i < kCustomColourCount; ++i) {
    const std::string& hex = s.customColours[i];
    Colour v = 0;
    const auto [end, ec] = std::from_chars(hex.data(), hex.data() + hex.size(), v, 16);
    const bool ok = hex.size() == 8 && ec == std::errc() && end == hex.data() + hex.size();
    out[i] = ok ? (v & 0xFFFFFF) : 0xFFFFFF;
  }
  return out;
}

void storeCustomColours(Settings& s, const std::array<Colour, kCustomColourCount>& colours) {
  for (size_t i = 0; i < kCustomColourCount; ++i) {
    char buf[9];
    std::snprintf(buf, sizeof buf, "%08X", static_cast<unsigned>(colours[i] & 0xFFFFFF));
    s.customColours[i] = buf;
  }
}

bool tooDark(Colour c) {
  return int(c & 0xFF) <= kDarkColourLimit && int((c >> 8) & 0xFF) <= kDarkColourLimit &&
         int((c >> 16) & 0xFF) <= kDarkColourLimit;
}

OptUnit::OptUnit(Settings& settings, UserInterface& ui, OptionsDialogs& dialogs, ScreenSize screen)
    : s_(settings), ui_(ui), dialogs_(dialogs), screen_(screen) {
  activate();
}

void OptUnit::activate() {
  copy_ = s_;
  memory_ = {s_.ooptcombo, s_.CheckHead, s_.CheckFoot, s_.delimiter, s_.estext};
  flash_ = false;
  loaded_ = false;
  result_ = {};
}

// ---- What the controls show ----

bool OptUnit::checked(OptCheck check) const {
  if (check == OptCheck::CheckCase) return s_.CheckCase && enabling().CheckCase;
  return rowOf(check).getNumber(s_) != 0;
}

int OptUnit::comboIndex(OptCombo combo) const {
  const int64_t v = rowOf(s_, combo).getNumber(s_);
  const int count = static_cast<int>(comboTexts(combo).size());
  return v < count ? static_cast<int>(v) : 0;
}

int32_t OptUnit::editValue(const Settings& s, OptEdit edit) const {
  return static_cast<int32_t>(rowOf(edit).getNumber(s));
}

std::string OptUnit::editText(OptEdit edit) const { return std::to_string(editValue(s_, edit)); }

OptEnabling OptUnit::enabling() const {
  OptEnabling e;
  e.sortcombo = s_.CheckSort;
  // Letter case matters only for the keys that are text.
  e.CheckCase = s_.CheckSort && isTextSortKey(s_.sortcombo);
  e.ButCapFont = s_.ComboCap != kNoCaptions;
  e.CheckFpb = s_.ComboCap == kCaptionsFromList || s_.ComboCap == kCaptionsFromListElseInput;
  e.headerButtons = s_.CheckHead;
  e.footerButtons = s_.CheckFoot;
  e.StartListBut = s_.ListLoadCombo == 2;
  return e;
}

std::optional<Colour> OptUnit::bgpicColour() const {
  return s_.bgcheck ? std::optional<Colour>(s_.bgpic) : std::nullopt;
}
std::optional<Colour> OptUnit::txpicColour() const {
  return s_.txcheck ? std::optional<Colour>(s_.txpic) : std::nullopt;
}

Colour OptUnit::panelColour() const {
  switch (s_.ComboCow) {
    case 1: return s_.viewerWindowColour;
    case 2: return s_.optionsWindowColour;
    default: return s_.mainWindowColour;
  }
}

bool OptUnit::takeHeaderRowFlash() { return std::exchange(flash_, false); }

// ---- The header row interlock ----

void OptUnit::headerRowOn() {
  memory_ = {s_.ooptcombo, s_.CheckHead, s_.CheckFoot, s_.delimiter, s_.estext};
  s_.AddHeaderCheck = true;
  s_.ooptcombo = kTypeText;
  s_.CheckHead = false;
  s_.CheckFoot = false;
  s_.delimiter = kTabs;
  s_.estext = 0;
  flash_ = true;
}

void OptUnit::headerRowOff() {
  s_.AddHeaderCheck = false;
  s_.ooptcombo = memory_.ooptcombo;
  s_.CheckHead = memory_.CheckHead;
  s_.CheckFoot = memory_.CheckFoot;
  s_.delimiter = memory_.delimiter;
  s_.estext = memory_.estext;
}

// A change that the header row forbids: the row goes, the other remembered values come back.
void OptUnit::headerRowBroken(Changed changed) {
  if (!s_.AddHeaderCheck) return;
  const Settings now = s_;
  headerRowOff();
  switch (changed) {
    case Changed::FileType: s_.ooptcombo = now.ooptcombo; break;
    case Changed::Header: s_.CheckHead = now.CheckHead; break;
    case Changed::Footer: s_.CheckFoot = now.CheckFoot; break;
    case Changed::Delimiter: s_.delimiter = now.delimiter; break;
    case Changed::PadLength: s_.estext = now.estext; break;
  }
}

void OptUnit::warnPlainHtmlTabs() {
  if (s_.ooptcombo == kTypePlainHtml && s_.delimiter == kTabs) ui_.warning(kPlainHtmlTabs);
}

// ---- The user's actions ----

void OptUnit::checkClicked(OptCheck check, bool on) {
  const bool htag = s_.CheckHtag;
  switch (check) {
    case OptCheck::AddHeaderCheck:
      if (on == s_.AddHeaderCheck) return;
      if (on)
        headerRowOn();
      else
        headerRowOff();
      return;
    case OptCheck::CheckHead:
    case OptCheck::CheckFoot:
      rowOf(check).setNumber(s_, on);
      if (on) headerRowBroken(check == OptCheck::CheckHead ? Changed::Header : Changed::Footer);
      return;
    case OptCheck::CheckCase:
      // Disabled for keys that are not text; the setting is kept for when such a key returns.
      if (enabling().CheckCase) s_.CheckCase = on;
      return;
    default: break;
  }
  rowOf(check).setNumber(s_, on);
  switch (check) {
    case OptCheck::CheckHtag:
      if (on) ui_.warning(kHtagNote);
      break;
    case OptCheck::Checkhr:
    case OptCheck::Checkms:
      if (!s_.CheckTime) ui_.warning(kXlsTimeNote);
      break;
    case OptCheck::txcheck:
    case OptCheck::CheckPtoo:
      if (on && htag) ui_.warning(kHtagOverridesNote);
      break;
    case OptCheck::bgcheck:
      if (on && htag && s_.CheckPtoo) ui_.warning(kHtagPlainBgNote);
      break;
    default: break;
  }
}

void OptUnit::comboChanged(OptCombo combo, int index) {
  const int count = static_cast<int>(comboTexts(combo).size());
  if (index < 0 || index >= count) return;
  const SettingField& row = rowOf(s_, combo);
  if (row.getNumber(s_) == index) return;
  row.setNumber(s_, index);
  switch (combo) {
    case OptCombo::ooptcombo:
      if (index != kTypeText) headerRowBroken(Changed::FileType);
      warnPlainHtmlTabs();
      break;
    case OptCombo::errorexportcombo:
      if (index == 0) ui_.warning(kOmitInfoNote);
      break;
    default: break;
  }
}

void OptUnit::delimiterClicked(uint8_t delimiter) {
  if (delimiter >= kDelimiterTexts.size() || delimiter == s_.delimiter) return;
  s_.delimiter = delimiter;
  if (delimiter != kTabs) headerRowBroken(Changed::Delimiter);
  warnPlainHtmlTabs();
}

void OptUnit::setEditValue(OptEdit edit, int32_t value) {
  const bool wasZero = editValue(s_, edit) == 0;
  rowOf(edit).setNumber(s_, value);
  if (edit == OptEdit::EditMaxcursav && value == 0 && !wasZero) ui_.warning(kNeverAskNote);
  if (edit == OptEdit::estext && value != 0) headerRowBroken(Changed::PadLength);
}

Colour OptUnit::editChanged(OptEdit edit, std::string_view text) {
  const EditRange range = editRange(edit);
  const auto v = wholeNumber(text);
  if (!v || *v < range.min || *v > range.max || text.size() > size_t(range.maxLength)) return kBadValueColour;
  if (*v != editValue(s_, edit)) setEditValue(edit, *v);
  return kGoodValueColour;
}

std::string OptUnit::editLeft(OptEdit edit, std::string_view text) {
  if (editChanged(edit, text) == kGoodValueColour) return std::string(text);
  const int32_t old = editValue(copy_, edit);
  if (old != editValue(s_, edit)) setEditValue(edit, old);
  return std::to_string(old);
}

void OptUnit::chooseFileClick(OptFile file) {
  const FileSlot& f = slot(file);
  std::string& current = s_.*(f.file);
  if (!current.empty() &&
      ui_.ask(std::string(f.question) + current + "\r\n\n" + "Change this?", "Confirm", Buttons::YesNo,
              Icon::Question) != Answer::Yes)
    return;
  FileDialog d;
  d.title = f.title;
  d.folder = s_.*(f.folder);
  if (file == OptFile::StartupList) {
    d.filters = {{"SNLG files", {"*.snlg"}}, {"All files", {"*.*"}}};
  } else {
    d.filters = {{"Txt files", {"*.txt"}}, {"Html files", {"*.html", "*.htm"}}, {"All files", {"*.*"}}};
    d.filterIndex = f.filterIndex;
  }
  const auto chosen = ui_.openFile(d);
  if (!chosen || chosen->path.empty()) return;
  current = chosen->path;
  s_.*(f.folder) = std::filesystem::path(chosen->path).parent_path().string();
}

void OptUnit::editFileClick(OptFile file) {
  const FileSlot& f = slot(file);
  const std::string& path = s_.*(f.file);
  const char* failure = nullptr;
  if (path.empty()) {
    failure = "Error: file not specified.";
  } else {
    switch (openDocumentChecked(ui_, path, true)) {
      case OpenResult::Ok: return;
      case OpenResult::NotFound: failure = "The file doesn't exist."; break;
      case OpenResult::AccessDenied: failure = "Access denied or sharing violation."; break;
      case OpenResult::NoAssociation:
      case OpenResult::Failed: failure = "System error trying to edit the file."; break;
    }
  }
  ui_.message(failure, f.editCaption, Icon::Error);
}

void OptUnit::chooseColourFor(Colour& target, bool confirmDark) {
  auto custom = customColourValues(s_);
  const auto chosen = dialogs_.chooseColour(target, custom);
  if (!chosen) return;
  storeCustomColours(s_, custom);
  if (confirmDark && tooDark(*chosen) &&
      ui_.ask(kTooDarkQuestion, "Confirm", Buttons::YesNo, Icon::Question) != Answer::Yes)
    return;
  target = *chosen & 0xFFFFFF;
}

void OptUnit::bgpicClick() {
  if (!s_.bgcheck) return ui_.warning(kBgNotEnabled);
  chooseColourFor(s_.bgpic, false);
}

void OptUnit::txpicClick() {
  if (!s_.txcheck) return ui_.warning(kTxNotEnabled);
  chooseColourFor(s_.txpic, false);
}

void OptUnit::PanelWClick() {
  switch (s_.ComboCow) {
    case 1: return chooseColourFor(s_.viewerWindowColour, true);
    case 2: return chooseColourFor(s_.optionsWindowColour, true);
    default: return chooseColourFor(s_.mainWindowColour, true);
  }
}

void OptUnit::chooseFontFor(FontSetting& target) {
  auto chosen = dialogs_.chooseFont(target);
  if (!chosen) return;
  chosen->charset = target.charset;
  target = std::move(*chosen);
  if (s_.CheckHtag) ui_.warning(kHtagOverridesNote);
}

void OptUnit::ButTfontClick() { chooseFontFor(s_.tableFont); }
void OptUnit::ButCapFontClick() { chooseFontFor(s_.captionFont); }
void OptUnit::ButBatchCapClick() { ui_.message(kBatchCaptionNote, "batch?", Icon::Information); }
void OptUnit::ehelpClick() { ui_.message(kExistingEntriesHelp, "existing entries", Icon::Information); }
void OptUnit::phelpClick() { ui_.message(kProcessingHelp, "processing", Icon::Information); }

void OptUnit::DefButClick() { setOptionsDefaults(s_); }

void OptUnit::ButSaveOptAsClick() {
  FileDialog d;
  d.title = "Save options as";
  d.folder = s_.optionsFileFolder;
  d.fileName = kConfigFileName;
  d.filters = optionsFileFilters();
  d.defaultExtension = "ini";
  const auto chosen = ui_.chooseSaveFile(d);
  if (!chosen || chosen->path.empty()) return;
  saveOptionsAs(chosen->path, s_, ui_);
}

bool OptUnit::ButLoadOptFromClick() {
  FileDialog d;
  d.title = "Load options from";
  d.folder = s_.optionsFileFolder;
  d.filters = optionsFileFilters();
  const auto chosen = ui_.openFile(d);
  if (!chosen || chosen->path.empty()) return false;
  // loadOptionsFrom leaves every setting as it was when the file is not a configuration.
  if (!loadOptionsFrom(chosen->path, s_, ui_)) return false;
  loaded_ = true;
  return true;
}

void OptUnit::finish(OptionsClosed how) {
  result_.closedBy = how;
  const bool all = how == OptionsClosed::ResetAll;
  result_.displayChanged = all || displayDiffers(s_, copy_);
  result_.sortOptionChanged = all || s_.mainSortCode() != copy_.mainSortCode();
  result_.mainWindowChanged =
      all || s_.mainWindowColour != copy_.mainWindowColour || s_.fadeMainWindow != copy_.fadeMainWindow;
  result_.otherSettingsChanged = all || loaded_;
}

bool OptUnit::OkButClick() {
  // A failed write has told the user why; the options stay in force and are written again when
  // the program ends, so the window closes all the same.
  saveToWorkingFolder(s_, ui_);
  finish(OptionsClosed::Ok);
  return true;
}

bool OptUnit::CancelButClick() {
  restoreOptionsPart(s_, copy_);
  finish(OptionsClosed::Cancel);
  return true;
}

bool OptUnit::ButResAllClick() {
  if (ui_.ask(kResetAllQuestion, " - WARNING -", Buttons::OkCancel, Icon::Exclamation) != Answer::Ok) return false;
  resetAllOptions(s_, ui_, screen_);
  finish(OptionsClosed::ResetAll);
  return true;
}

bool OptUnit::FormCloseQuery() {
  if (optionsPart(s_) == optionsPart(copy_)) {
    finish(OptionsClosed::Cancel);
    return true;
  }
  switch (ui_.ask(kSaveBeforeClosing, "Confirm", Buttons::YesNoCancel, Icon::Question, Answer::No)) {
    case Answer::Yes: return OkButClick();
    case Answer::No: return CancelButClick();
    default: return false;
  }
}

}  // namespace sonalog

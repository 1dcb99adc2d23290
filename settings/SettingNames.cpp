#include "settings/SettingNames.h"

#include <charconv>
#include <functional>
#include <limits>

namespace sonalog {

namespace {

struct Entry {
  SettingInfo info;
  std::vector<std::string> aliases;
  std::function<int64_t(const Settings&)> getNumber;
  std::function<void(Settings&, int64_t)> setNumber;
  std::function<const std::string&(const Settings&)> getText;
  std::function<void(Settings&, std::string)> setText;
};

bool equalsIgnoreAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

constexpr int64_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr int64_t kColourMax = 0xFFFFFF;

template <class T>
Entry number(std::string name, T Settings::*member, int64_t lo, int64_t hi, std::string description,
             std::vector<std::string> aliases = {}) {
  Entry e;
  e.info = SettingInfo{std::move(name), SettingKind::Number, lo, hi, 0, std::move(description)};
  e.aliases = std::move(aliases);
  e.getNumber = [member](const Settings& s) { return static_cast<int64_t>(s.*member); };
  e.setNumber = [member](Settings& s, int64_t v) { s.*member = static_cast<T>(v); };
  return e;
}

Entry flag(std::string name, bool Settings::*member, std::string description,
           std::vector<std::string> aliases = {}) {
  Entry e = number(std::move(name), member, 0, 1, std::move(description), std::move(aliases));
  e.info.kind = SettingKind::Switch;
  return e;
}

Entry text(std::string name, std::string Settings::*member, std::string description,
           size_t maxBytes = kMaxStringBytes) {
  Entry e;
  e.info = SettingInfo{std::move(name), SettingKind::Text, 0, 0, maxBytes, std::move(description)};
  e.getText = [member](const Settings& s) -> const std::string& { return s.*member; };
  e.setText = [member](Settings& s, std::string v) { s.*member = std::move(v); };
  return e;
}

void addFont(std::vector<Entry>& out, const std::string& name, FontSetting Settings::*font,
             int64_t minSize, int64_t maxSize, const std::string& what) {
  auto field = [font](auto FontSetting::*part) {
    return std::pair{[font, part](const Settings& s) { return static_cast<int64_t>(s.*font.*part); },
                     [font, part](Settings& s, int64_t v) { (s.*font).*part = static_cast<uint8_t>(v); }};
  };
  auto add = [&](const std::string& suffix, uint8_t FontSetting::*part, int64_t lo, int64_t hi,
                 const std::string& description) {
    Entry e;
    e.info = SettingInfo{name + "." + suffix, SettingKind::Number, lo, hi, 0, description};
    std::tie(e.getNumber, e.setNumber) = field(part);
    out.push_back(std::move(e));
  };
  add("size", &FontSetting::size, minSize, maxSize, what + " font size, points");
  add("charset", &FontSetting::charset, 0, 255, what + " font character set (1 = system default)");
  Entry e;
  e.info = SettingInfo{name + ".name", SettingKind::Text, 0, 0, kMaxFontNameBytes, what + " font name"};
  e.getText = [font](const Settings& s) -> const std::string& { return (s.*font).name; };
  e.setText = [font](Settings& s, std::string v) { (s.*font).name = std::move(v); };
  out.push_back(std::move(e));
  add("style", &FontSetting::style, 0, 15, what + " font style: 1 bold, 2 italic, 4 underline, 8 strike-out");
}

void addPosition(std::vector<Entry>& out, const std::string& name, WindowPosition Settings::*pos,
                 const std::string& what, bool isSize = false) {
  const std::string first = isSize ? "width" : "left";
  const std::string second = isSize ? "height" : "top";
  Entry a;
  a.info = SettingInfo{name + "." + first, SettingKind::Number, kInt32Min, kInt32Max, 0, what + " " + first};
  a.getNumber = [pos](const Settings& s) { return int64_t{(s.*pos).left}; };
  a.setNumber = [pos](Settings& s, int64_t v) { (s.*pos).left = static_cast<int32_t>(v); };
  out.push_back(std::move(a));
  Entry b;
  b.info = SettingInfo{name + "." + second, SettingKind::Number, kInt32Min, kInt32Max, 0, what + " " + second};
  b.getNumber = [pos](const Settings& s) { return int64_t{(s.*pos).top}; };
  b.setNumber = [pos](Settings& s, int64_t v) { (s.*pos).top = static_cast<int32_t>(v); };
  out.push_back(std::move(b));
}

std::vector<Entry> buildTable() {
  std::vector<Entry> t;
  auto add = [&t](Entry e) { t.push_back(std::move(e)); };
  // Block A.
  add(flag("CheckTime", &Settings::CheckTime, "export/show playtime"));
  add(flag("CheckKbps", &Settings::CheckKbps, "export/show bitrate"));
  add(flag("AddHeaderCheck", &Settings::AddHeaderCheck, "header row and tabs (text export)"));
  add(flag("CheckHead", &Settings::CheckHead, "use the header message file"));
  add(flag("CheckFoot", &Settings::CheckFoot, "use the footer message file"));
  add(flag("CheckFreq", &Settings::CheckFreq, "export/show frequency"));
  add(flag("CheckSize", &Settings::CheckSize, "export/show file size"));
  add(flag("CheckDate", &Settings::CheckDate, "export/show date created"));
  add(flag("CheckVl", &Settings::CheckVl, "export/show volume label"));
  add(flag("CheckPath", &Settings::CheckPath, "export/show path"));
  add(flag("CheckStereo", &Settings::CheckStereo, "export/show stereo mode"));
  add(flag("addedcheck", &Settings::addedcheck, "export/show date added"));
  add(flag("CheckSort", &Settings::CheckSort, "sort the list after a scan"));
  add(flag("CheckEnum", &Settings::CheckEnum, "enumeration"));
  add(flag("CheckSh", &Settings::CheckSh, "include system and hidden files"));
  add(number("Combopopt", &Settings::Combopopt, 0, 1, "0 fast processing, 1 slow processing"));
  add(flag("txcheck", &Settings::txcheck, "use the HTML text colour"));
  add(flag("CheckCenter", &Settings::CheckCenter, "centre artist and title cells"));
  add(flag("CheckSplit", &Settings::CheckSplit, "split artist and title"));
  add(flag("bgcheck", &Settings::bgcheck, "use the HTML background colour"));
  add(flag("CheckDescend", &Settings::CheckDescend, "descending sort"));
  add(number("ComboStereo", &Settings::ComboStereo, 0, 1, "stereo style: 0 short, 1 long"));
  add(flag("CheckCase", &Settings::CheckCase, "case-sensitive sort"));
  add(flag("CheckHtag", &Settings::CheckHtag, "HTML, title and body tags from the user's files"));
  add(flag("viewerManualWidths", &Settings::viewerManualWidths, "viewer cell widths: 1 manual, 0 automatic"));
  add(flag("viewerSplitArtistTitle", &Settings::viewerSplitArtistTitle, "viewer splits artist and title"));
  add(flag("CheckPtoo", &Settings::CheckPtoo, "plain HTML uses the table font and colours"));
  add(flag("Checkhr", &Settings::Checkhr, "hours in the XLS playtime"));
  add(flag("Checkms", &Settings::Checkms, "milliseconds in the XLS playtime"));
  add(flag("CheckFpb", &Settings::CheckFpb, "full path in batch path captions"));
  add(number("ComboVBR", &Settings::ComboVBR, 0, 9, "VBR style"));
  add(number("ComboStyle", &Settings::ComboStyle, 0, 3, "date style"));
  add(number("errorexportcombo", &Settings::errorexportcombo, 0, 2,
             "unknown values: 0 omit, 1 question marks, 2 hyphens"));
  add(number("ooptcombo", &Settings::ooptcombo, 0, 4, "export file type"));
  add(number("erroractioncombo", &Settings::erroractioncombo, 0, 2,
             "on a processing error: 0 always discard, 1 prompt, 2 always include"));
  add(number("delimiter", &Settings::delimiter, 0, 5,
             "delimiter (doption0..doption5): 0 \",\", 1 \"( )\", 2 \"[ ]\", 3 \"{ }\", 4 spaces, 5 tabs"));
  add(number("ComboCap", &Settings::ComboCap, 0, 3, "table captions"));
  add(number("sortcombo", &Settings::sortcombo, 0, 9, "sort key"));
  add(number("ListLoadCombo", &Settings::ListLoadCombo, 0, 2,
             "on start-up: 0 load nothing, 1 the last saved list, 2 startupList"));
  add(number("ComboK", &Settings::ComboK, 0, 4, "size style"));
  add(number("estext", &Settings::estext, 0, 99, "pad length"));
  add(number("viewerColourScheme", &Settings::viewerColourScheme, 0, 2, "viewer colours: 0 Windows, 1 Light, 2 Dark"));
  add(number("ComboSkip", &Settings::ComboSkip, 0, 3,
             "existing entries: 0 always add, 1 add/update if different, 2 update, 3 skip"));
  add(number("EditMaxcursav", &Settings::EditMaxcursav, 0, 65535,
             "don't ask to save lists with fewer unsaved items (0 never ask)"));
  add(number("cstext0", &Settings::cstext0, 0, 99, "HTML table cellspacing"));
  add(number("cstext1", &Settings::cstext1, 0, 99, "HTML table cellpadding"));
  add(number("cstext2", &Settings::cstext2, 0, 99, "HTML table border"));
  add(number("fadeMainWindow", &Settings::fadeMainWindow, 0, 1, "main window appears 0 instantly, 1 gradually"));
  add(number("fadeViewerWindow", &Settings::fadeViewerWindow, 0, 1, "viewer appears 0 instantly, 1 gradually"));
  add(number("fadeOptionsWindow", &Settings::fadeOptionsWindow, 0, 1, "options window appears 0 instantly, 1 gradually"));
  add(number("maxsizetext", &Settings::maxsizetext, 10, 2048, "largest mp3 to index, MB"));
  add(number("minsizetext", &Settings::minsizetext, 1, 2000, "smallest mp3 to index, KB"));
  add(number("bgpic", &Settings::bgpic, 0, kColourMax, "HTML background colour (0xBBGGRR)"));
  add(number("txpic", &Settings::txpic, 0, kColourMax, "HTML text colour (0xBBGGRR)"));
  add(number("mainWindowColour", &Settings::mainWindowColour, 0, kColourMax, "main window colour (0xBBGGRR)"));
  add(number("optionsWindowColour", &Settings::optionsWindowColour, 0, kColourMax, "options window colour (0xBBGGRR)"));
  add(number("viewerWindowColour", &Settings::viewerWindowColour, 0, kColourMax, "viewer colour (0xBBGGRR)"));
  for (size_t i = 0; i < kViewerColumnFields; ++i) {
    Entry e;
    e.info = SettingInfo{"viewerColumnWidths." + std::to_string(i), SettingKind::Number, kInt32Min,
                         kInt32Max, 0, "viewer manual column width of field " + std::to_string(i) + ", pixels"};
    e.getNumber = [i](const Settings& s) { return int64_t{s.viewerColumnWidths[i]}; };
    e.setNumber = [i](Settings& s, int64_t v) { s.viewerColumnWidths[i] = static_cast<int32_t>(v); };
    add(std::move(e));
  }
  addFont(t, "viewerFont", &Settings::viewerFont, 4, 32, "viewer grid");
  addFont(t, "tableFont", &Settings::tableFont, 1, 255, "HTML table");
  addFont(t, "captionFont", &Settings::captionFont, 1, 255, "table caption");

  // Block B.
  addPosition(t, "mainWindowPos", &Settings::mainWindowPos, "main window");
  addPosition(t, "optionsWindowPos", &Settings::optionsWindowPos, "options window");
  addPosition(t, "aboutWindowPos", &Settings::aboutWindowPos, "about window");
  addPosition(t, "importWindowPos", &Settings::importWindowPos, "import options window");
  addPosition(t, "duplicatesOptionsWindowPos", &Settings::duplicatesOptionsWindowPos, "duplicates options window");
  addPosition(t, "viewerSize", &Settings::viewerSize, "viewer client", true);
  addPosition(t, "duplicatesSearchWindowPos", &Settings::duplicatesSearchWindowPos, "duplicates search window");
  addPosition(t, "comparisonWindowPos", &Settings::comparisonWindowPos, "comparison window");
  addPosition(t, "comparisonOptionsWindowPos", &Settings::comparisonOptionsWindowPos, "comparison options window");
  addPosition(t, "viewerWindowPos", &Settings::viewerWindowPos, "viewer");
  addPosition(t, "skipMessageWindowPos", &Settings::skipMessageWindowPos, "skippable message window");
  addPosition(t, "captionInputWindowPos", &Settings::captionInputWindowPos, "caption input window");
  addPosition(t, "insertEditWindowPos", &Settings::insertEditWindowPos, "insert/edit window");
  addPosition(t, "loadMergeWindowPos", &Settings::loadMergeWindowPos, "load/merge window");
  addPosition(t, "findWindowPos", &Settings::findWindowPos, "find window");

  // Block C.
  add(number("dsRadio", &Settings::dsRadio, 0, 1, "import, date style unknown: 0 assume main style, 1 prompt",
             {"dsradio"}));
  add(number("daRadio", &Settings::daRadio, 0, 1, "import, date added missing: 0 current date, 1 leave blank",
             {"daradio"}));
  add(number("matchThreshold", &Settings::matchThreshold, 50, 100, "similarity threshold, percent",
             {"TrackBar1", "comptrack"}));
  add(number("actionMode", &Settings::actionMode, 0, 2,
             "duplicates/compare: 0 automatic, 1 automatic for 99-100% matches, 2 manual"));
  add(number("compareAction", &Settings::compareAction, 0, 9, "compare action type", {"ActionCombo"}));
  add(number("compareWith", &Settings::compareWith, 0, 1, "compare with 0 a list file, 1 any text list",
             {"WithCombo"}));
  add(number("insertPlacement", &Settings::insertPlacement, 0, 3, "insert/edit placement choice"));
  add(number("editPlacement", &Settings::editPlacement, 2, 3, "placement choice used when editing"));
  add(number("importFileType", &Settings::importFileType, 0, 2,
             "import file type: 0 exported list, 1 other text list, 2 m3u", {"Rimcb1"}));
  add(number("Rg1", &Settings::Rg1, 0, 3, "load/merge: how to sort when appending"));
  add(number("threadPriority", &Settings::threadPriority, 0, 2, "duplicates/compare priority: 0 low, 1 normal, 2 high"));
  add(number("viewerTotalTimeStyle", &Settings::viewerTotalTimeStyle, 0, 3, "viewer total-time display style"));
  add(number("ComboCow", &Settings::ComboCow, 0, 2, "window whose colour the options edit: 0 main, 1 viewer, 2 options"));
  add(flag("cmfcheck", &Settings::cmfcheck, "import: calculate missing size or time"));
  add(flag("clabcheck", &Settings::clabcheck, "import: read current volume labels"));
  add(flag("stripcheck", &Settings::stripcheck, "import: strip header and footer"));
  add(flag("ImapCheck", &Settings::ImapCheck, "import: append to the list"));
  add(flag("allowUnspecified", &Settings::allowUnspecified, "allow a match when size, time or bitrate is unknown",
           {"auncheck"}));
  add(flag("sizeCheck", &Settings::sizeCheck, "size may differ up to sizeLimitKB", {"sizedifcheck"}));
  add(flag("timeCheck", &Settings::timeCheck, "time may differ up to timeLimitSec", {"timedifcheck"}));
  add(flag("highChars", &Settings::highChars, "high character matching", {"HighCheck", "HighCharCheck"}));
  add(flag("bitrateCheck", &Settings::bitrateCheck, "bitrate must match", {"Bitcheck"}));
  add(flag("viewerMaximized", &Settings::viewerMaximized, "viewer window maximized"));
  add(flag("examineBangLines", &Settings::examineBangLines, "examine only \"!user\" lines (import, compare)",
           {"MircCheck", "IgnoreCheck"}));
  add(number("loadMergeAppend", &Settings::loadMergeAppend, 0, 1, "load/merge: 0 new list, 1 append", {"Rb1"}));
  add(flag("DontShowCheck", &Settings::DontShowCheck, "load/merge: don't show the window again"));
  add(flag("ChkMatch", &Settings::ChkMatch, "find: match case"));
  add(flag("firstLetterCheck", &Settings::firstLetterCheck, "compare only titles starting with the same letter",
           {"LetterCheck"}));
  add(flag("CheckRem", &Settings::CheckRem, "caption input: remember the caption"));
  add(flag("ChkInversion", &Settings::ChkInversion, "find: inverse colours for filtered lists"));
  add(flag("sadcheck", &Settings::sadcheck, "main window: search all drives"));
  add(flag("Incbox", &Settings::Incbox, "main window: include subfolders"));
  add(flag("skipFilteredNote", &Settings::skipFilteredNote, "don't show the filtered-list note again"));
  add(number("sizeLimitKB", &Settings::sizeLimitKB, 0, 9999, "size may differ up to, KB", {"SizeEdit"}));
  add(number("timeLimitSec", &Settings::timeLimitSec, 0, 99, "time may differ up to, seconds", {"TimeEdit"}));
  for (size_t i = 0; i < kCustomColourCount; ++i) {
    Entry e;
    e.info = SettingInfo{"customColours." + std::to_string(i), SettingKind::Text, 0, 0, 8,
                         "colour dialog custom colour " + std::to_string(i) + " (8 hex digits)"};
    e.getText = [i](const Settings& s) -> const std::string& { return s.customColours[i]; };
    e.setText = [i](Settings& s, std::string v) { s.customColours[i] = std::move(v); };
    add(std::move(e));
  }
  addFont(t, "folderTreeFont", &Settings::folderTreeFont, 4, 32, "main window folder tree");

  // Strings.
  add(text("headerFileText", &Settings::headerFileText, "header message file for text mode"));
  add(text("footerFileText", &Settings::footerFileText, "footer message file for text mode"));
  add(text("headerFileHtml", &Settings::headerFileHtml, "header message file for HTML modes"));
  add(text("footerFileHtml", &Settings::footerFileHtml, "footer message file for HTML modes"));
  add(text("startupList", &Settings::startupList, "the list to auto-load on start-up"));
  add(text("loadFolder", &Settings::loadFolder, "last folder of Load"));
  add(text("saveAsFolder", &Settings::saveAsFolder, "last folder of Save as"));
  add(text("exportFolder", &Settings::exportFolder, "last export folder"));
  add(text("importFolder", &Settings::importFolder, "last import folder"));
  add(text("duplicatesLogFolder", &Settings::duplicatesLogFolder, "duplicates search log folder"));
  add(text("compareOutputFolder", &Settings::compareOutputFolder, "folder of the comparison output file"));
  add(text("compareInputFolder", &Settings::compareInputFolder, "folder of the comparison external list"));
  add(text("lastSavedList", &Settings::lastSavedList, "last saved list, full path"));
  add(text("insertEditFolder", &Settings::insertEditFolder, "insert/edit window folder"));
  add(text("optionsFileFolder", &Settings::optionsFileFolder, "folder of Save options as / Load options from"));
  add(text("lastCaption", &Settings::lastCaption, "last entered table caption"));
  add(text("textMessageFolder", &Settings::textMessageFolder, "dialog folder for the text message files"));
  add(text("htmlMessageFolder", &Settings::htmlMessageFolder, "dialog folder for the HTML message files"));
  add(text("startupListFolder", &Settings::startupListFolder, "dialog folder for the auto-load list"));
  add(text("mainFolder", &Settings::mainFolder, "the main window's current folder"));
  add(text("lastExternalList", &Settings::lastExternalList, "last external list of the comparison"));
  add(text("lastOutputFile", &Settings::lastOutputFile, "last comparison output file"));
  return t;
}

const std::vector<Entry>& table() {
  static const std::vector<Entry> t = buildTable();
  return t;
}

const Entry* findEntry(std::string_view name) {
  for (const Entry& e : table()) {
    if (e.info.name == name) return &e;
    for (const std::string& alias : e.aliases)
      if (alias == name) return &e;
  }
  // No exact match: accept a difference in letter case when it names exactly one setting.
  const Entry* found = nullptr;
  for (const Entry& e : table()) {
    bool match = equalsIgnoreAsciiCase(e.info.name, name);
    for (const std::string& alias : e.aliases) match = match || equalsIgnoreAsciiCase(alias, name);
    if (!match) continue;
    if (found && found != &e) return nullptr;
    found = &e;
  }
  return found;
}

// The entry behind an info that allSettings() or findSetting() gave out.
const Entry* entryFor(const SettingInfo& info) {
  for (const Entry& e : table())
    if (&e.info == &info || e.info.name == info.name) return &e;
  return nullptr;
}

// A whole decimal number, or hexadecimal with "0x"; nullopt for anything else.
std::optional<int64_t> parseNumber(std::string_view text) {
  bool negative = false;
  std::string_view digits = text;
  if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) {
    negative = digits[0] == '-';
    digits.remove_prefix(1);
  }
  int base = 10;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    base = 16;
    digits.remove_prefix(2);
  }
  if (digits.empty()) return std::nullopt;
  int64_t value = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
  if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return negative ? -value : value;
}

}  // namespace

const std::vector<SettingInfo>& allSettings() {
  static const std::vector<SettingInfo> infos = [] {
    std::vector<SettingInfo> out;
    for (const Entry& e : table()) out.push_back(e.info);
    return out;
  }();
  return infos;
}

const SettingInfo* findSetting(std::string_view name) {
  const Entry* e = findEntry(name);
  return e ? &e->info : nullptr;
}

std::string getSetting(const Settings& s, const SettingInfo& info) {
  const Entry* e = entryFor(info);
  if (!e) return {};
  if (e->info.kind == SettingKind::Text) return e->getText(s);
  return std::to_string(e->getNumber(s));
}

std::optional<std::string> setSetting(Settings& s, const SettingInfo& info, std::string_view value) {
  const Entry* found = entryFor(info);
  if (!found) return "unknown setting \"" + info.name + "\"";
  const Entry& e = *found;
  switch (e.info.kind) {
    case SettingKind::Switch:
      if (value != "0" && value != "1")
        return "invalid value \"" + std::string(value) + "\" for " + info.name + ": expected 0 or 1";
      e.setNumber(s, value == "1" ? 1 : 0);
      return std::nullopt;
    case SettingKind::Number: {
      const auto n = parseNumber(value);
      if (!n || *n < info.min || *n > info.max)
        return "invalid value \"" + std::string(value) + "\" for " + info.name + ": expected a whole number from " +
               std::to_string(info.min) + " to " + std::to_string(info.max);
      e.setNumber(s, *n);
      return std::nullopt;
    }
    case SettingKind::Text:
      if (value.size() > info.maxBytes)
        return "value for " + info.name + " is too long: at most " + std::to_string(info.maxBytes) + " bytes";
      e.setText(s, std::string(value));
      return std::nullopt;
  }
  return std::nullopt;
}

std::optional<std::string> applySettingAssignment(Settings& s, std::string_view assignment) {
  const size_t eq = assignment.find('=');
  if (eq == std::string_view::npos)
    return "invalid setting \"" + std::string(assignment) + "\": expected NAME=VALUE";
  const std::string_view name = assignment.substr(0, eq);
  const SettingInfo* info = findSetting(name);
  if (!info) return "unknown setting \"" + std::string(name) + "\" (sonalog config --names lists them)";
  return setSetting(s, *info, assignment.substr(eq + 1));
}

}  // namespace sonalog

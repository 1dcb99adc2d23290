#include "settings/SettingsTable.h"

#include <limits>
#include <type_traits>
#include <utility>

namespace sonalog {

namespace {

constexpr int64_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr int64_t kColourMax = 0xFFFFFF;
constexpr size_t kCustomColourDigits = 8;  // hexadecimal digits per custom colour ("00BEDED5")

template <class T>
constexpr StoredAs storedAs() {
  if constexpr (sizeof(T) == 1) return StoredAs::U8;
  else if constexpr (sizeof(T) == 2) return StoredAs::U16;
  else if constexpr (std::is_signed_v<T>) return StoredAs::I32;
  else return StoredAs::U32;
}

// A table row under construction; the chained calls read as the row's remaining facts.
class Row {
 public:
  explicit Row(SettingField f) : f_(std::move(f)) {}
  // The options window's DEFAULTS resets it too.
  Row&& options() && { f_.info.optionsDefault = true; return std::move(*this); }
  // A load replaces a value outside the range by v.
  Row&& orElse(int64_t v) && { f_.loadFix = LoadFix::Fallback; f_.fallback = v; return std::move(*this); }
  // A load keeps only the bits of the range.
  Row&& masked() && { f_.loadFix = LoadFix::Mask; return std::move(*this); }
  // A load takes the value modulo the range's size.
  Row&& wrapped() && { f_.loadFix = LoadFix::Wrap; return std::move(*this); }
  // "Reset ALL options" leaves it alone.
  Row&& kept() && { f_.reset = ResetTo::Kept; return std::move(*this); }
  // Both resets point it at the home folder.
  Row&& homeFolder() && { f_.reset = ResetTo::HomeFolder; return std::move(*this); }
  Row&& alias(std::vector<std::string> names) && { f_.aliases = std::move(names); return std::move(*this); }
  SettingField take() && { return std::move(f_); }

 private:
  SettingField f_;
};

template <class T>
Row number(std::string name, T Settings::*member, size_t offset, int64_t lo, int64_t hi,
           std::string description) {
  SettingField f;
  f.info = SettingInfo{std::move(name), SettingKind::Number, lo, hi, 0, std::move(description), false};
  f.stored = storedAs<T>();
  f.offset = offset;
  f.getNumber = [member](const Settings& s) { return static_cast<int64_t>(s.*member); };
  f.setNumber = [member](Settings& s, int64_t v) { s.*member = static_cast<T>(v); };
  return Row(std::move(f));
}

Row flag(std::string name, bool Settings::*member, size_t offset, std::string description) {
  SettingField f = number(std::move(name), member, offset, 0, 1, std::move(description)).take();
  f.info.kind = SettingKind::Switch;
  return Row(std::move(f));
}

// One of the strings after the blocks; TableBuilder::add gives it its index.
Row text(std::string name, std::string Settings::*member, std::string description) {
  SettingField f;
  f.info = SettingInfo{std::move(name), SettingKind::Text, 0, 0, kMaxStringBytes, std::move(description), false};
  f.stored = StoredAs::LongText;
  f.getText = [member](const Settings& s) -> const std::string& { return s.*member; };
  f.setText = [member](Settings& s, std::string v) { s.*member = std::move(v); };
  return Row(std::move(f));
}

class TableBuilder {
 public:
  std::vector<SettingField> rows;

  // The strings are stored in the order they are added.
  void add(Row&& row) {
    SettingField f = std::move(row).take();
    if (f.stored == StoredAs::LongText) f.offset = strings_++;
    rows.push_back(std::move(f));
  }

  // Where a font's four parts lie: the block A fonts are stored part by part, so each font has
  // its own offsets.
  struct FontOffsets {
    size_t size, charset, name, style;
  };
  // minSize..maxSize is the size range; sizeFallback, when non-zero, is what a load puts in place
  // of a size outside it.
  void font(const std::string& name, FontSetting Settings::*font, FontOffsets at, int64_t minSize,
            int64_t maxSize, int64_t sizeFallback, bool optionsDefault, const std::string& what) {
    auto part = [&](const std::string& suffix, uint8_t FontSetting::*member, size_t offset, int64_t lo,
                    int64_t hi, const std::string& description) {
      SettingField f;
      f.info = SettingInfo{name + "." + suffix, SettingKind::Number, lo, hi, 0, description, optionsDefault};
      f.stored = StoredAs::U8;
      f.offset = offset;
      f.getNumber = [font, member](const Settings& s) { return static_cast<int64_t>(s.*font.*member); };
      f.setNumber = [font, member](Settings& s, int64_t v) { (s.*font).*member = static_cast<uint8_t>(v); };
      return f;
    };
    SettingField size = part("size", &FontSetting::size, at.size, minSize, maxSize, what + " font size, points");
    if (sizeFallback != 0) {
      size.loadFix = LoadFix::Fallback;
      size.fallback = sizeFallback;
    }
    rows.push_back(std::move(size));
    rows.push_back(part("charset", &FontSetting::charset, at.charset, 0, 255,
                        what + " font character set (1 = system default)"));
    SettingField n;
    n.info = SettingInfo{name + ".name", SettingKind::Text, 0, 0, kMaxFontNameBytes, what + " font name",
                         optionsDefault};
    n.stored = StoredAs::ShortText;
    n.offset = at.name;
    n.getText = [font](const Settings& s) -> const std::string& { return (s.*font).name; };
    n.setText = [font](Settings& s, std::string v) { (s.*font).name = std::move(v); };
    rows.push_back(std::move(n));
    rows.push_back(part("style", &FontSetting::style, at.style, 0, 15,
                        what + " font style: 1 bold, 2 italic, 4 underline, 8 strike-out"));
  }

  // A block B pair. width x height is the window's design size, for the centred reset position;
  // viewerSize (isSize) is a size, not a position, and resets to its default.
  void window(const std::string& name, WindowPosition Settings::*pos, size_t offset, int32_t width,
              int32_t height, const std::string& what, bool isSize = false) {
    const std::string first = isSize ? "width" : "left";
    const std::string second = isSize ? "height" : "top";
    SettingField a;
    a.info = SettingInfo{name + "." + first, SettingKind::Number, kInt32Min, kInt32Max, 0, what + " " + first, false};
    a.stored = StoredAs::I32;
    a.offset = offset;
    a.reset = isSize ? ResetTo::Default : ResetTo::CentredX;
    a.centreSize = width;
    a.getNumber = [pos](const Settings& s) { return int64_t{(s.*pos).left}; };
    a.setNumber = [pos](Settings& s, int64_t v) { (s.*pos).left = static_cast<int32_t>(v); };
    rows.push_back(std::move(a));
    SettingField b;
    b.info = SettingInfo{name + "." + second, SettingKind::Number, kInt32Min, kInt32Max, 0, what + " " + second, false};
    b.stored = StoredAs::I32;
    b.offset = offset + 4;
    b.reset = isSize ? ResetTo::Default : ResetTo::CentredY;
    b.centreSize = height;
    b.getNumber = [pos](const Settings& s) { return int64_t{(s.*pos).top}; };
    b.setNumber = [pos](Settings& s, int64_t v) { (s.*pos).top = static_cast<int32_t>(v); };
    rows.push_back(std::move(b));
  }

 private:
  size_t strings_ = 0;  // strings added so far
};

// Block A (offset 0) to offset 50: switches and choices.
void addBlockA(TableBuilder& t) {
  t.add(flag("CheckTime", &Settings::CheckTime, 0, "export/show playtime").options());
  t.add(flag("CheckKbps", &Settings::CheckKbps, 1, "export/show bitrate").options());
  t.add(flag("AddHeaderCheck", &Settings::AddHeaderCheck, 2, "header row and tabs (text export)").options());
  t.add(flag("CheckHead", &Settings::CheckHead, 3, "use the header message file").options());
  t.add(flag("CheckFoot", &Settings::CheckFoot, 4, "use the footer message file").options());
  t.add(flag("CheckFreq", &Settings::CheckFreq, 5, "export/show frequency").options());
  t.add(flag("CheckSize", &Settings::CheckSize, 6, "export/show file size").options());
  t.add(flag("CheckDate", &Settings::CheckDate, 7, "export/show date created").options());
  t.add(flag("CheckVl", &Settings::CheckVl, 8, "export/show volume label").options());
  t.add(flag("CheckPath", &Settings::CheckPath, 9, "export/show path").options());
  t.add(flag("CheckStereo", &Settings::CheckStereo, 10, "export/show stereo mode").options());
  t.add(flag("addedcheck", &Settings::addedcheck, 11, "export/show date added").options());
  t.add(flag("CheckSort", &Settings::CheckSort, 12, "sort the list after a scan").options());
  t.add(flag("CheckEnum", &Settings::CheckEnum, 13, "enumeration").options());
  t.add(flag("CheckSh", &Settings::CheckSh, 14, "include system and hidden files").options());
  t.add(number("Combopopt", &Settings::Combopopt, 15, 0, 1, "0 fast processing, 1 slow processing").options());
  t.add(flag("txcheck", &Settings::txcheck, 16, "use the HTML text colour").options());
  t.add(flag("CheckCenter", &Settings::CheckCenter, 17, "centre artist and title cells").options());
  t.add(flag("CheckSplit", &Settings::CheckSplit, 18, "split artist and title").options());
  t.add(flag("bgcheck", &Settings::bgcheck, 19, "use the HTML background colour").options());
  t.add(flag("CheckDescend", &Settings::CheckDescend, 20, "descending sort").options());
  t.add(number("ComboStereo", &Settings::ComboStereo, 21, 0, 1, "stereo style: 0 short, 1 long").options());
  t.add(flag("CheckCase", &Settings::CheckCase, 22, "case-sensitive sort").options());
  t.add(flag("CheckHtag", &Settings::CheckHtag, 23, "HTML, title and body tags from the user's files").options());
  t.add(flag("viewerManualWidths", &Settings::viewerManualWidths, 24, "viewer cell widths: 1 manual, 0 automatic"));
  t.add(flag("viewerSplitArtistTitle", &Settings::viewerSplitArtistTitle, 25, "viewer splits artist and title")
            .options());
  t.add(flag("CheckPtoo", &Settings::CheckPtoo, 26, "plain HTML uses the table font and colours").options());
  // The XLS playtime's hour and millisecond switches have no default: every reset keeps them.
  t.add(flag("Checkhr", &Settings::Checkhr, 27, "hours in the XLS playtime").kept());
  t.add(flag("Checkms", &Settings::Checkms, 28, "milliseconds in the XLS playtime").kept());
  t.add(flag("CheckFpb", &Settings::CheckFpb, 29, "full path in batch path captions").options());
  t.add(number("ComboVBR", &Settings::ComboVBR, 30, 0, 9, "VBR style").options().orElse(0));
  t.add(number("ComboStyle", &Settings::ComboStyle, 31, 0, 3, "date style").options().orElse(0));
  t.add(number("errorexportcombo", &Settings::errorexportcombo, 32, 0, 2,
               "unknown values: 0 omit, 1 question marks, 2 hyphens")
            .options()
            .orElse(1));
  t.add(number("ooptcombo", &Settings::ooptcombo, 33, 0, 4, "export file type").options().orElse(0));
  t.add(number("erroractioncombo", &Settings::erroractioncombo, 34, 0, 2,
               "on a processing error: 0 always discard, 1 prompt, 2 always include")
            .options()
            .orElse(1));
  t.add(number("delimiter", &Settings::delimiter, 35, 0, 5,
               "delimiter (doption0..doption5): 0 \",\", 1 \"( )\", 2 \"[ ]\", 3 \"{ }\", 4 spaces, 5 tabs")
            .options()
            .orElse(0));
  t.add(number("ComboCap", &Settings::ComboCap, 36, 0, 3, "table captions").options().masked());
  t.add(number("sortcombo", &Settings::sortcombo, 37, 0, 9, "sort key").options().orElse(0));
  t.add(number("ListLoadCombo", &Settings::ListLoadCombo, 38, 0, 2,
               "on start-up: 0 load nothing, 1 the last saved list, 2 startupList")
            .options());
  t.add(number("ComboK", &Settings::ComboK, 39, 0, 4, "size style").options().orElse(1));
  t.add(number("estext", &Settings::estext, 40, 0, 99, "pad length").options().orElse(0));
  t.add(number("viewerColourScheme", &Settings::viewerColourScheme, 41, 0, 2,
               "viewer colours: 0 Windows, 1 Light, 2 Dark")
            .orElse(0));
  t.add(number("ComboSkip", &Settings::ComboSkip, 42, 0, 3,
               "existing entries: 0 always add, 1 add/update if different, 2 update, 3 skip")
            .options()
            .masked());
  t.add(number("EditMaxcursav", &Settings::EditMaxcursav, 43, 0, 65535,
               "don't ask to save lists with fewer unsaved items (0 never ask)")
            .options());
  t.add(number("cstext0", &Settings::cstext0, 45, 0, 99, "HTML table cellspacing").options());
  t.add(number("cstext1", &Settings::cstext1, 46, 0, 99, "HTML table cellpadding").options());
  t.add(number("cstext2", &Settings::cstext2, 47, 0, 99, "HTML table border").options());
  t.add(number("fadeMainWindow", &Settings::fadeMainWindow, 48, 0, 1, "main window appears 0 instantly, 1 gradually")
            .options()
            .masked());
  t.add(number("fadeViewerWindow", &Settings::fadeViewerWindow, 49, 0, 1, "viewer appears 0 instantly, 1 gradually")
            .options()
            .masked());
  t.add(number("fadeOptionsWindow", &Settings::fadeOptionsWindow, 50, 0, 1,
               "options window appears 0 instantly, 1 gradually")
            .options()
            .masked());
}

// Block A from offset 51: the size window, colours, the viewer's manual column widths, fonts.
void addBlockASizesColoursFonts(TableBuilder& t) {
  t.add(number("maxsizetext", &Settings::maxsizetext, 51, 10, 2048, "largest mp3 to index, MB").options().orElse(2048));
  t.add(number("minsizetext", &Settings::minsizetext, 55, 1, 2000, "smallest mp3 to index, KB").options().orElse(10));
  t.add(number("bgpic", &Settings::bgpic, 59, 0, kColourMax, "HTML background colour (0xBBGGRR)").options());
  t.add(number("txpic", &Settings::txpic, 63, 0, kColourMax, "HTML text colour (0xBBGGRR)").options());
  t.add(number("mainWindowColour", &Settings::mainWindowColour, 67, 0, kColourMax, "main window colour (0xBBGGRR)")
            .options());
  t.add(number("optionsWindowColour", &Settings::optionsWindowColour, 71, 0, kColourMax,
               "options window colour (0xBBGGRR)")
            .options());
  t.add(number("viewerWindowColour", &Settings::viewerWindowColour, 75, 0, kColourMax, "viewer colour (0xBBGGRR)")
            .options());
  for (size_t i = 0; i < kViewerColumnFields; ++i) {
    SettingField f;
    f.info = SettingInfo{"viewerColumnWidths." + std::to_string(i), SettingKind::Number, kInt32Min, kInt32Max, 0,
                         "viewer manual column width of field " + std::to_string(i) + ", pixels", false};
    f.stored = StoredAs::I32;
    f.offset = 79 + 4 * i;
    f.getNumber = [i](const Settings& s) { return int64_t{s.viewerColumnWidths[i]}; };
    f.setNumber = [i](Settings& s, int64_t v) { s.viewerColumnWidths[i] = static_cast<int32_t>(v); };
    t.rows.push_back(std::move(f));
  }
  // The three block A fonts are stored part by part: sizes, character sets, names, styles.
  t.font("viewerFont", &Settings::viewerFont, {135, 138, 141, 909}, 4, 32, 10, false, "viewer grid");
  t.font("tableFont", &Settings::tableFont, {136, 139, 397, 910}, 1, 255, 0, true, "HTML table");
  t.font("captionFont", &Settings::captionFont, {137, 140, 653, 911}, 1, 255, 0, true, "table caption");
}

// Block B (912): each window's left and top, with its design size.
void addBlockB(TableBuilder& t) {
  t.window("mainWindowPos", &Settings::mainWindowPos, 912, 284, 362, "main window");
  t.window("optionsWindowPos", &Settings::optionsWindowPos, 920, 787, 549, "options window");
  t.window("aboutWindowPos", &Settings::aboutWindowPos, 928, 320, 314, "about window");
  t.window("importWindowPos", &Settings::importWindowPos, 936, 430, 557, "import options window");
  t.window("duplicatesOptionsWindowPos", &Settings::duplicatesOptionsWindowPos, 944, 307, 415,
           "duplicates options window");
  t.window("viewerSize", &Settings::viewerSize, 952, 0, 0, "viewer client", true);
  t.window("duplicatesSearchWindowPos", &Settings::duplicatesSearchWindowPos, 960, 482, 307,
           "duplicates search window");
  t.window("comparisonWindowPos", &Settings::comparisonWindowPos, 968, 482, 307, "comparison window");
  t.window("comparisonOptionsWindowPos", &Settings::comparisonOptionsWindowPos, 976, 307, 502,
           "comparison options window");
  t.window("viewerWindowPos", &Settings::viewerWindowPos, 984, 700, 600, "viewer");
  t.window("skipMessageWindowPos", &Settings::skipMessageWindowPos, 992, 256, 286, "skippable message window");
  t.window("captionInputWindowPos", &Settings::captionInputWindowPos, 1000, 313, 246, "caption input window");
  t.window("insertEditWindowPos", &Settings::insertEditWindowPos, 1008, 301, 301, "insert/edit window");
  t.window("loadMergeWindowPos", &Settings::loadMergeWindowPos, 1016, 227, 310, "load/merge window");
  t.window("findWindowPos", &Settings::findWindowPos, 1024, 217, 190, "find window");
}

// Block C (1032): the other windows' switches and choices, custom colours, the folder tree font.
void addBlockC(TableBuilder& t) {
  t.add(number("dsRadio", &Settings::dsRadio, 1032, 0, 1, "import, date style unknown: 0 assume main style, 1 prompt")
            .masked()
            .alias({"dsradio"}));
  t.add(number("daRadio", &Settings::daRadio, 1033, 0, 1, "import, date added missing: 0 current date, 1 leave blank")
            .masked()
            .alias({"daradio"}));
  t.add(number("matchThreshold", &Settings::matchThreshold, 1034, 50, 100, "similarity threshold, percent")
            .alias({"TrackBar1", "comptrack"}));
  t.add(number("actionMode", &Settings::actionMode, 1035, 0, 2,
               "duplicates/compare: 0 automatic, 1 automatic for 99-100% matches, 2 manual")
            .wrapped());
  t.add(number("compareAction", &Settings::compareAction, 1036, 0, 9, "compare action type")
            .wrapped()
            .alias({"ActionCombo"}));
  t.add(number("compareWith", &Settings::compareWith, 1037, 0, 1, "compare with 0 a list file, 1 any text list")
            .masked()
            .alias({"WithCombo"}));
  t.add(number("insertPlacement", &Settings::insertPlacement, 1038, 0, 3, "insert/edit placement choice").masked());
  t.add(number("editPlacement", &Settings::editPlacement, 1039, 2, 3, "placement choice used when editing").orElse(2));
  // A load keeps only the low bit, so the m3u choice (2) cannot be stored.
  t.add(number("importFileType", &Settings::importFileType, 1040, 0, 1,
               "import file type: 0 exported list, 1 other text list")
            .masked()
            .alias({"Rimcb1"}));
  t.add(number("Rg1", &Settings::Rg1, 1041, 0, 3, "load/merge: how to sort when appending").orElse(1));
  t.add(number("threadPriority", &Settings::threadPriority, 1042, 0, 2,
               "duplicates/compare priority: 0 low, 1 normal, 2 high")
            .orElse(0));
  t.add(number("viewerTotalTimeStyle", &Settings::viewerTotalTimeStyle, 1043, 0, 3, "viewer total-time display style")
            .masked());
  t.add(number("ComboCow", &Settings::ComboCow, 1044, 0, 2,
               "window whose colour the options edit: 0 main, 1 viewer, 2 options")
            .orElse(0));
  t.add(flag("cmfcheck", &Settings::cmfcheck, 1045, "import: calculate missing size or time"));
  t.add(flag("clabcheck", &Settings::clabcheck, 1046, "import: read current volume labels"));
  t.add(flag("stripcheck", &Settings::stripcheck, 1047, "import: strip header and footer"));
  t.add(flag("ImapCheck", &Settings::ImapCheck, 1048, "import: append to the list"));
  t.add(flag("allowUnspecified", &Settings::allowUnspecified, 1049,
             "allow a match when size, time or bitrate is unknown")
            .alias({"auncheck"}));
  t.add(flag("sizeCheck", &Settings::sizeCheck, 1050, "size may differ up to sizeLimitKB").alias({"sizedifcheck"}));
  t.add(flag("timeCheck", &Settings::timeCheck, 1051, "time may differ up to timeLimitSec").alias({"timedifcheck"}));
  t.add(flag("highChars", &Settings::highChars, 1052, "high character matching").alias({"HighCheck", "HighCharCheck"}));
  t.add(flag("bitrateCheck", &Settings::bitrateCheck, 1053, "bitrate must match").alias({"Bitcheck"}));
  t.add(flag("viewerMaximized", &Settings::viewerMaximized, 1054, "viewer window maximized"));
  t.add(flag("examineBangLines", &Settings::examineBangLines, 1055, "examine only \"!user\" lines (import, compare)")
            .alias({"MircCheck", "IgnoreCheck"}));
  t.add(number("loadMergeAppend", &Settings::loadMergeAppend, 1056, 0, 1, "load/merge: 0 new list, 1 append")
            .alias({"Rb1"}));
  t.add(flag("DontShowCheck", &Settings::DontShowCheck, 1057, "load/merge: don't show the window again"));
  t.add(flag("ChkMatch", &Settings::ChkMatch, 1058, "find: match case"));
  t.add(flag("firstLetterCheck", &Settings::firstLetterCheck, 1059, "compare only titles starting with the same letter")
            .alias({"LetterCheck"}));
  t.add(flag("CheckRem", &Settings::CheckRem, 1060, "caption input: remember the caption"));
  t.add(flag("ChkInversion", &Settings::ChkInversion, 1061, "find: inverse colours for filtered lists"));
  t.add(flag("sadcheck", &Settings::sadcheck, 1062, "main window: search all drives"));
  t.add(flag("Incbox", &Settings::Incbox, 1063, "main window: include subfolders"));
  t.add(flag("skipFilteredNote", &Settings::skipFilteredNote, 1064, "don't show the filtered-list note again"));
  t.add(number("sizeLimitKB", &Settings::sizeLimitKB, 1065, 0, 9999, "size may differ up to, KB").alias({"SizeEdit"}));
  t.add(number("timeLimitSec", &Settings::timeLimitSec, 1067, 0, 99, "time may differ up to, seconds")
            .alias({"TimeEdit"}));
  for (size_t i = 0; i < kCustomColourCount; ++i) {
    SettingField f;
    f.info = SettingInfo{"customColours." + std::to_string(i), SettingKind::Text, 0, 0, kCustomColourDigits,
                         "colour dialog custom colour " + std::to_string(i) + " (8 hex digits)", false};
    f.stored = StoredAs::ShortText;
    f.offset = 1069 + (1 + kCustomColourDigits) * i;
    f.getText = [i](const Settings& s) -> const std::string& { return s.customColours[i]; };
    f.setText = [i](Settings& s, std::string v) { s.customColours[i] = std::move(v); };
    t.rows.push_back(std::move(f));
  }
  t.font("folderTreeFont", &Settings::folderTreeFont, {1213, 1214, 1215, 1471}, 4, 32, 10, false,
         "main window folder tree");
}

// The strings (1472), in file order: a string's index is its place here.
void addStrings(TableBuilder& t) {
  t.add(text("headerFileText", &Settings::headerFileText, "header message file for text mode").options());
  t.add(text("footerFileText", &Settings::footerFileText, "footer message file for text mode").options());
  t.add(text("headerFileHtml", &Settings::headerFileHtml, "header message file for HTML modes").options());
  t.add(text("footerFileHtml", &Settings::footerFileHtml, "footer message file for HTML modes").options());
  t.add(text("startupList", &Settings::startupList, "the list to auto-load on start-up").options());
  t.add(text("loadFolder", &Settings::loadFolder, "last folder of Load").homeFolder());
  t.add(text("saveAsFolder", &Settings::saveAsFolder, "last folder of Save as").homeFolder());
  t.add(text("exportFolder", &Settings::exportFolder, "last export folder").homeFolder());
  t.add(text("importFolder", &Settings::importFolder, "last import folder").homeFolder());
  t.add(text("duplicatesLogFolder", &Settings::duplicatesLogFolder, "duplicates search log folder").homeFolder());
  t.add(text("compareOutputFolder", &Settings::compareOutputFolder, "folder of the comparison output file")
            .homeFolder());
  t.add(text("compareInputFolder", &Settings::compareInputFolder, "folder of the comparison external list")
            .homeFolder());
  t.add(text("lastSavedList", &Settings::lastSavedList, "last saved list, full path"));
  t.add(text("insertEditFolder", &Settings::insertEditFolder, "insert/edit window folder").homeFolder());
  t.add(text("optionsFileFolder", &Settings::optionsFileFolder, "folder of Save options as / Load options from")
            .homeFolder());
  t.add(text("lastCaption", &Settings::lastCaption, "last entered table caption"));
  t.add(text("textMessageFolder", &Settings::textMessageFolder, "dialog folder for the text message files")
            .options()
            .homeFolder());
  t.add(text("htmlMessageFolder", &Settings::htmlMessageFolder, "dialog folder for the HTML message files")
            .options()
            .homeFolder());
  t.add(text("startupListFolder", &Settings::startupListFolder, "dialog folder for the auto-load list")
            .options()
            .homeFolder());
  t.add(text("mainFolder", &Settings::mainFolder, "the main window's current folder").homeFolder());
  t.add(text("lastExternalList", &Settings::lastExternalList, "last external list of the comparison"));
  t.add(text("lastOutputFile", &Settings::lastOutputFile, "last comparison output file"));
}

std::vector<SettingField> buildTable() {
  TableBuilder t;
  addBlockA(t);
  addBlockASizesColoursFonts(t);
  addBlockB(t);
  addBlockC(t);
  addStrings(t);
  return std::move(t.rows);
}

}  // namespace

const std::vector<SettingField>& settingsTable() {
  static const std::vector<SettingField> table = buildTable();
  return table;
}

const SettingField* settingField(std::string_view name) {
  for (const SettingField& f : settingsTable())
    if (f.info.name == name) return &f;
  return nullptr;
}

}  // namespace sonalog

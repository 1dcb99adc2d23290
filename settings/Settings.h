#pragma once
// The settings record: every setting of the program in one place, read at start-up from the
// configuration file "mp3snlg.ini" in the working folder and written back when the options are
// confirmed and when the program ends.
//
// The file is a fixed binary image: block A (912 bytes), block B (120 bytes), block C (440 bytes),
// then 22 strings, each a 16-bit length and that many bytes. Integers are little-endian and packed.
// Field names are the names of the controls that edit them; where a setting has several controls
// (or none) it carries the name its users know it by. The byte offset of each field in the file
// is given beside it.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace sonalog {

class UserInterface;

inline constexpr char kConfigFileName[] = "mp3snlg.ini";
inline constexpr size_t kBlockASize = 912;
inline constexpr size_t kBlockBSize = 120;
inline constexpr size_t kBlockCSize = 440;
inline constexpr size_t kFixedSize = kBlockASize + kBlockBSize + kBlockCSize;  // 1472
inline constexpr size_t kStringCount = 22;
inline constexpr size_t kMaxStringBytes = 65535;
inline constexpr size_t kMaxFontNameBytes = 255;
// The longest well-formed file: the blocks and 22 strings of the greatest length.
inline constexpr size_t kMaxConfigFileSize = kFixedSize + kStringCount * (2 + kMaxStringBytes);

// A colour: red in the low byte, then green, then blue.
using Colour = uint32_t;

// Font style bits.
inline constexpr uint8_t kFontBold = 1;
inline constexpr uint8_t kFontItalic = 2;
inline constexpr uint8_t kFontUnderline = 4;
inline constexpr uint8_t kFontStrikeOut = 8;

struct FontSetting {
  uint8_t size = 0;      // points
  uint8_t charset = 1;   // 1 = the system default
  std::string name;      // at most 255 bytes
  uint8_t style = 0;     // kFontBold | kFontItalic | ...
  bool operator==(const FontSetting&) const = default;
};

// A remembered window position (or, for viewerSize, a width and height) in pixels.
struct WindowPosition {
  int32_t left = 0;
  int32_t top = 0;
  bool operator==(const WindowPosition&) const = default;
};

// The screen the window-centre defaults are computed for.
struct ScreenSize {
  int32_t width = 1920;
  int32_t height = 1080;
};

// The fields of one list item, in the order the viewer's manual column widths are stored.
inline constexpr size_t kViewerColumnFields = 14;
inline constexpr size_t kCustomColourCount = 16;

// The colour dialog's custom colours after a reset: "00BEDED5", "00E0E0E0", "00BBD1D5", then for
// entry i from 3 on "00" and the hexadecimal forms of i, 10 i + 40 and 12 i + 48.
std::array<std::string, kCustomColourCount> defaultCustomColours();

// A default-constructed record holds the values of "Reset ALL options", except the window
// positions (zero; setAllDefaults centres them on a given screen) and the folders (empty;
// setAllDefaults points them at the user's home folder).
struct Settings {
  // ---- Block A ----
  // What the exports and the viewer show.
  bool CheckTime = true;          // 0 playtime
  bool CheckKbps = true;          // 1 bitrate
  bool AddHeaderCheck = false;    // 2 header row and tabs (text export)
  bool CheckHead = false;         // 3 use the header message file
  bool CheckFoot = false;         // 4 use the footer message file
  bool CheckFreq = false;         // 5 frequency
  bool CheckSize = true;          // 6 file size
  bool CheckDate = false;         // 7 date created
  bool CheckVl = false;           // 8 volume label
  bool CheckPath = false;         // 9 path
  bool CheckStereo = false;       // 10 stereo mode
  bool addedcheck = false;        // 11 date added
  bool CheckSort = true;          // 12 sort the list after a scan
  bool CheckEnum = false;         // 13 enumeration
  bool CheckSh = false;           // 14 include system and hidden files
  uint8_t Combopopt = 0;          // 15 0 fast processing, 1 slow processing
  bool txcheck = false;           // 16 use the HTML text colour
  bool CheckCenter = false;       // 17 centre artist and title cells
  bool CheckSplit = false;        // 18 split artist and title
  bool bgcheck = false;           // 19 use the HTML background colour
  bool CheckDescend = false;      // 20 descending sort
  uint8_t ComboStereo = 0;        // 21 0 short, 1 long stereo style
  bool CheckCase = false;         // 22 case-sensitive sort
  bool CheckHtag = false;         // 23 HTML, title and body tags from the user's files
  bool viewerManualWidths = false;      // 24 viewer cell widths: true manual, false automatic
  bool viewerSplitArtistTitle = false;  // 25 viewer splits artist and title
  bool CheckPtoo = false;         // 26 plain HTML uses the table font and colours
  bool Checkhr = false;           // 27 hours in the XLS playtime (no default: kept by resets)
  bool Checkms = false;           // 28 milliseconds in the XLS playtime (kept by resets)
  bool CheckFpb = true;           // 29 full path in batch path captions
  uint8_t ComboVBR = 0;           // 30 VBR style 0..9
  uint8_t ComboStyle = 0;         // 31 date style 0..3
  uint8_t errorexportcombo = 1;   // 32 unknown-value style 0..2
  uint8_t ooptcombo = 0;          // 33 export file type 0..4
  uint8_t erroractioncombo = 1;   // 34 action on a processing error 0..2
  uint8_t delimiter = 0;          // 35 doption0..doption5: 0..5
  uint8_t ComboCap = 0;           // 36 table captions 0..3
  uint8_t sortcombo = 0;          // 37 sort key 0..9
  uint8_t ListLoadCombo = 0;      // 38 on start-up: 0 nothing, 1 last saved list, 2 startupList
  uint8_t ComboK = 1;             // 39 size style 0..4
  uint8_t estext = 0;             // 40 pad length 0..99
  uint8_t viewerColourScheme = 0; // 41 0 Windows, 1 Light, 2 Dark
  uint8_t ComboSkip = 0;          // 42 existing-entry action 0..3
  uint16_t EditMaxcursav = 500;   // 43 ask to save only lists with at least this many unsaved
                                  //    items; 0 never ask
  uint8_t cstext0 = 0;            // 45 HTML table cellspacing
  uint8_t cstext1 = 0;            // 46 cellpadding
  uint8_t cstext2 = 1;            // 47 border
  // ComboTap, one per window: 0 appear instantly, 1 gradually (fade).
  uint8_t fadeMainWindow = 1;     // 48
  uint8_t fadeViewerWindow = 0;   // 49
  uint8_t fadeOptionsWindow = 0;  // 50
  int32_t maxsizetext = 2048;     // 51 largest mp3 to index, MB
  int32_t minsizetext = 10;       // 55 smallest mp3 to index, KB
  Colour bgpic = 0xF0F0F0;        // 59 HTML background colour
  Colour txpic = 0;               // 63 HTML text colour
  // PanelW, one per window (ComboCow chooses which one the options window edits).
  Colour mainWindowColour = 12508885;     // 67
  Colour optionsWindowColour = 12308949;  // 71
  Colour viewerWindowColour = 14737632;   // 75
  // 79: the viewer's manual column widths in pixels, indexed by field.
  std::array<int32_t, kViewerColumnFields> viewerColumnWidths{64, 64, 64, 64, 64, 64, 64,
                                                              64, 64, 64, 64, 64, 64, 64};
  // Fonts are stored interleaved: sizes at 135..137, character sets at 138..140, names at
  // 141/397/653 (a length byte and 255 bytes each), styles at 909..911.
  FontSetting viewerFont{8, 1, "Courier New", 0};   // viewer grid
  FontSetting tableFont{8, 1, "Courier New", 0};    // ButTfont: HTML table
  FontSetting captionFont{9, 1, "Courier New", kFontBold};  // ButCapFont: table captions

  // ---- Block B (912): remembered left and top of each window, in file order ----
  WindowPosition mainWindowPos;
  WindowPosition optionsWindowPos;
  WindowPosition aboutWindowPos;
  WindowPosition importWindowPos;
  WindowPosition duplicatesOptionsWindowPos;
  WindowPosition viewerSize{700, 600};  // width and height, not a position
  WindowPosition duplicatesSearchWindowPos;
  WindowPosition comparisonWindowPos;
  WindowPosition comparisonOptionsWindowPos;
  WindowPosition viewerWindowPos;
  WindowPosition skipMessageWindowPos;
  WindowPosition captionInputWindowPos;
  WindowPosition insertEditWindowPos;
  WindowPosition loadMergeWindowPos;
  WindowPosition findWindowPos;

  // ---- Block C (1032) ----
  uint8_t dsRadio = 0;            // 1032 import: date style unknown: 0 assume, 1 prompt
  uint8_t daRadio = 1;            // 1033 import: date added missing: 0 today, 1 blank
  uint8_t matchThreshold = 99;    // 1034 similarity threshold % (TrackBar1, comptrack)
  uint8_t actionMode = 1;         // 1035 rbut1..rbut3 of duplicates/compare: 0..2
  uint8_t compareAction = 0;      // 1036 ActionCombo: action type 0..9
  uint8_t compareWith = 1;        // 1037 WithCombo: 0 a list file, 1 any text list
  uint8_t insertPlacement = 2;    // 1038 insert/edit rbut1..rbut4: 0..3
  uint8_t editPlacement = 2;      // 1039 choice used when editing: 2 or 3
  uint8_t importFileType = 0;     // 1040 Rimcb1..Rimcb3: ExportedList, OtherText, M3u
  uint8_t Rg1 = 1;                // 1041 load/merge "if you append:" choice 0..3
  uint8_t threadPriority = 0;     // 1042 0 low, 1 normal, 2 high
  uint8_t viewerTotalTimeStyle = 0;  // 1043 0..3
  uint8_t ComboCow = 0;           // 1044 window whose colour the options edit: 0 main, 1 viewer,
                                  //      2 options
  bool cmfcheck = true;           // 1045 import: calculate missing size or time
  bool clabcheck = false;         // 1046 import: read current volume labels
  bool stripcheck = true;         // 1047 import: strip header and footer
  bool ImapCheck = false;         // 1048 import: append
  bool allowUnspecified = true;   // 1049 auncheck: match when size, time or bitrate is unknown
  bool sizeCheck = true;          // 1050 sizedifcheck: size may differ
  bool timeCheck = true;          // 1051 timedifcheck: time may differ
  bool highChars = true;          // 1052 HighCheck, HighCharCheck: high character matching
  bool bitrateCheck = false;      // 1053 Bitcheck: bitrate must match
  bool viewerMaximized = true;    // 1054
  bool examineBangLines = false;  // 1055 import MircCheck and compare IgnoreCheck
  uint8_t loadMergeAppend = 0;    // 1056 load/merge Rb1 (0, new list) or Rb2 (1, append)
  bool DontShowCheck = false;     // 1057 load/merge: don't show the window again
  bool ChkMatch = false;          // 1058 find: match case
  bool firstLetterCheck = false;  // 1059 LetterCheck: only titles with the same first letter
  bool CheckRem = false;          // 1060 caption input: remember the caption
  bool ChkInversion = true;       // 1061 find: inverse colours for filtered lists
  bool sadcheck = false;          // 1062 main window "Search all drives"
  bool Incbox = true;             // 1063 main window "Include subfolders"
  bool skipFilteredNote = false;  // 1064 don't show the filtered-list note again
  uint16_t sizeLimitKB = 500;     // 1065 SizeEdit: size may differ up to, KB
  uint16_t timeLimitSec = 30;     // 1067 TimeEdit: time may differ up to, seconds
  // 1069: the colour dialog's custom colours, each 8 hexadecimal digits ("00BEDED5").
  std::array<std::string, kCustomColourCount> customColours = defaultCustomColours();
  FontSetting folderTreeFont{10, 1, "Courier New", 0};  // 1213 main window Dir1

  // ---- Strings (1472), in file order ----
  std::string headerFileText;      // 1 header message file for text mode
  std::string footerFileText;      // 2 footer message file for text mode
  std::string headerFileHtml;      // 3 header message file for HTML modes
  std::string footerFileHtml;      // 4 footer message file for HTML modes
  std::string startupList;         // 5 the list to auto-load on start-up
  std::string loadFolder;          // 6 last folder of "Load"
  std::string saveAsFolder;        // 7 last folder of "Save as"
  std::string exportFolder;        // 8 last export folder
  std::string importFolder;        // 9 last import folder
  std::string duplicatesLogFolder; // 10 duplicates search log folder
  std::string compareOutputFolder; // 11 folder of the comparison output file dialog
  std::string compareInputFolder;  // 12 folder of the comparison external list dialog
  std::string lastSavedList;       // 13 last saved list, full path
  std::string insertEditFolder;    // 14 insert/edit window folder
  std::string optionsFileFolder;   // 15 folder of "Save options as" / "Load options from"
  std::string lastCaption;         // 16 last entered table caption
  std::string textMessageFolder;   // 17 dialog folder for the text message files
  std::string htmlMessageFolder;   // 18 dialog folder for the HTML message files
  std::string startupListFolder;   // 19 dialog folder for the auto-load list
  std::string mainFolder;          // 20 the main window's current folder
  std::string lastExternalList;    // 21 last external list file of the comparison
  std::string lastOutputFile;      // 22 last comparison output file

  bool operator==(const Settings&) const = default;

  // The main sort option as a list's sortCode: the key, plus 128 when descending, plus 64 when
  // case-sensitive; 63 (not sorted) when sorting is off.
  uint8_t mainSortCode() const;
};

// Where a window of width x height appears: its stored position moved just enough to lie within
// the screen; a window larger than the screen keeps its left or top edge at 0.
WindowPosition keptOnScreen(WindowPosition stored, int32_t width, int32_t height, ScreenSize screen);

// ---- The file image ----

// The complete file image of s. Strings longer than 65 535 bytes and font names longer than 255
// bytes are cut (never inside a UTF-8 sequence) so that the image stays well-formed.
std::string encodeSettings(const Settings& s);
// Reads a file image into out. False, with out untouched, when the image is not exactly the
// blocks followed by 22 strings (short, long or cut inside a string). No range checks.
bool decodeSettings(std::string_view bytes, Settings& out);
// Corrects out-of-range values the way a load does, in the order a load does.
void applyLoadChecks(Settings& s);

// ---- Load and Save ----

struct LoadOptions {
  // At start-up: the main folder (string 20) becomes the folder actually available, the user's
  // home folder when the stored one is gone.
  bool adoptMainFolder = false;
};

// Reads the configuration file at path into s and applies the load checks. Returns false when the
// file cannot be read or is not a well-formed configuration image; s is then left as it was.
bool loadSettings(const std::string& path, Settings& s, const LoadOptions& options = {});

// Writes s to path through a temporary file renamed over it, so a failed save leaves the previous
// file intact. On failure shows "Disk error writing configuration file" (caption "Error") or, when
// initialising, "Disk error attempting to initialize configuration file" (caption "FATAL ERROR");
// the caller ends the program in the latter case. Returns false on failure.
bool saveSettings(const Settings& s, const std::string& path, UserInterface& ui, bool initialising);

// ---- Defaults ----

// The options window's DEFAULTS: every value visible there and the strings 1 to 5 and 17 to 19.
void setOptionsDefaults(Settings& s);
// "Reset ALL options": every reset value, the window positions centred on screen, then the
// options defaults, the main window's "Search all drives" off and "Include subfolders" on.
// Checkhr and Checkms keep their values.
void setAllDefaults(Settings& s, ScreenSize screen = {});

// ---- The working folder's configuration ----

// The working folder's "mp3snlg.ini".
std::string workingConfigPath();
// Save to the working folder, not initialising.
bool saveToWorkingFolder(const Settings& s, UserInterface& ui);
// All defaults, then a save to the working folder as initialising. False when that save failed
// (the "FATAL ERROR" box has been shown and the caller ends the program).
bool initialiseSettings(Settings& s, UserInterface& ui, ScreenSize screen = {});

// "Reset ALL options" after the user confirmed: All defaults, saved to the working folder and
// read back. False when the save failed (its message has been shown).
bool resetAllOptions(Settings& s, UserInterface& ui, ScreenSize screen = {});

// The text shown when a chosen file is not a configuration file.
inline constexpr char kLoadOptionsFailed[] =
    "Loading options failed.\r\nProbably not a mp3SNLG configuration file.";

// "Load options from": reads path into s; on failure shows kLoadOptionsFailed as a warning and
// s keeps every value it had.
bool loadOptionsFrom(const std::string& path, Settings& s, UserInterface& ui);

// "Save options as": writes s to path unless path lies in the working folder (which only the
// program itself writes): then "You are not allowed to save to application working folder." is
// shown and nothing is written. On success the folder is remembered in optionsFileFolder.
bool saveOptionsAs(const std::string& path, Settings& s, UserInterface& ui);

enum class StartupSettings {
  Loaded,       // the configuration file was read
  Initialised,  // it was missing or unreadable: defaults were written in its place
  Fatal,        // the defaults could not be written: the program must end
};

// The start-up procedure for the configuration file at configPath (the working folder's file
// when empty): when it is missing, a copy from programFolder is put in its place (never
// overwriting); then it is loaded; on failure it is initialised, and the main folder becomes the
// root of the drive (mount point) that holds the configuration.
StartupSettings startupSettings(Settings& s, UserInterface& ui, ScreenSize screen = {},
                                const std::string& configPath = {},
                                const std::string& programFolder = {});

// The start-up when the working folder cannot take files (problem: the system's reason): the
// configuration at configPath is only read, and the user is told once that nothing will be saved
// there. False (the user told why) when there is no configuration to read either: the program
// must end.
bool readOnlyStartupSettings(Settings& s, UserInterface& ui, const std::string& workingFolder,
                             const std::string& problem, const std::string& configPath);

}  // namespace sonalog

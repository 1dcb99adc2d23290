#pragma once
// The text of each item field as the exports, the viewer and the logs write it. The importer
// recognises exported lists by exactly these texts, so every form here is a contract: characters,
// spaces, case and punctuation. The formatters keep no state; they read the style they are given.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/ListItem.h"

namespace sonalog {

struct Settings;

// The style settings that field texts depend on.
struct FieldStyle {
  uint8_t unknownStyle = 1;   // errorexportcombo: 0 omit, 1 question marks, 2 hyphens
  uint8_t dateStyle = 0;      // ComboStyle: 0 locale short date, 1 dd.mm.yyyy., 2 mm.dd.yyyy., 3 yyyy.mm.dd.
  uint8_t sizeStyle = 1;      // ComboK: suffix 0 none, 1 " K", 2 "K", 3 " KB", 4 "KB"
  uint8_t stereoStyle = 0;    // ComboStereo: 0 short (M/JS/S/DC), 1 long ("stereo")
  uint8_t vbrStyle = 0;       // ComboVBR: 0 var ... 9 *nnn
  bool hours = false;         // Checkhr: h:mm:ss in the long time text
  bool milliseconds = false;  // Checkms: .mmm in the long time text
  bool operator==(const FieldStyle&) const = default;
};

// The style as the options set it: the viewer, the exports and the search windows' prompts and
// logs all write their fields with it.
FieldStyle fieldStyleFrom(const Settings& settings);

// "?", "-" or empty, by the unknown-value style.
std::string_view unknownMark(const FieldStyle& style);

// Playtime as minutes ":" two-digit seconds, minutes uncapped ("62:05"); "??:??", "--:--" or
// empty when frames is negative.
std::string timeText(const ListItem& item, const FieldStyle& style);
// The same for a playtime already in seconds (not negative).
std::string timeTextForSeconds(double seconds, const FieldStyle& style);

// The spreadsheet's playtime: "m:ss" or "h:mm:ss", with ".mmm" when milliseconds are on and the
// time is not a whole number of seconds.
std::string longTimeText(const ListItem& item, const FieldStyle& style);
std::string longTimeTextForSeconds(double seconds, const FieldStyle& style);

// "128 kbps", VBR by style ("var(187 kbps)"), unknown "? kbps" / "- kbps" / empty.
std::string bitrateText(const ListItem& item, const FieldStyle& style);
// Three characters for constant bitrates (" 64"), VBR by style ("var(187)"), unknown "  ?".
std::string shortBitrateText(const ListItem& item, const FieldStyle& style);

// "7132" plus the size style's suffix; an unknown size is the unknown mark plus the suffix, or
// empty with no suffix when unknown values are omitted.
std::string sizeText(int32_t sizeKB, const FieldStyle& style);

// "S"/"stereo", "JS"/"joint stereo", "DC"/"dual channel", "M"/"mono"; others unknown.
std::string modeText(uint8_t stereoMode, const FieldStyle& style);

// These three never depend on the unknown-value style.
std::string frequencyText(uint8_t frequencyCode);        // "44.1 KHz" ... "? KHz"
std::string shortFrequencyText(uint8_t frequencyCode);   // "44.1" ... "?"
std::string paddedFrequencyText(uint8_t frequencyCode);  // " 44.1 " ... " ? "

// A day number as a date by the date style; 0 or less, or beyond 31 December 9999, is unknown.
std::string dateText(int32_t dayNumber, const FieldStyle& style);

// The folder cut to 255 bytes, and the volume label, with NUL characters removed.
std::string pathText(std::string_view folder);
std::string labelText(std::string_view volumeLabel);

// A stored colour (red in the low byte, then green, then blue) as "RRGGBB", upper case.
std::string hexColour(uint32_t colour);

// A file name split into artist and title at the first " - ", else " -", else "- ", else "-".
// Names shorter than 5 bytes, or without a hyphen, are all title.
struct ArtistTitle {
  std::string_view artist;
  std::string_view title;
};
ArtistTitle splitArtistTitle(std::string_view fileName);

}  // namespace sonalog

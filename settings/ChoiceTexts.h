#pragma once
// The item texts of every choice box of the options window, in the order of the values the
// settings record stores (item i is value i). The exports, the command line and the window read
// them from here, so a setting's number and its name cannot drift apart.

#include <array>
#include <span>

namespace sonalog {

using ChoiceTexts = std::span<const char* const>;

// ComboStyle: date style.
inline constexpr std::array<const char*, 4> kDateStyleTexts{
    "Windows default (short)", "European (dd.mm.yyyy.)", "American (mm.dd.yyyy.)",
    "Japanese (yyyy.mm.dd.)"};
// ComboK: size style.
inline constexpr std::array<const char*, 5> kSizeStyleTexts{
    "No K/Kb (ie \"5000\")", "Space K (ie \"5000 K\")", "Just K (ie \"5000K\")",
    "Space Kb (ie \"5000 KB\")", "Just Kb (ie \"5000KB\")"};
// ComboStereo: stereo style.
inline constexpr std::array<const char*, 2> kStereoStyleTexts{"Short style (M/JS/S/DC)",
                                                              "Long style (ie \"stereo\")"};
// ComboVBR: how a variable bitrate is written.
inline constexpr std::array<const char*, 10> kVbrStyleTexts{
    "var", "VAR", "vbr", "VBR", "var(nnn)", "VAR(nnn)", "vbr(nnn)", "VBR(nnn)", "(nnn)", "*nnn"};
// errorexportcombo: how an unknown value is written.
inline constexpr std::array<const char*, 3> kUnknownStyleTexts{"Omit info", "Question marks",
                                                               "Hyphens"};
// erroractioncombo: what a scan does with a file it cannot analyse.
inline constexpr std::array<const char*, 3> kErrorActionTexts{"Always discard", "Prompt",
                                                              "Always include"};
// Combopopt: how much of a file a scan reads.
inline constexpr std::array<const char*, 2> kProcessingTexts{
    "Fast processing (200 frames or header)", "Slow processing (read entire file)"};
// ComboSkip: what an APPEND scan does with a file already in the list.
inline constexpr std::array<const char*, 4> kExistingEntryTexts{
    "Always add (don't examine) (fast)", "Add/update only if different",
    "Update existing entries (write new info)", "Skip existing entries (keep old info)"};
// ListLoadCombo: the list loaded at start-up.
inline constexpr std::array<const char*, 3> kStartupListTexts{
    "Don't load anything (list is empty)", "Load last saved list", "Load the list from:"};
// sortcombo: the sort keys, in sortCode order.
inline constexpr std::array<const char*, 10> kSortKeyTexts{
    "Filename", "Playtime", "Bitrate",    "File size",  "Stereo mode",
    "Frequency", "Date created", "Path", "Date added", "Volume label"};
// ooptcombo: the export file type.
inline constexpr std::array<const char*, 5> kFileTypeTexts{"Text", "Plain HTML", "HTML table",
                                                           "XLS (excel sheet)", "M3U"};
// ComboCap: table captions.
inline constexpr std::array<const char*, 4> kCaptionTexts{
    "Do not make captions", "Use path or label (only if sorted by it)",
    "Path/label if sorted by it, input otherwise", "Always input the caption"};
// ComboCow: the window whose appearance the options window edits.
inline constexpr std::array<const char*, 3> kAppearanceWindowTexts{"main window", "view window",
                                                                   "options win."};
// ComboTap: how a window appears and disappears.
inline constexpr std::array<const char*, 2> kAppearanceTexts{"instantly", "gradually"};

// The delimiters of the text exports (doption0 .. doption5), as the options window labels them.
inline constexpr std::array<const char*, 6> kDelimiterTexts{",", "( )", "[ ]", "{ }", "spaces",
                                                            "tabs"};

}  // namespace sonalog

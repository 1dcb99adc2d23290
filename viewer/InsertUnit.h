#pragma once
// The editor window's logic (insert and edit): the editing record, what each control shows and
// accepts, the step buttons, the placement choices and when OK may be pressed.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/ListItem.h"
#include "settings/Settings.h"

namespace sonalog {

inline constexpr size_t kMaxEditFileName = 65535;
inline constexpr size_t kMaxEditFolder = 8191;
inline constexpr size_t kMaxFramesText = 8;
inline constexpr size_t kMaxSizeText = 6;
inline constexpr int32_t kMaxSteppedFrames = 99999999;

// The choices of ComboFreq, KbpsCombo and StereoCombo, in their order.
inline constexpr std::array<const char*, 4> kFrequencyChoices = {"32.0 KHz", "44.1 KHz", "48.0 KHz", "?"};
inline constexpr std::array<const char*, 16> kBitrateChoices = {
    "Var. kbps", "320 kbps", "256 kbps", "224 kbps", "192 kbps", "160 kbps", "128 kbps", "112 kbps",
    "96 kbps",   "80 kbps",  "64 kbps",  "56 kbps",  "48 kbps",  "40 kbps",  "32 kbps",  "???"};
inline constexpr std::array<const char*, 5> kStereoChoices = {"S", "JS", "DC", "M", "??"};

struct PlacementChoice {
  std::string caption;
  bool enabled = true;
};

class InsertUnit {
 public:
  enum class Mode { Insert, Edit };

  // The record an insert starts from: no name, unknown values, added today.
  static ListItem insertDefaults(int32_t today);

  // For an edit, item is the list item (a stereo mode above 4 is shown as 4); for an insert,
  // insertDefaults(). listSortCode and filtered decide the placement choices.
  InsertUnit(Mode mode, const ListItem& item, const Settings& settings, uint8_t listSortCode,
             bool filtered);

  Mode mode() const { return mode_; }
  const ListItem& record() const { return record_; }
  const ListItem& original() const { return original_; }
  // O&K / &INSERT is enabled only while the record differs from what the window opened with.
  bool okEnabled() const { return !(record_ == original_); }
  const char* okCaption() const { return mode_ == Mode::Insert ? "&INSERT" : "O&K"; }

  // ---- Fields ----
  void setFileName(std::string_view name);
  // FrameEdit: anything but a whole number 0..999 999 999 makes the frames unknown (-1).
  void setFramesText(std::string_view text);
  // KbEdit: only a valid non-negative whole number changes the size.
  void setSizeText(std::string_view text);
  void setFrequencyChoice(int index);
  int frequencyChoice() const;
  void setBitrateChoice(int index);
  int bitrateChoice() const;
  void setStereoChoice(int index);
  int stereoChoice() const { return record_.stereoMode > 4 ? 4 : record_.stereoMode; }
  void setFileDate(int32_t day) { record_.fileDate = day; }
  void setDateAdded(int32_t day) { record_.dateAdded = day; }
  // An unset date (0 or less) shows "- click to set -" instead of the date picker.
  static bool dateUnset(int32_t day) { return day <= 0; }
  void setVolumeLabel(std::string_view label);
  void setFolder(std::string_view folder);

  // LabMinSec: "= " and the playtime text.
  std::string playtimeLabel() const;
  // FrameEdit's text for the current frames ("" when unknown).
  std::string framesText() const;
  std::string sizeText() const;

  // cmsb1 / cmsb3: frames +1 / -1; cmsb2 / cmsb4: playtime +1 s / -1 s.
  void stepFrames(int direction);
  void stepSeconds(int direction);

  // ---- Placement ----
  std::array<PlacementChoice, 4> placementChoices() const { return choices_; }
  // The choice checked when the window opens (-1: none, while filtered).
  int initialChoice() const { return initialChoice_; }
  // Remembers the choice for the next insert or edit (nothing while filtered).
  void rememberChoice(int choice, Settings& settings) const;

 private:
  Mode mode_;
  ListItem record_;
  ListItem original_;
  std::array<PlacementChoice, 4> choices_;
  int initialChoice_ = -1;
};

}  // namespace sonalog

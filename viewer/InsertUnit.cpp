#include "viewer/InsertUnit.h"

#include <charconv>
#include <cmath>
#include <optional>

#include "core/Sorting.h"
#include "export/FieldText.h"
#include "platform/Text.h"
#include "viewer/ViewGrid.h"

namespace sonalog {

namespace {

constexpr int32_t kMaxTypedFrames = 999999999;
// ComboFreq's order of frequency codes; "?" stores 3.
constexpr uint8_t kFrequencyCodes[] = {2, 0, 1, 3};

std::optional<int64_t> wholeNumber(std::string_view text) {
  if (text.empty() || text.size() > 18) return std::nullopt;
  int64_t v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size() || v < 0) return std::nullopt;
  return v;
}

}  // namespace

ListItem InsertUnit::insertDefaults(int32_t today) {
  ListItem it;
  it.frames = -1;
  it.bitrateCode = kBitrateNotGiven;
  it.stereoMode = kStereoModeMixed;
  it.sizeKB = -1;
  it.frequencyCode = kFrequencyMixed;
  it.fileDate = -1;
  it.dateAdded = today;
  return it;
}

InsertUnit::InsertUnit(Mode mode, const ListItem& item, const Settings& settings,
                       uint8_t listSortCode, bool filtered)
    : mode_(mode), record_(item) {
  if (record_.stereoMode > kStereoModeMixed) record_.stereoMode = kStereoModeMixed;
  original_ = record_;

  const bool insert = mode == Mode::Insert;
  const uint8_t listKey = listSortCode & kSortKeyMask;
  const uint8_t mainCode = settings.mainSortCode();
  const uint8_t mainKey = mainCode & kSortKeyMask;
  const bool listSorted = listKey <= kSortByVolumeLabel;
  const bool mainSorted = mainKey <= kSortByVolumeLabel;
  choices_[0] = {insert ? "Insert &above the selected item" : "&No re-sorting (just leave it there)", true};
  choices_[1] = {insert ? "Insert &below the selected item" : "n/a", insert};
  choices_[2] = {listSorted ? "Re-sort by " + sortKeyName(listKey) + " (list option)"
                            : "don't sort (list option)",
                 listSorted};
  choices_[3] = {mainSorted ? "Re-sort by " + sortKeyName(mainKey) + " (main option)"
                            : "don't sort (main option)",
                 mainSorted && mainCode != listSortCode};
  if (filtered) {
    for (PlacementChoice& c : choices_) c.enabled = false;
    return;
  }
  int choice = insert ? settings.insertPlacement & 3 : settings.editPlacement & 3;
  if (!insert && choice == 1) choice = 2;
  initialChoice_ = choices_[static_cast<size_t>(choice)].enabled ? choice : 0;
}

void InsertUnit::rememberChoice(int choice, Settings& settings) const {
  if (choice < 0 || choice > 3) return;
  if (mode_ == Mode::Insert)
    settings.insertPlacement = static_cast<uint8_t>(choice);
  else
    settings.editPlacement = static_cast<uint8_t>(choice);
}

void InsertUnit::setFileName(std::string_view name) {
  record_.fileName = std::string(platform::cutBytes(name, kMaxEditFileName));
}

void InsertUnit::setFramesText(std::string_view text) {
  const auto v = text.size() <= kMaxFramesText ? wholeNumber(text) : std::nullopt;
  record_.frames = v && *v <= kMaxTypedFrames ? static_cast<int32_t>(*v) : -1;
}

void InsertUnit::setSizeText(std::string_view text) {
  if (text.size() > kMaxSizeText) return;
  if (const auto v = wholeNumber(text)) record_.sizeKB = static_cast<int32_t>(*v);
}

void InsertUnit::setFrequencyChoice(int index) {
  if (index >= 0 && index < 4) record_.frequencyCode = kFrequencyCodes[index];
}

int InsertUnit::frequencyChoice() const {
  for (int i = 0; i < 3; ++i)
    if (record_.frequencyCode == kFrequencyCodes[i]) return i;
  return 3;
}

// KbpsCombo: 0 variable, 1..14 from 320 down to 32 kbps (bitrate index 15 - choice), 15 unknown.
void InsertUnit::setBitrateChoice(int index) {
  if (index == 0)
    record_.bitrateCode = kBitrateVbr;
  else if (index >= 1 && index <= 14)
    record_.bitrateCode = static_cast<uint8_t>(15 - index);
  else if (index == 15)
    record_.bitrateCode = kBitrateNotGiven;
}

int InsertUnit::bitrateChoice() const {
  if (record_.bitrateCode == kBitrateVbr) return 0;
  if (record_.bitrateCode >= 1 && record_.bitrateCode <= 14) return 15 - record_.bitrateCode;
  return 15;
}

void InsertUnit::setStereoChoice(int index) {
  if (index >= 0 && index <= 4) record_.stereoMode = static_cast<uint8_t>(index);
}

void InsertUnit::setVolumeLabel(std::string_view label) {
  record_.volumeLabel = std::string(platform::cutBytes(label, kMaxVolumeLabelBytes));
}

void InsertUnit::setFolder(std::string_view folder) {
  record_.folder = std::string(platform::cutBytes(folder, kMaxEditFolder));
}

std::string InsertUnit::playtimeLabel() const { return "= " + timeText(record_, FieldStyle{}); }

std::string InsertUnit::framesText() const {
  return record_.frames < 0 ? std::string() : std::to_string(record_.frames);
}

std::string InsertUnit::sizeText() const {
  return record_.sizeKB < 0 ? std::string() : std::to_string(record_.sizeKB);
}

void InsertUnit::stepFrames(int direction) {
  const int64_t next = int64_t{record_.frames} + (direction > 0 ? 1 : -1);
  if (direction > 0)
    record_.frames = next < 0 || next > kMaxSteppedFrames ? kMaxSteppedFrames : static_cast<int32_t>(next);
  else
    record_.frames = next < 0 ? 0 : static_cast<int32_t>(next);
}

void InsertUnit::stepSeconds(int direction) {
  const double t = frameDuration(record_.frequencyCode);
  const double seconds = std::nearbyint(record_.frames * t) + (direction > 0 ? 1 : -1);
  const double next = std::nearbyint(seconds / t);
  if (direction > 0)
    record_.frames = next < 0 || next > kMaxSteppedFrames ? kMaxSteppedFrames : static_cast<int32_t>(next);
  else
    record_.frames = next < 0 ? 0 : static_cast<int32_t>(next);
}

}  // namespace sonalog

#include "settings/ShownFields.h"

#include <array>

#include "settings/SortKey.h"

namespace sonalog {

namespace {

using F = ShownField;

// Headers and tag letters are read back by the importer and compared by users' own tools: every
// character counts.
constexpr std::array<ShownFieldInfo, kShownFieldCount> kTable{{
    {F::Enumeration, &Settings::CheckEnum, "CheckEnum", "Enumeration",
     "Number the items in the viewer and in exports", "no", "No.", "No.", nullptr, kNoSortKey, 'E', false},
    {F::Playtime, &Settings::CheckTime, "CheckTime", "Playtime [m:s]",
     "Show and export the playtime (minutes:seconds)", "time", "time", "Time", nullptr, kSortByPlaytime, 'T', true},
    {F::Bitrate, &Settings::CheckKbps, "CheckKbps", "Bitrate [kbps]", "Show and export the bitrate", "kbps", "kbps",
     "Bitrate", nullptr, kSortByBitrate, 'B', true},
    {F::Size, &Settings::CheckSize, "CheckSize", "File size [KB]", "Show and export the file size", "size", "size",
     "Size", nullptr, kSortByFileSize, 'S', true},
    {F::StereoMode, &Settings::CheckStereo, "CheckStereo", "Stereo mode", "Show and export the stereo mode", "mode",
     "mode", "Mode", "m.", kSortByStereoMode, 'M', true},
    {F::Frequency, &Settings::CheckFreq, "CheckFreq", "Frequency [KHz]", "Show and export the sampling frequency",
     "freq.", "KHz", "Frequency", nullptr, kSortByFrequency, 'F', true},
    {F::DateCreated, &Settings::CheckDate, "CheckDate", "Date created",
     "Show and export the date the file was last written", "filedate", "created", "Date created", nullptr,
     kSortByFileDate, 'C', true},
    {F::Path, &Settings::CheckPath, "CheckPath", "Path (drive:\\folder)", "Show and export the folder of each file",
     "path", "path", "Path", nullptr, kSortByPath, 'P', false},
    {F::DateAdded, &Settings::addedcheck, "addedcheck", "Date added to the list",
     "Show and export the date each item was added to the list", "listdate", "added", "Date added", nullptr,
     kSortByDateAdded, 'A', true},
    {F::VolumeLabel, &Settings::CheckVl, "CheckVl", "Volume label", "Show and export the volume label of the drive",
     "volume", "volume label", "Volume label", nullptr, kSortByVolumeLabel, 'V', false},
}};

constexpr bool inFieldOrder() {
  for (size_t i = 0; i < kTable.size(); ++i)
    if (static_cast<size_t>(kTable[i].field) != i) return false;
  return true;
}
static_assert(inFieldOrder(), "row i describes ShownField i");

}  // namespace

int ShownFields::count() const {
  int n = 0;
  for (uint16_t b = bits_; b != 0; b &= static_cast<uint16_t>(b - 1)) ++n;
  return n;
}

std::span<const ShownFieldInfo, kShownFieldCount> shownFieldTable() { return kTable; }

std::span<const ShownFieldInfo, kShownFieldCount - 1> valueFieldTable() {
  return shownFieldTable().subspan<1>();
}

const ShownFieldInfo& shownField(ShownField field) { return kTable[static_cast<size_t>(field)]; }

ShownFields shownFieldsOf(const Settings& s) {
  ShownFields out;
  for (const ShownFieldInfo& f : kTable) out.set(f.field, s.*f.setting);
  return out;
}

void storeShownFields(Settings& s, ShownFields fields) {
  for (const ShownFieldInfo& f : kTable) s.*f.setting = fields.has(f.field);
}

}  // namespace sonalog

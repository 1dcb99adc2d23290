#pragma once
// What every importer shares: the import options of the options window together with the few
// main options the import reads or adjusts, the layout of an exported list, and the column roles.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Volumes.h"
#include "settings/ShownFields.h"
#include "settings/SortKey.h"

namespace sonalog {

enum class ImportFileType : uint8_t { ExportedList = 0, OtherText = 1, M3u = 2 };

// The import options (names as the controls that edit them) and the main options the import
// uses. The caller fills it from the settings record and copies back what the import changed
// (dsRadio, the "info to include" fields, lastImportFolder).
struct ImportSettings {
  ImportFileType fileType = ImportFileType::ExportedList;
  bool ImapCheck = false;   // append to the existing list
  bool MircCheck = false;   // other text lists: take only "!user..." lines
  uint8_t daRadio = 1;      // date added not found: 0 today, 1 leave blank
  uint8_t dsRadio = 0;      // date order undecided: 0 the main options' date style, 1 prompt
  bool cmfcheck = true;     // calculate a missing size or playtime from a constant bitrate
  bool clabcheck = false;   // read the labels of the mounted volumes for lists with paths
  bool stripcheck = true;   // strip the text export's header and footer files

  // Main options.
  uint8_t ComboStyle = 0;   // date style 0 locale, 1 European, 2 American, 3 Japanese
  ShownFields shown{ShownField::Playtime, ShownField::Bitrate, ShownField::Size};  // "info to include"
  bool CheckHead = false;   // the text export adds the header message file
  bool CheckFoot = false;   // the text export adds the footer message file
  std::string headerFile;   // text-mode header message file
  std::string footerFile;   // text-mode footer message file
  std::string lastImportFolder;
};

enum class BodyKind : uint8_t { Text = 0, PlainHtml = 1, HtmlTable = 2 };

// Which fields an exported list carries and how they are written.
struct ListLayout {
  ShownFields fields;
  bool longStereoNames = false;
  bool artistTitleSplit = false;
  uint8_t sortState = 63;   // a sortCode byte; 63 not sorted
  uint8_t dateStyle = 255;  // 0..3, 255 not given
  uint8_t sizeStyle = 255;  // 0..4, 255 not given
  int delimiterKind = -1;   // 0 ",", 1 ")", 2 "]", 3 "}", 4 tab, 5 blank; -1 not yet known
};

// The role of a field of a line. A value field's role is its sort key, so that the shown-field
// table names the field of a role.
enum ColumnRole : uint8_t {
  kRoleTitle = kSortByFileName, kRolePlaytime = kSortByPlaytime, kRoleBitrate = kSortByBitrate,
  kRoleSize = kSortByFileSize, kRoleStereo = kSortByStereoMode, kRoleFrequency = kSortByFrequency,
  kRoleDateCreated = kSortByFileDate, kRolePath = kSortByPath, kRoleDateAdded = kSortByDateAdded,
  kRoleLabel = kSortByVolumeLabel,
  kRoleDate = 57,           // a date column not yet known as created or added
  kRoleFree = 254,          // not recognised by any content rule
  kRoleEnumeration = 255,
};

// Lists the volumes whose labels the import may copy; tests give their own.
using VolumeSource = std::function<std::vector<platform::Volume>()>;

// The import stops growing a list at this many items.
inline constexpr size_t kMaxImportItems = 1'000'000;

inline constexpr const char* kMillionItemsText =
    "A million items! Wow! Sorry, no more please.\r\nImport will stop now. Existing items will be kept.";

}  // namespace sonalog

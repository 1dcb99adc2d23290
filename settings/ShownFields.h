#pragma once
// The ten "info to include" fields: the values that an export writes beside each file name and
// the viewer shows as columns, each switched on by a check box of the options window. One row per
// field holds everything that names it: its setting, the check box's caption and hint, the
// headers of the viewer and of the exports, the key a click on its viewer header sorts by and
// its letter in the exports' info tag. The viewer's grid, the export options and writers, the
// importers, the options window and the detection of exported lists all read this table, so a
// field cannot be named one way in one place and another way elsewhere.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>

#include "settings/Settings.h"

namespace sonalog {

// In the order the exports write them and the viewer shows them, which is also the order of the
// info tag's letters: the enumeration before the file name, the other nine (the value fields)
// after it.
enum class ShownField : uint8_t {
  Enumeration, Playtime, Bitrate, Size, StereoMode, Frequency, DateCreated, Path, DateAdded, VolumeLabel,
};
inline constexpr size_t kShownFieldCount = 10;

// A set of the ten fields: those a list shows, or those an exported list carries.
class ShownFields {
 public:
  constexpr ShownFields() = default;
  constexpr ShownFields(std::initializer_list<ShownField> fields) {
    for (ShownField f : fields) set(f);
  }
  static constexpr ShownFields all() {
    ShownFields s;
    s.bits_ = (1u << kShownFieldCount) - 1;
    return s;
  }

  constexpr bool has(ShownField f) const { return (bits_ >> static_cast<unsigned>(f)) & 1u; }
  constexpr void set(ShownField f, bool on = true) {
    const auto bit = static_cast<uint16_t>(1u << static_cast<unsigned>(f));
    bits_ = on ? static_cast<uint16_t>(bits_ | bit) : static_cast<uint16_t>(bits_ & ~bit);
  }
  // How many are on, the enumeration included.
  int count() const;
  constexpr bool operator==(const ShownFields&) const = default;

 private:
  uint16_t bits_ = 0;
};

struct ShownFieldInfo {
  ShownField field;
  bool Settings::*setting;  // edited by the check box of the same name
  const char* control;      // that name ("CheckTime")
  const char* caption;      // the check box's caption
  const char* hint;         // the check box's hint
  const char* viewerHeader;  // the viewer's column header
  const char* tableHeader;   // the HTML table's title cell
  const char* textHeader;    // the text export's header row
  // The viewer's and the HTML table's header unless stereo modes are written in the long style
  // (1), as the cells are; nullptr for the fields whose header does not depend on it.
  const char* shortStyleHeader;
  uint8_t sortKey;  // what a click on the viewer's header sorts by; kNoSortKey for none
  char tagLetter;   // the info tag's character while the field is on ('0' while off)
  bool rightAligned;  // the viewer pads the column's cells on the left to one length

  const char* viewerHeaderFor(uint8_t stereoStyle) const { return styled(viewerHeader, stereoStyle); }
  const char* tableHeaderFor(uint8_t stereoStyle) const { return styled(tableHeader, stereoStyle); }

 private:
  const char* styled(const char* header, uint8_t stereoStyle) const {
    return shortStyleHeader && stereoStyle != 1 ? shortStyleHeader : header;
  }
};

// The ten rows in ShownField order.
std::span<const ShownFieldInfo, kShownFieldCount> shownFieldTable();
// The nine value fields, in order (the table without the enumeration).
std::span<const ShownFieldInfo, kShownFieldCount - 1> valueFieldTable();
const ShownFieldInfo& shownField(ShownField field);

// The ten "info to include" switches of a settings record, and the reverse.
ShownFields shownFieldsOf(const Settings& s);
void storeShownFields(Settings& s, ShownFields fields);

}  // namespace sonalog

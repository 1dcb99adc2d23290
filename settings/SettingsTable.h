#pragma once
// The one table of the settings record: for every stored value its name, where and how the
// configuration file holds it, the values it accepts, how a load corrects a value out of range,
// and what "Reset ALL options" and the options window's DEFAULTS do to it. The file image, the
// load checks, both resets and the settings by name are all driven by this table, so adding a
// setting is a field in Settings and one row here.
//
// Default values live in the field initialisers of Settings: a fresh record is the reset record
// (apart from the window positions and folders, which depend on the screen and the home folder).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/Settings.h"

namespace sonalog {

enum class SettingKind { Switch, Number, Text };

// What the command line and the options window see of a setting.
struct SettingInfo {
  std::string name;
  SettingKind kind = SettingKind::Number;
  int64_t min = 0;        // Number: the accepted range (every value in it survives a load)
  int64_t max = 0;
  size_t maxBytes = 0;    // Text: the longest value
  std::string description;
  bool optionsDefault = false;  // the options window's DEFAULTS resets it
};

// How the value is stored in the file image.
enum class StoredAs : uint8_t {
  U8,         // one byte (a switch is 0 or 1)
  U16,        // little-endian
  I32,        // little-endian, two's complement
  U32,        // little-endian
  ShortText,  // a length byte and `maxBytes` bytes, unused ones zero
  LongText,   // one of the strings after the blocks: a 16-bit length and the bytes
};

// What a load does with a stored number outside [min, max].
enum class LoadFix : uint8_t {
  None,      // kept as stored
  Fallback,  // replaced by `fallback`
  Mask,      // value & max (max + 1 is a power of two)
  Wrap,      // value % (max + 1)
};

// What "Reset ALL options" puts in the field.
enum class ResetTo : uint8_t {
  Default,     // the value of a fresh record
  Kept,        // nothing: the field keeps its value
  HomeFolder,  // the user's home folder
  CentredX,    // a window's left edge centred on the screen for `centreSize` pixels of width
  CentredY,    // a window's top edge, likewise for the height
};

struct SettingField {
  SettingInfo info;
  std::vector<std::string> aliases;  // control names that also find it
  StoredAs stored = StoredAs::U8;
  size_t offset = 0;  // byte offset in the blocks; for LongText the string's index (0..21)
  LoadFix loadFix = LoadFix::None;
  int64_t fallback = 0;
  ResetTo reset = ResetTo::Default;
  int32_t centreSize = 0;

  // Numbers and switches.
  std::function<int64_t(const Settings&)> getNumber;
  std::function<void(Settings&, int64_t)> setNumber;
  // Texts.
  std::function<const std::string&(const Settings&)> getText;
  std::function<void(Settings&, std::string)> setText;
};

// Every field, in the order `config --names` lists them (file order, except that the parts of a
// font stay together).
const std::vector<SettingField>& settingsTable();
// The row of the setting called name (aliases and letter case do not count); nullptr for none.
const SettingField* settingField(std::string_view name);

}  // namespace sonalog

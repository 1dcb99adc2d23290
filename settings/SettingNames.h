#pragma once
// Settings by name, for the command line: every field of the settings record can be read and
// written as text under the name of its control (or its own name where it has none), with the
// value checked against the range the options windows accept.
//
// Names: the field names of Settings; fonts as "tableFont.size", ".charset", ".name", ".style";
// window positions as "mainWindowPos.left" / ".top" and "viewerSize.width" / ".height";
// "viewerColumnWidths.0" to ".13"; "customColours.0" to ".15". Control names of shared settings
// are accepted as aliases ("HighCheck" for highChars, "SizeEdit" for sizeLimitKB, ...), and a
// name that matches no setting exactly may differ in letter case.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/Settings.h"
#include "settings/SettingsTable.h"

namespace sonalog {

// Every setting, in the order of the settings table.
const std::vector<SettingInfo>& allSettings();
// The setting called name (or one of its aliases); nullptr when there is none.
const SettingInfo* findSetting(std::string_view name);

// The value as text: "0"/"1" for a switch, decimal for a number, the bytes of a text.
std::string getSetting(const Settings& s, const SettingInfo& info);

// Stores value into the setting. Returns an error message (naming the setting and the accepted
// values) when the value is not valid; the record is then unchanged.
std::optional<std::string> setSetting(Settings& s, const SettingInfo& info, std::string_view value);

// Applies one "NAME=VALUE" assignment. Returns an error message for a missing "=", an unknown
// name or an invalid value; the record is then unchanged.
std::optional<std::string> applySettingAssignment(Settings& s, std::string_view assignment);

}  // namespace sonalog

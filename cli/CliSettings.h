#pragma once
// The settings record every command works with: read from the configuration file named with
// --config (default: the working folder's "mp3snlg.ini"), then changed by each --set NAME=VALUE
// for this run only.

#include <optional>
#include <string>

#include "cli/Command.h"
#include "settings/Settings.h"

namespace sonalog::cli {

struct SettingsRequest {
  bool applySets = true;        // apply the --set overrides
  // A --config file that does not exist yet starts from "Reset ALL options" instead of failing
  // (for commands that are about to write it). An existing file that fails to load still fails.
  bool allowMissingNamedFile = false;
  // Once loaded, no output of this run may replace the file (commands that only read it).
  bool protectFile = true;
};

// The configuration file path: --config, else the working folder's "mp3snlg.ini".
std::string configPath(const Context& context);
// True when --config named the file (the start-up rule does not apply to it).
bool configNamed(const Context& context);
// True when path names the configuration file in use (the same file by device and inode, links
// followed, or the same place when neither exists yet). Commands that write outputs refuse it:
// an output must never replace the user's settings.
bool isConfigFile(const Context& context, const std::string& path);
// When out is the configuration file in use, says so for the command ("sonalog: COMMAND: OUT must
// not be ...") and returns true: the caller then ends with status 2.
bool refuseConfigOutput(const Context& context, const char* command, const std::string& out);

// Loads the settings for a command. The working folder's own file follows the start-up rule
// (created with defaults when missing or unreadable); a file named with --config that does not
// exist (unless allowMissingNamedFile) or fails to load is reported, left untouched, and gives
// exit status 1. An unknown
// --set name or an invalid value is reported and gives exit status 2. On failure returns nullopt
// with context.exitCode set.
std::optional<Settings> commandSettings(Context& context, const SettingsRequest& request = {});

// Applies the --set overrides in order; false (message printed, exit status 2) on the first bad one.
bool applySets(Context& context, Settings& settings);

}  // namespace sonalog::cli

// sonalog config: prints or edits the configuration file given by --config (default: the
// working folder's "mp3snlg.ini"). Here --set changes are stored in the file.

#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliSettings.h"
#include "cli/Command.h"
#include "cli/TerminalText.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "settings/SettingNames.h"

namespace sonalog::cli {

namespace {

struct ConfigArgs {
  bool reset = false;
  bool defaults = false;
  std::vector<std::string> gets;
  bool list = false;
  bool names = false;
};

// Control characters would break the one-setting-per-line listing: they are shown escaped.
std::string forListing(const std::string& value) {
  std::string out;
  for (char c : value) {
    switch (c) {
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: out.push_back(c);
    }
  }
  return out;
}

std::string rangeText(const SettingInfo& info) {
  switch (info.kind) {
    case SettingKind::Switch: return "0|1";
    case SettingKind::Number: return std::to_string(info.min) + ".." + std::to_string(info.max);
    case SettingKind::Text: return "text, at most " + std::to_string(info.maxBytes) + " bytes";
  }
  return {};
}

int runConfig(Context& context, const ConfigArgs& args) {
  // Validate every name asked for before touching the file.
  std::vector<const SettingInfo*> gets;
  for (const std::string& name : args.gets) {
    const SettingInfo* info = findSetting(name);
    if (!info) {
      std::fprintf(stderr, "sonalog: config: unknown setting \"%s\" (sonalog config --names lists them)\n",
                   name.c_str());
      return 2;
    }
    gets.push_back(info);
  }

  const bool writes = args.reset || args.defaults || !context.options.sets.empty();
  SettingsRequest request;
  request.applySets = false;  // applied below, after a reset, and stored
  request.allowMissingNamedFile = writes;
  request.protectFile = false;  // this command is the one that writes it
  // Two runs that change the file at once take turns, so neither change is lost. Whoever holds
  // the folder is waited for visibly, and not for ever.
  const std::string file = configPath(context);
  std::optional<platform::FolderLock> lock;
  if (writes) {
    platform::LockPatience patience;
    patience.onWaiting = [&file] {
      std::fprintf(stderr, "sonalog: waiting for another sonalog run to finish with %s\n", terminalMessage(file).c_str());
    };
    lock.emplace(platform::folderOf(file), patience);
    if (lock->timedOut()) {
      std::fprintf(stderr,
                   "sonalog: config: %s: its folder is still locked by another process after %lld seconds; "
                   "nothing was changed\n",
                   terminalMessage(file).c_str(), static_cast<long long>(patience.giveUpAfter.count() / 1000));
      return 1;
    }
  }
  auto loaded = commandSettings(context, request);
  if (!loaded) return context.exitCode;
  Settings settings = std::move(*loaded);

  if (args.reset) setAllDefaults(settings);
  if (args.defaults) setOptionsDefaults(settings);
  if (!applySets(context, settings)) return context.exitCode;
  if (writes && !saveSettings(settings, configPath(context), context.ui, false)) return 1;

  for (const SettingInfo* info : gets) std::printf("%s\n", getSetting(settings, *info).c_str());
  if (args.list || (!writes && gets.empty() && !args.names)) {
    for (const SettingInfo& info : allSettings())
      std::printf("%s=%s\n", info.name.c_str(), forListing(getSetting(settings, info)).c_str());
  }
  if (args.names) {
    for (const SettingInfo& info : allSettings())
      std::printf("%s\t%s\t%s\n", info.name.c_str(), rangeText(info).c_str(), info.description.c_str());
  }
  return 0;
}

void registerConfigCommand(CLI::App& app, Context& context) {
  auto args = std::make_shared<ConfigArgs>();
  CLI::App* cmd = app.add_subcommand("config", "Print or edit the configuration file given by --config");
  cmd->footer(
      "Without options, lists every setting as NAME=VALUE (default file: the working folder's "
      "mp3snlg.ini).\n"
      "--set NAME=VALUE (repeatable) stores the value in the file; --reset sets every value as "
      "\"Reset ALL options\" does, --defaults the options window's DEFAULTS; both come before "
      "the --set values.\n"
      "A file named with --config that is not a configuration file is reported and left "
      "untouched; a missing one is created by --reset, --defaults or --set.\n"
      "Exit status: 0 done, 1 the file could not be read or written, 2 an unknown setting or an "
      "invalid value.");
  auto* reset = cmd->add_flag("--reset", args->reset, "Set ALL options to their defaults (\"Reset ALL options\")");
  cmd->add_flag("--defaults", args->defaults, "Set the options window's values to their DEFAULTS")->excludes(reset);
  cmd->add_option("--get", args->gets, "Print the value of setting NAME (repeatable)")->option_text("NAME");
  cmd->add_flag("--list", args->list, "Print every setting as NAME=VALUE");
  cmd->add_flag("--names", args->names, "Print every setting's name, accepted values and meaning");
  cmd->callback([&context, args] { context.exitCode = runConfig(context, *args); });
}

}  // namespace

SONALOG_REGISTER_COMMAND(registerConfigCommand);

}  // namespace sonalog::cli

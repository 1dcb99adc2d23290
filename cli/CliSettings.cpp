#include "cli/CliSettings.h"

#include <cstdio>

#include "platform/Files.h"
#include "settings/SettingNames.h"

namespace sonalog::cli {

namespace {
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
}  // namespace

std::string configPath(const Context& context) {
  return configNamed(context) ? context.options.configPath : workingConfigPath();
}

bool configNamed(const Context& context) { return !context.options.configPath.empty(); }

bool isConfigFile(const Context& context, const std::string& path) {
  return !path.empty() && platform::sameFile(path, configPath(context));
}

bool refuseConfigOutput(const Context& context, const char* command, const std::string& out) {
  if (!isConfigFile(context, out)) return false;
  std::fprintf(stderr, "sonalog: %s: OUT must not be the configuration file (it is never changed)\n", command);
  return true;
}

bool applySets(Context& context, Settings& settings) {
  for (const std::string& assignment : context.options.sets) {
    if (auto error = applySettingAssignment(settings, assignment)) {
      std::fprintf(stderr, "sonalog: --set: %s\n", error->c_str());
      context.exitCode = kExitUsage;
      return false;
    }
  }
  return true;
}

std::optional<Settings> commandSettings(Context& context, const SettingsRequest& request) {
  Settings settings;
  const std::string path = configPath(context);
  if (!configNamed(context)) {
    if (startupSettings(settings, context.ui, ScreenSize{}, path) == StartupSettings::Fatal) {
      context.exitCode = kExitFailure;
      return std::nullopt;
    }
  } else if (!platform::fileFacts(path)) {
    // A misspelt --config must not read as a damaged file.
    if (!request.allowMissingNamedFile) {
      std::fprintf(stderr, "sonalog: %s: no such configuration file\n", path.c_str());
      context.exitCode = kExitFailure;
      return std::nullopt;
    }
    setAllDefaults(settings);
  } else if (!loadOptionsFrom(path, settings, context.ui)) {
    std::fprintf(stderr, "sonalog: %s was not changed\n", path.c_str());
    context.exitCode = kExitFailure;
    return std::nullopt;
  }
  if (request.applySets && !applySets(context, settings)) return std::nullopt;
  if (request.protectFile) platform::protectFromReplacement(path);
  return settings;
}

}  // namespace sonalog::cli

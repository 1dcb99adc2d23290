#pragma once
// The sonalog command: each subcommand lives in its own cli/cmd_*.cpp and registers itself with
// SONALOG_REGISTER_COMMAND, so adding a command touches no shared file.

#include <CLI/CLI.hpp>

#include <functional>
#include <string>
#include <vector>

#include "cli/CliUi.h"

namespace sonalog::cli {

// Options every subcommand shares; parsed before the subcommand's callback runs.
struct GlobalOptions {
  std::string configPath;          // --config FILE; empty: the working folder's "mp3snlg.ini"
  std::vector<std::string> sets;   // --set NAME=VALUE, in order
  bool yes = false;                // --yes
  bool no = false;                 // --no
};

struct Context {
  GlobalOptions options;
  CliUi ui;
  int exitCode = 0;  // the subcommand's result
};

// Refuses an empty argument as a usage error: an unset shell variable must not turn into "the
// current folder" or a file with no name.
inline CLI::Validator notEmpty() {
  return CLI::Validator(
      [](const std::string& value) { return value.empty() ? std::string("must not be empty") : std::string(); }, "");
}

// Adds a subcommand to app. The callback stores its exit status in context.exitCode.
using Registrar = void (*)(CLI::App& app, Context& context);
bool registerCommand(Registrar registrar);
const std::vector<Registrar>& registeredCommands();

}  // namespace sonalog::cli

#define SONALOG_REGISTER_COMMAND(fn) \
  static const bool sonalog_registered_##fn = ::sonalog::cli::registerCommand(&fn)

// The sonalog command: a catalogue of mp3 files from the command line.

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>

#include "cli/Command.h"
#include "cli/TerminalText.h"
#include "platform/Files.h"
#include "platform/Paths.h"

namespace sonalog::cli {

namespace {
std::vector<Registrar>& registry() {
  static std::vector<Registrar> r;
  return r;
}
}  // namespace

bool registerCommand(Registrar registrar) {
  registry().push_back(registrar);
  return true;
}

const std::vector<Registrar>& registeredCommands() { return registry(); }

namespace {

// No command was recognised: says which word was taken for one (a typo, most likely) and lists
// the commands, instead of a bare "A subcommand is required".
void reportMissingCommand(const CLI::App& app) {
  std::vector<std::string> names;
  for (const CLI::App* sub : app.get_subcommands([](const CLI::App*) { return true; }))
    names.push_back(sub->get_name());
  std::sort(names.begin(), names.end());
  std::string commands;
  for (const std::string& name : names) commands += (commands.empty() ? "" : ", ") + name;
  std::string unknown;
  for (const std::string& arg : app.remaining())
    if (!arg.empty() && arg[0] != '-') {
      unknown = arg;
      break;
    }
  if (unknown.empty()) std::fputs("sonalog: a command is required", stderr);
  else std::fprintf(stderr, "sonalog: unknown command \"%s\"", terminalMessage(unknown).c_str());
  std::fprintf(stderr, "; the commands are: %s (sonalog --help describes them)\n", commands.c_str());
}

}  // namespace

}  // namespace sonalog::cli

int main(int argc, char** argv) {
  // Only the categories every command uses: character classes and system error texts. Dates
  // take LC_TIME when they first format one, collation reads the user's LC_COLLATE when a sort
  // first needs it, and numbers stay in the C form the lists and settings are written in.
  std::setlocale(LC_CTYPE, "");
  std::setlocale(LC_MESSAGES, "");
  using namespace sonalog::cli;
  Context context;
  CLI::App app{"sonalog: catalogues mp3 collections (playtime, bitrate, mode, frequency)", "sonalog"};
  app.set_version_flag("--version", std::string("sonalog ") + SONALOG_VERSION);
  app.require_subcommand(1);
  app.fallthrough();
  app.option_defaults()->always_capture_default();
  app.add_option("--config", context.options.configPath,
                 "Settings file (default: the working folder's mp3snlg.ini)")
      ->type_name("FILE");
  app.add_option("--set", context.options.sets, "Override a setting for this run (repeatable)")
      ->allow_extra_args(false)
      ->type_name("NAME=VALUE")
      ->default_str("");
  auto* yes = app.add_flag("--yes", context.options.yes, "Answer questions with Yes/OK when not on a terminal");
  app.add_flag("--no", context.options.no, "Answer questions with No/Cancel when not on a terminal")
      ->excludes(yes);
  for (Registrar r : registeredCommands()) r(app, context);
  app.parse_complete_callback([&] {
    // Temporary files of runs that were killed are nobody's any more.
    sonalog::platform::removeStaleTemporaries(sonalog::platform::workingFolder());
    context.ui.setAutoAnswer(context.options.yes ? AutoAnswer::Yes
                             : context.options.no ? AutoAnswer::No
                                                  : AutoAnswer::None);
  });
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (dynamic_cast<const CLI::RequiredError*>(&e) && app.get_subcommands().empty()) {
      reportMissingCommand(app);
    } else {
      app.exit(e);  // help, version, or a command's own usage error
    }
    context.exitCode = e.get_exit_code() == 0 ? 0 : 2;
  }
  // Output that never reached its file (a full disk, a closed pipe) is a failed command, not a
  // success: the user would otherwise trust a listing, a help text or a version that is cut short
  // or missing.
  errno = 0;
  const bool flushed = std::fflush(stdout) == 0;
  const int reason = errno;
  if ((!flushed || std::ferror(stdout)) && context.exitCode == 0) {
    if (reason != 0) std::fprintf(stderr, "sonalog: cannot write the output: %s\n", std::strerror(reason));
    else std::fputs("sonalog: cannot write the output\n", stderr);
    context.exitCode = 1;
  }
  return context.exitCode;
}

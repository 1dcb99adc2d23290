// sonalog dupes LIST [-o OUT.snlg] [--log FILE]: the duplicates search on a list file. Queued
// items are removed as "&DELETE" does and the kept list is written to OUT; --log writes the
// deletion log as "&SAVE LOG" does. The input file is never changed.

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "cli/CliSettings.h"
#include "cli/Command.h"
#include "cli/TerminalText.h"
#include "core/ListFile.h"
#include "duplicates/DupSearchUnit.h"
#include "duplicates/PreDupUnit.h"
#include "platform/Files.h"

namespace sonalog::cli {

namespace {

struct DupesArgs {
  std::string list;
  std::string output;
  std::string log;
};

constexpr auto kPoll = std::chrono::milliseconds(100);
constexpr const char* kStoppedText = "stopped by Ctrl+C; nothing written";

int fail(const std::string& text, int code) {
  std::fprintf(stderr, "sonalog: dupes: %s\n", text.c_str());
  return code;
}

// A prompt of the manual action: asked on the terminal when the user can both see it (stderr)
// and answer it (stdin), else answered by --yes (DELETE 1ST) or --no and by default LEAVE BOTH,
// which changes nothing.
uint8_t askPair(const DupEvent& e, const Context& context, CliUi& ui) {
  ui.endProgress();
  std::fprintf(stderr, "%s\n  %s\n  %s\n", terminalMessage(e.text).c_str(),
               terminalMessage(e.file1).c_str(), terminalMessage(e.file2).c_str());
  if (!::isatty(STDIN_FILENO) || !::isatty(STDERR_FILENO)) {
    const bool first = context.options.yes;
    std::fprintf(stderr, "-> %s\n", first ? "DELETE 1ST" : "LEAVE BOTH");
    return first ? kDelete1st : kLeaveBoth;
  }
  for (;;) {
    std::fputs("DELETE 1ST (1) / DELETE 2ND (2) / LEAVE BOTH (l) / ABORT (a)? ", stderr);
    std::string line;
    if (!std::getline(std::cin, line)) return kSearchStop;
    const char c = line.empty() ? '\0' : static_cast<char>(std::tolower(static_cast<unsigned char>(line[0])));
    if (c == '1') return kDelete1st;
    if (c == '2') return kDelete2nd;
    if (c == 'l') return kLeaveBoth;
    if (c == 'a') return kSearchStop;
  }
}

bool writeKeptList(const InternalList& list, const std::string& path, CliUi& ui) {
  if (!writeListFile(path, list.items, list.sortCode)) {
    ui.warning(kTextCantWrite);
    return false;
  }
  return true;
}

int runDupes(Context& context, const DupesArgs& args) {
  for (const std::string* out : {&args.output, &args.log})
    if (isConfigFile(context, *out))
      return fail("\"" + *out + "\" is the configuration file, which is never changed", 2);
  std::optional<Settings> settings = commandSettings(context);
  if (!settings) return context.exitCode;
  normalizeDuplicatesOptions(*settings);  // as the options window does when it opens
  const DupSearchOptions options = dupSearchOptionsOf(*settings);

  for (const std::string* out : {&args.output, &args.log})
    if (!out->empty() && platform::sameFile(*out, args.list))
      return fail("\"" + *out + "\" is the input list, which is never changed", 2);
  if (!args.output.empty() && !args.log.empty() && platform::sameFile(args.output, args.log))
    return fail("-o and --log must name different files", 2);

  ListFileContents contents;
  if (!ReadListFileContents(context.ui, args.list, contents)) return 1;
  if (context.ui.processEvents()) return fail(kStoppedText, 1);
  InternalList list;
  list.items = std::move(contents.items);
  list.sortCode = contents.sortCode;

  CliUi& ui = context.ui;
  ui.setShowProgress(true);
  DupSearchRun run(list.items, options);
  run.start();
  std::string finish;
  for (bool ended = false; !ended;) {
    run.waitForEvent(kPoll);
    ended = run.workerEnded();
    if (ui.processEvents()) run.stop();  // Ctrl+C: "&ABORT"
    for (const DupEvent& e : run.takeEvents()) {
      if (e.kind == DupEvent::Kind::Ask) {
        const uint8_t answer = askPair(e, context, ui);
        if (answer == kSearchStop) run.stop();
        else run.answer(answer);
      } else if (e.kind == DupEvent::Kind::Finished) {
        finish = e.text;
      }
    }
    if (!ended) {
      const uint16_t p = run.progress();
      ui.setStatus("Progress: " + std::to_string(p / 10) + "." + std::to_string(p % 10) + " %");
    }
  }
  ui.endProgress();
  ui.setShowProgress(false);

  if (run.searchRunning()) {
    // Stopped before its end: the revert question decides whether the deletions so far happen.
    run.close(list, ui);
    if (run.listChanged() && !args.output.empty() && writeKeptList(list, args.output, ui))
      std::printf("%u items left.\n", list.itemCount());
    return 1;
  }
  // A Ctrl+C after the search's end, before anything is written, stops the command too.
  if (ui.processEvents()) return fail(kStoppedText, 1);
  std::printf("%s\n", finish.c_str());
  int status = 0;
  if (!args.log.empty() && run.duplicatesToDelete() > 0 && !run.writeLog(args.log, list.items, ui)) status = 1;
  if (!args.log.empty() && run.duplicatesToDelete() == 0) ui.warning("Nothing to save.");
  if (!args.output.empty()) {
    const std::string left = run.deleteButton(list);
    if (!writeKeptList(list, args.output, ui)) return 1;
    std::printf("%s\n", left.c_str());
  }
  run.close(list, ui);
  return status;
}

void registerDupesCommand(CLI::App& app, Context& context) {
  auto args = std::make_shared<DupesArgs>();
  CLI::App* dupes = app.add_subcommand("dupes", "Search a list file for duplicate titles");
  dupes->add_option("LIST", args->list, "The list file (.snlg) to search; it is never changed")->required();
  dupes->add_option("-o,--output", args->output, "Write the list without the queued duplicates to this file");
  dupes->add_option("--log", args->log, "Write the deletion log (the queued items) to this file");
  dupes->footer(
      "Scores every pair of titles as the duplicates search does, with the settings matchThreshold\n"
      "(50-100; 100 = equal but for case, 99 = equal letters), actionMode (0 automatic, 1 automatic\n"
      "only for 99-100 % matches, 2 manual), highChars, firstLetterCheck, allowUnspecified,\n"
      "sizeCheck/sizeLimitKB, timeCheck/timeLimitSec, bitrateCheck and threadPriority (--set NAME=VALUE).\n"
      "Matches to confirm are asked on the terminal (1 DELETE 1ST, 2 DELETE 2ND, l LEAVE BOTH,\n"
      "a ABORT); otherwise --yes answers DELETE 1ST and anything else LEAVE BOTH.\n"
      "Prints the finish text, then with -o \"<n> items left.\". Ctrl+C stops the search and asks\n"
      "whether to revert (Yes, also the answer without a terminal unless --no) or to remove the\n"
      "duplicates confirmed so far.\n"
      "Exit status: 0 the search ran to its end (and the files were written); 1 the list could not be\n"
      "read, a file could not be written, or the search was stopped; 2 usage error.");
  dupes->callback([args, &context] {
    CliUi::installInterruptHandler();  // before any work: a Ctrl+C at any moment stops the search
    context.exitCode = runDupes(context, *args);
  });
}

}  // namespace

SONALOG_REGISTER_COMMAND(registerDupesCommand);

}  // namespace sonalog::cli

// sonalog compare LIST EXTERNAL [-o OUT]: compares a list file with an external list (a list file
// or any text list, by the compareWith setting) and writes the log or new list of the action
// type, or, for the removal types 4 and 9, the shortened list. The input files are never changed.

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/CliSettings.h"
#include "cli/Command.h"
#include "compare/CompareAction.h"
#include "compare/CompareDriver.h"
#include "compare/PreCompUnit.h"
#include "core/ListFile.h"
#include "duplicates/TitleMatch.h"
#include "platform/Files.h"

namespace sonalog::cli {

namespace {

struct CompareArgs {
  std::string list;
  std::string external;
  std::string output;
};

constexpr std::string_view kRelaxedSet = "relaxed=";
constexpr const char* kStoppedText = "stopped by Ctrl+C; nothing written";

// The run's questions on the terminal, or answered by --yes / --no.
class CliResponder : public CompareResponder {
 public:
  CliResponder(CliUi& ui, bool removalConfirmed) : ui_(ui), removalConfirmed_(removalConfirmed) {}

  void warning(const std::string& text) override { ui_.warning(text); }
  bool question(const std::string& text, const std::string& caption) override {
    return ui_.ask(text, caption, Buttons::YesNo, Icon::Exclamation) == Answer::Yes;
  }
  uint8_t confirm(uint8_t score, const std::string& line1, const std::string& line2) override {
    const std::string text = " Please confirm this " + std::to_string(score) + " % match:\r\n" +
                             line1 + "\r\n" + line2 + "\r\nYes = MATCH, No = DIFFER";
    return ui_.ask(text, "confirm", Buttons::YesNo, Icon::Question) == Answer::Yes ? kCompareMatch
                                                                                    : kCompareDiffer;
  }
  // With -o the removal counts as confirmed; without it nothing is removed.
  bool confirmRemoval(const std::string&) override { return removalConfirmed_; }
  bool abortRequested() override {
    const bool requested = ui_.processEvents();
    interrupted_ = interrupted_ || requested;
    return requested;
  }
  bool saveOnAbort(const std::string& question) override {
    stoppedWhileMatching_ = true;
    return ui_.ask(question, "prompt", Buttons::YesNo, Icon::Question) == Answer::Yes;
  }
  // Ctrl+C was pressed during the run.
  bool interrupted() const { return interrupted_; }
  // The matching was stopped part-way (what was found so far may have been saved).
  bool stoppedWhileMatching() const { return stoppedWhileMatching_; }
  void progress(uint16_t permille, const std::string& status) override {
    char percent[32];
    std::snprintf(percent, sizeof percent, "%u.%u %%", permille / 10, permille % 10);
    ui_.setStatus(status.empty() ? std::string("Progress: ") + percent
                                 : status + "  Progress: " + percent);
  }

 private:
  CliUi& ui_;
  bool removalConfirmed_;
  bool interrupted_ = false;
  bool stoppedWhileMatching_ = false;
};

int fail(const std::string& text, int code) {
  std::fprintf(stderr, "sonalog: compare: %s\n", text.c_str());
  return code;
}

// The relaxed switch belongs to the options window, not to the stored settings: "relaxed=0|1"
// is taken out of the --set assignments. Returns the exit code of a bad value, else 0.
int takeRelaxedSwitch(Context& context, std::optional<bool>& relaxed) {
  std::vector<std::string> sets;
  for (const std::string& s : context.options.sets) {
    if (s.rfind(kRelaxedSet, 0) != 0) {
      sets.push_back(s);
      continue;
    }
    const std::string value = s.substr(kRelaxedSet.size());
    if (value != "0" && value != "1") return fail("relaxed must be 0 or 1, not \"" + value + "\"", 2);
    relaxed = value == "1";
  }
  context.options.sets = sets;
  return 0;
}

// The options window's acceptance rules, said in words: the exit code of the first one broken,
// else 0.
int refusal(const CompareArgs& args, const CompareSettings& settings) {
  const int type = settings.compareAction;
  if (!platform::fileExists(args.list)) return fail("\"" + args.list + "\": File doesn't exist, or can't be read.", 1);
  if (!platform::fileExists(args.external))
    return fail("\"" + args.external + "\": File doesn't exist, or can't be read.", 1);
  if (!inputAcceptable(args.external, settings.compareWith))
    return fail("with compareWith=0 the external list must be a list file ending in \".snlg\"", 2);
  if (isRemoval(type)) {
    if (!args.output.empty() && outputKindOfName(args.output) != OutputKind::List)
      return fail("the shortened list of action type " + std::to_string(type) +
                      " is written to a list file: OUT must end in \".snlg\"", 2);
  } else {
    if (args.output.empty())
      return fail("action type " + std::to_string(type) + " (" + std::string(actionComboItem(type)) +
                      ") writes a file: give it with -o OUT", 2);
    if (outputKindOfName(args.output) != outputOf(type))
      return fail(outputOf(type) == OutputKind::List
                      ? "action type " + std::to_string(type) + " writes a new list: OUT must end in \".snlg\""
                      : "action type " + std::to_string(type) + " writes a log: OUT must not end in \".snlg\"",
                  2);
  }
  if (!args.output.empty() &&
      (platform::sameFile(args.output, args.list) || platform::sameFile(args.output, args.external)))
    return fail("OUT must not be one of the input files (they are never changed)", 2);
  return 0;
}

int runCompare(Context& context, const CompareArgs& args) {
  if (refuseConfigOutput(context, "compare", args.output)) return 2;
  std::optional<bool> relaxed;
  if (const int code = takeRelaxedSwitch(context, relaxed); code != 0) return code;
  std::optional<Settings> settings = commandSettings(context);
  if (!settings) return context.exitCode;
  normalizeCompareSettings(*settings);

  CompareJob job;
  job.inputPath = args.external;
  job.outputPath = args.output;
  job.settings = compareSettingsOf(*settings);
  job.relaxedSwitch = relaxed.value_or(settings->compareWith == 1);
  job.partThreshold = ComputePartThreshold(settings->matchThreshold);
  const int type = job.settings.compareAction;

  if (const int code = refusal(args, job.settings); code != 0) return code;

  InternalList internal;
  ListFileContents contents;
  if (!ReadListFileContents(context.ui, args.list, contents)) return 1;
  internal.items = std::move(contents.items);
  internal.sortCode = contents.sortCode;
  if (context.ui.processEvents()) return fail(kStoppedText, 1);

  context.ui.setShowProgress(true);
  TMyThread run(internal, job);
  CliResponder responder(context.ui, !args.output.empty());
  const CompOutcome outcome = driveCompare(run, responder);
  context.ui.setShowProgress(false);
  // A stopped run is never reported as finished, even when what it found so far was saved.
  if (responder.stoppedWhileMatching() && outcome == CompOutcome::Completed)
    return fail("stopped by Ctrl+C; what was found before the stop was written to \"" + args.output + "\"", 1);
  if (responder.interrupted() && outcome != CompOutcome::Completed) return fail(kStoppedText, 1);
  // A Ctrl+C after the run's last look at it, before the shortened list is written, stops too.
  if (isRemoval(type) && outcome == CompOutcome::Completed && run.listChanged() && context.ui.processEvents())
    return fail(kStoppedText, 1);
  const std::string finish = run.finishText();
  if (!finish.empty()) std::printf("%s\n", finish.c_str());

  if (isRemoval(type) && outcome == CompOutcome::Completed && run.listChanged()) {
    if (internal.items.empty()) return fail(std::string(kTextEmptyList) + " Nothing written to \"" + args.output + "\".", 1);
    if (!writeListFile(args.output, internal.items, internal.sortCode)) {
      context.ui.warning(kTextCantWrite);
      return 1;
    }
    std::printf("%u items left, written to %s\n", internal.itemCount(), args.output.c_str());
  }
  if (outcome == CompOutcome::Completed) return 0;
  // Without -o a removal type only reports what it would remove.
  if (outcome == CompOutcome::Declined && args.output.empty()) return 0;
  return 1;
}

void registerCompareCommand(CLI::App& app, Context& context) {
  auto args = std::make_shared<CompareArgs>();
  CLI::App* cmd = app.add_subcommand(
      "compare", "Compare a list file with an external list; write a log, a new list or a shorter list");
  cmd->footer(
      "The action type is the compareAction setting (default 0):\n"
      "  0 unique titles of EXTERNAL to a log     1 ... to a new list (.snlg)\n"
      "  2 unique titles of LIST to a log         3 ... to a new list (.snlg)\n"
      "  4 remove matched titles from LIST        (shortened list to -o OUT.snlg)\n"
      "  5 matches of EXTERNAL to a log           6 ... to a new list (.snlg)\n"
      "  7 matches of LIST to a log               8 ... to a new list (.snlg)\n"
      "  9 remove unmatched titles from LIST      (shortened list to -o OUT.snlg)\n"
      "EXTERNAL is a list file when compareWith=0, any text list (one title per line) when\n"
      "compareWith=1 (default). Settings via --config/--set: matchThreshold (50..100),\n"
      "actionMode (0 automatic, 1 automatic only for 99-100 %, 2 manual), highChars,\n"
      "firstLetterCheck, sizeCheck, sizeLimitKB, timeCheck, timeLimitSec, bitrateCheck,\n"
      "examineBangLines, threadPriority; --set relaxed=0|1 sets the relaxed matching switch for\n"
      "this run (default: on for text lists, off for list files).\n"
      "Confirmations are asked on a terminal; otherwise --yes answers MATCH and --no DIFFER.\n"
      "Without -o the removal types only report what they would remove. The input files are\n"
      "never changed. Prints the finish text; exit 0 for a completed run, 1 otherwise\n"
      "(2 for bad arguments).");
  cmd->add_option("LIST", args->list, "The list file to compare (the internal list)")->required();
  cmd->add_option("EXTERNAL", args->external, "The external list: a list file or a text list")->required();
  cmd->add_option("-o,--output", args->output, "The log, the new list, or the shortened list");
  cmd->callback([&context, args] {
    CliUi::installInterruptHandler();  // before any work: a Ctrl+C at any moment stops the run
    context.exitCode = runCompare(context, *args);
  });
}

}  // namespace

SONALOG_REGISTER_COMMAND(registerCompareCommand);

}  // namespace sonalog::cli

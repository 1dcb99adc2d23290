// sonalog scan: a NEW scan of a folder, or an APPEND scan onto a list file, with the settings of
// --config and --set; prints the final status line and writes the list through Save as.

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "cli/CliSettings.h"
#include "cli/Command.h"
#include "core/FolderScan.h"
#include "core/ListFile.h"
#include "platform/Files.h"
#include "platform/Paths.h"

namespace sonalog::cli {

namespace {

struct ScanArgs {
  std::string appendList;
  bool allDrives = false;
  bool noSubfolders = false;
  std::string output;
  std::string folder;
};

// The command's own interface, except that Save as "chooses" the output file named with -o.
class SaveToOutput : public UserInterface {
 public:
  SaveToOutput(UserInterface& inner, std::string output) : inner_(inner), output_(std::move(output)) {}
  Answer show(const MessageBox& box) override { return inner_.show(box); }
  void setStatus(std::string_view text) override { inner_.setStatus(text); }
  void setBusy(bool busy) override { inner_.setBusy(busy); }
  bool processEvents() override { return inner_.processEvents(); }
  OpenResult openDocument(const std::string& path, bool edit) override {
    return inner_.openDocument(path, edit);
  }
  std::optional<FileDialogResult> openFile(const FileDialog& dialog) override { return inner_.openFile(dialog); }
  // Naming the file with -o is the decision to replace it.
  std::optional<FileDialogResult> saveFile(const FileDialog&) override { return FileDialogResult{output_, 0, true}; }

 private:
  UserInterface& inner_;
  std::string output_;
};

// Items store full paths, so the folder is made absolute; "." and ".." steps are resolved.
std::string absoluteFolder(const std::string& folder) {
  std::error_code ec;
  const auto abs = std::filesystem::absolute(folder, ec);
  if (ec) return folder;
  return platform::stripTrailingSeparator(abs.lexically_normal().string());
}

// What a scan stopped outside its walk prints; nothing is written.
int stoppedBeforeScan() {
  std::printf("Cancelled.\n");
  return 1;
}

int runScan(Context& context, const ScanArgs& args) {
  if (refuseConfigOutput(context, "scan", args.output)) return 2;
  auto loaded = commandSettings(context);
  if (!loaded) return context.exitCode;
  Settings settings = std::move(*loaded);

  ScanTarget target;
  target.allDrives = args.allDrives;
  target.includeSubfolders = !args.noSubfolders;
  target.folder = args.folder.empty() ? std::string("/") : absoluteFolder(args.folder);
  if (!args.allDrives) {
    const auto facts = platform::fileFacts(target.folder);
    if (!facts || !facts->isDirectory) {
      std::fprintf(stderr, "sonalog: scan: %s: no such folder\n", args.folder.c_str());
      return 1;
    }
  }

  InternalList list;
  if (!args.appendList.empty()) {
    const ListReadResult read = ReadListFile(context.ui, list, args.appendList, true, false, [&list] {
      list.clear();
      return true;
    });
    if (read.count <= 0) {
      std::fprintf(stderr, "sonalog: scan: %s: %s\n", args.appendList.c_str(), kTextCantLoad);
      return 1;
    }
  }
  if (context.ui.processEvents()) return stoppedBeforeScan();

  context.ui.setShowProgress(::isatty(STDERR_FILENO));
  ScanMemory memory;
  const ScanResult result =
      runFolderScan(args.appendList.empty() ? ScanMode::New : ScanMode::Append, target,
                    scanOptionsFrom(settings), list, context.ui, memory);
  context.ui.endProgress();
  context.ui.setShowProgress(false);
  // A Ctrl+C after the last file was looked at still stops the command before OUT is written.
  if (result.outcome == ScanOutcome::Completed && context.ui.processEvents()) return stoppedBeforeScan();
  std::printf("%s\n", result.status.c_str());
  std::fflush(stdout);
  if (result.outcome != ScanOutcome::Completed) return 1;

  SaveToOutput ui(context.ui, args.output);
  ListCommandContext save{ui, list, settings};
  return SaveButClick(save) == CommandResult::Done ? 0 : 1;
}

void registerScanCommand(CLI::App& app, Context& context) {
  auto args = std::make_shared<ScanArgs>();
  CLI::App* cmd = app.add_subcommand(
      "scan", "Scan a folder into a new list (NEW) or onto a list file (APPEND) and write a list file");
  cmd->footer(
      "Scans FOLDER with its subfolders into a new list, or onto the items of LIST (--append), and "
      "writes the list file OUT.\n"
      "Every mp3 file within the size window (minsizetext, maxsizetext) is analysed in fast or slow "
      "mode (Combopopt); hidden files only with CheckSh; files the analysis rejects follow "
      "erroractioncombo (0 discard, 1 ask, 2 include); with --append, files already in the list "
      "follow ComboSkip; the list is sorted by sortcombo, CheckDescend and CheckCase when CheckSort "
      "is on. Prints the final status line (\"Added: 12 of 12. Total: 12 items.\") on stdout; "
      "progress goes to stderr when it is a terminal; Ctrl+C cancels.\n"
      "Exit status: 0 the scan completed and OUT was written; 1 the scan was cancelled, failed or "
      "found nothing to write, the folder or LIST could not be read, or OUT could not be written; "
      "2 a usage error.");
  cmd->add_option("--append", args->appendList, "Load list file LIST and add the scan to it (APPEND)")
      ->option_text("LIST");
  cmd->add_flag("--all-drives", args->allDrives,
                "Search all drives: every mounted local filesystem, never crossing into another mount");
  cmd->add_flag("--no-subfolders", args->noSubfolders, "Scan FOLDER only, not its subfolders");
  cmd->add_option("-o,--output", args->output, "The list file to write")->required()->check(notEmpty())->option_text("OUT.snlg");
  cmd->add_option("folder", args->folder, "The folder to scan (with --all-drives: optional)")
      ->option_text("FOLDER");
  cmd->callback([&context, args, cmd] {
    if (args->folder.empty() && !args->allDrives) {
      std::fprintf(stderr, "sonalog: scan: FOLDER is required (or --all-drives)\n%s", cmd->help().c_str());
      context.exitCode = 2;
      return;
    }
    CliUi::installInterruptHandler();  // before any work: a Ctrl+C at any moment stops the scan
    context.exitCode = runScan(context, *args);
  });
}

}  // namespace

SONALOG_REGISTER_COMMAND(registerScanCommand);

}  // namespace sonalog::cli

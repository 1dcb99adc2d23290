// sonalog import: reads an exported text or HTML list, an m3u playlist or another text list into a
// list file, as the main window's Import does, with the import options of the settings.

#include <cstdio>
#include <string>

#include "cli/CliSettings.h"
#include "cli/Command.h"
#include "core/ListFile.h"
#include "import/ImportCommand.h"
#include "import/ImportUnit.h"
#include "platform/Files.h"

namespace sonalog::cli {

namespace {

struct ImportArgs {
  std::string file;
  std::string output;
  std::string type = "exported";
  std::string appendTo;
};

// What an import stopped outside the importer's own run prints, as the import's own stop does.
int stoppedOutsideImport() {
  std::printf("Import cancelled.\n");
  return 1;
}

int runImport(Context& context, const ImportArgs& args) {
  if (platform::sameFile(args.output, args.file)) {
    std::fputs("sonalog: import: OUT must not be the file to import (it is never changed)\n", stderr);
    return 2;
  }
  if (refuseConfigOutput(context, "import", args.output)) return 2;
  auto settings = commandSettings(context);
  if (!settings) return context.exitCode;
  ImportSettings options = importSettingsFrom(*settings);
  options.fileType = args.type == "m3u"     ? ImportFileType::M3u
                     : args.type == "other" ? ImportFileType::OtherText
                                            : ImportFileType::ExportedList;
  InternalList list;
  size_t before = 0;
  options.ImapCheck = !args.appendTo.empty();
  if (options.ImapCheck) {
    ListFileContents contents;
    if (!ReadListFileContents(context.ui, args.appendTo, contents)) return 1;
    list.items = std::move(contents.items);
    list.sortCode = contents.sortCode;
    before = list.items.size();
  }
  if (context.ui.processEvents()) return stoppedOutsideImport();
  context.ui.setShowProgress(true);
  ImportCommand command(list, options, context.ui);
  const bool ok = command.importFile(args.file);
  context.ui.setShowProgress(false);
  // A Ctrl+C after the import's last look at it still stops the command before OUT is written.
  if (ok && context.ui.processEvents()) return stoppedOutsideImport();
  std::printf("%s\n", context.ui.lastStatus().c_str());
  if (!ok) return 1;
  // A list file of no items is one no command reads back, and an unchanged --append list is
  // no import: nothing is written.
  if (list.items.size() == before) {
    std::fputs("sonalog: import: no items were imported; OUT was not written\n", stderr);
    return 1;
  }
  if (!writeListFile(args.output, list.items, list.sortCode)) {
    context.ui.warning(kTextCantWrite);
    return 1;
  }
  return 0;
}

void registerImportCommand(CLI::App& app, Context& context) {
  auto args = std::make_shared<ImportArgs>();
  CLI::App* cmd = app.add_subcommand(
      "import",
      "Import an exported text or HTML list, an m3u playlist or another text list into a list file.\n"
      "Import options come from the settings (--set daRadio=, dsRadio=, cmfcheck=, clabcheck=,\n"
      "stripcheck=, MircCheck=). Prints the final status text; exit status 0 when the import\n"
      "succeeded, 1 otherwise. Questions are asked on a terminal, else answered by --yes/--no or\n"
      "their safe default (which stops an import at the first 50 000-item question: use --yes).");
  cmd->add_option("FILE", args->file, "The file to import")->required();
  cmd->add_option("-o,--output", args->output, "The list file to write (.snlg)")->required()->check(notEmpty());
  cmd->add_option("--type", args->type, "exported (text/HTML exported by the program), other or m3u")
      ->check(CLI::IsMember({"exported", "other", "m3u"}));
  cmd->add_option("--append", args->appendTo, "Append the imported items to this list file's items");
  cmd->callback([&context, args] {
    CliUi::installInterruptHandler();  // before any work: a Ctrl+C at any moment stops the import
    context.exitCode = runImport(context, *args);
  });
}

}  // namespace

SONALOG_REGISTER_COMMAND(registerImportCommand);

}  // namespace sonalog::cli

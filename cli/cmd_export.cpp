// sonalog export LIST -o OUT [--type T] [--caption TEXT] [--batch each|short|long] [--root DIR]:
// the main window's Export and Batch commands on a list file. OUT stands for the file chosen in
// the save dialog; --caption for what is typed in the caption window (without it the window's
// preset text is taken, as if OK were pressed). Settings come from --config/--set and are not
// written back.

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "cli/CliSettings.h"
#include "cli/Command.h"
#include "core/ListFile.h"
#include "export/BatchExport.h"
#include "export/ExportCommand.h"
#include "platform/Files.h"

namespace sonalog::cli {

namespace {

struct ExportArgs {
  std::string list;
  std::string out;
  std::string type;
  std::optional<std::string> caption;
  std::string batch;
  std::string root;
};

const std::map<std::string, ExportType>& typeNames() {
  static const std::map<std::string, ExportType> names = {{"text", ExportType::Text},
                                                         {"plain-html", ExportType::PlainHtml},
                                                         {"html-table", ExportType::HtmlTable},
                                                         {"xls", ExportType::Xls},
                                                         {"m3u", ExportType::M3u}};
  return names;
}

const std::map<std::string, BatchStyle>& batchNames() {
  static const std::map<std::string, BatchStyle> names = {
      {"each", BatchStyle::EachFolder}, {"short", BatchStyle::ShortNames}, {"long", BatchStyle::LongNames}};
  return names;
}

// The command line's user interface with one difference: the save dialog "chooses" OUT.
class PresetDialogUi final : public UserInterface {
 public:
  PresetDialogUi(UserInterface& inner, std::string chosen) : inner_(inner), chosen_(std::move(chosen)) {}
  Answer show(const MessageBox& box) override { return inner_.show(box); }
  void setStatus(std::string_view text) override { inner_.setStatus(text); }
  void setBusy(bool busy) override { inner_.setBusy(busy); }
  bool processEvents() override { return inner_.processEvents(); }
  OpenResult openDocument(const std::string& path, bool edit) override {
    return inner_.openDocument(path, edit);
  }
  std::optional<FileDialogResult> openFile(const FileDialog&) override { return std::nullopt; }
  std::optional<FileDialogResult> saveFile(const FileDialog& dialog) override {
    if (chosen_.empty()) return std::nullopt;
    // Naming the file with -o is the decision to replace it.
    return FileDialogResult{chosen_, dialog.filterIndex, true};
  }

 private:
  UserInterface& inner_;
  std::string chosen_;
};

int runExportCommand(Context& context, const ExportArgs& args) {
  std::optional<BatchStyle> batch;
  if (!args.batch.empty()) batch = batchNames().at(args.batch);
  if ((!batch || *batch == BatchStyle::EachFolder) && args.out.empty()) {
    std::fputs("sonalog: export: -o OUT is required (the file name, for --batch each)\n", stderr);
    return 2;
  }
  if (!batch && platform::sameFile(args.out, args.list)) {
    std::fputs("sonalog: export: OUT must not be the list file (it is never changed)\n", stderr);
    return 2;
  }
  if (!batch && refuseConfigOutput(context, "export", args.out)) return 2;

  std::optional<Settings> settings = commandSettings(context);
  if (!settings) return context.exitCode;
  if (!args.type.empty()) settings->ooptcombo = static_cast<uint8_t>(typeNames().at(args.type));

  ListFileContents contents;
  if (!ReadListFileContents(context.ui, args.list, contents)) return 1;
  if (context.ui.processEvents()) {  // Ctrl+C while the list was read
    context.ui.warning(kExportCancelledText);
    return 1;
  }
  InternalList list;
  list.items = std::move(contents.items);
  list.sortCode = contents.sortCode;

  PresetDialogUi ui(context.ui, args.out);
  ExportMemory memory;
  const std::optional<std::string> typed = args.caption;
  CaptionAsker askCaption = [typed](CaptionRequest& request) {
    request.accept(typed ? *typed : request.presetText(), request.rememberChecked());
    return true;
  };
  ExportContext exportContext{list, *settings, ui, memory, askCaption, ""};

  if (!batch) {
    const ExportCommandResult r = runExport(exportContext);
    if (r != ExportCommandResult::Written) return 1;
    std::printf("Exported to %s\n", memory.viewTarget.c_str());
    return 0;
  }
  std::string root = args.root.empty() ? settings->mainFolder : args.root;
  if (root.empty()) root = std::filesystem::current_path().string();
  const BatchSummary summary = runBatchExport(exportContext, *batch, root);
  if (!summary.ran) return 1;
  std::printf("%zu files created.\n", summary.created);
  return summary.notWritten > 0 ? 1 : 0;
}

void registerExportCommand(CLI::App& app, Context& context) {
  auto args = std::make_shared<ExportArgs>();
  CLI::App* cmd = app.add_subcommand(
      "export",
      "Export a list file as text, plain HTML, an HTML table, an XLS sheet or an m3u playlist, or one file per "
      "folder with --batch. Settings (fields, styles, delimiter, captions...) come from --config/--set");
  cmd->add_option("LIST", args->list, "The list file (.snlg) to export")->required();
  cmd->add_option("-o,--output", args->out,
                  "The file to write (as if chosen in the save dialog); with --batch each, the file name written "
                  "into every folder; ignored by --batch short and long");
  cmd->add_option("--type", args->type, "Export file type (default: the ooptcombo setting)")
      ->check(CLI::IsMember({"text", "plain-html", "html-table", "xls", "m3u"}));
  cmd->add_option("--caption", args->caption,
                  "The text typed into the caption window when an HTML table asks for one (default: the window's "
                  "preset text)");
  cmd->add_option("--batch", args->batch,
                  "One file per folder: each (OUT's name in every folder), short or long (files named after the "
                  "folders, in --root)")
      ->check(CLI::IsMember({"each", "short", "long"}));
  cmd->add_option("--root", args->root,
                  "The folder --batch short and long write into (default: the main window's folder of the "
                  "settings)");
  cmd->footer(
      "Prints \"Exported to OUT\" or the batch's \"N files created.\" on stdout; warnings and questions go to "
      "stderr. A file of OUT's name is replaced only by a complete export. Exit status: 0 on success, 1 when "
      "the export failed, was cancelled or some batch file could not be written, 2 on bad arguments.");
  cmd->callback([&context, args] {
    CliUi::installInterruptHandler();  // before any work: a Ctrl+C at any moment stops the export
    context.exitCode = runExportCommand(context, *args);
  });
}

}  // namespace

SONALOG_REGISTER_COMMAND(registerExportCommand);

}  // namespace sonalog::cli

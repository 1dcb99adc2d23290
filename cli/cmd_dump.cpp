// sonalog dump LIST: the items of a list file, machine-readable, one tab-separated line per item.

#include <cstdio>
#include <memory>
#include <string>

#include "cli/Command.h"
#include "cli/TsvField.h"
#include "core/ListFile.h"

namespace sonalog::cli {

namespace {

constexpr char kDumpHeader[] =
    "fileName\tfolder\tvolumeLabel\tbitrateCode\tsizeKB\tframes\tstereoMode\tfrequencyCode\tfileDate\t"
    "dateAdded\taverageKbps\n";

void appendField(std::string& out, long long value) {
  out.push_back('\t');
  out += std::to_string(value);
}

int runDump(Context& context, const std::string& path) {
  ListFileContents contents;
  if (!ReadListFileContents(context.ui, path, contents)) return 1;

  std::string out = "#sortCode=" + std::to_string(contents.sortCode) + "\n" + kDumpHeader;
  auto flush = [&out] {
    const bool ok = std::fwrite(out.data(), 1, out.size(), stdout) == out.size();
    out.clear();
    return ok;
  };
  for (const ListItem& it : contents.items) {
    appendTsvField(out, it.fileName);
    out.push_back('\t');
    appendTsvField(out, it.folder);
    out.push_back('\t');
    appendTsvField(out, it.volumeLabel);
    appendField(out, it.bitrateCode);
    appendField(out, it.sizeKB);
    appendField(out, it.frames);
    appendField(out, it.stereoMode);
    appendField(out, it.frequencyCode);
    appendField(out, it.fileDate);
    appendField(out, it.dateAdded);
    appendField(out, it.averageKbps);
    out.push_back('\n');
    if (out.size() >= (1 << 16) && !flush()) break;
  }
  if (!flush() || std::fflush(stdout) != 0) {
    std::fprintf(stderr, "sonalog: dump: cannot write the output\n");
    return 1;
  }
  return 0;
}

void registerDumpCommand(CLI::App& app, Context& context) {
  auto path = std::make_shared<std::string>();
  CLI::App* cmd = app.add_subcommand(
      "dump",
      "Print the items of a list file (.snlg, any of its formats), machine-readable.\n"
      "First line \"#sortCode=N\" (the list's sort code byte), then a header line naming the fields, then "
      "one line per item in file order: fileName, folder, volumeLabel, bitrateCode, sizeKB, frames, "
      "stereoMode, frequencyCode, fileDate, dateAdded, averageKbps, separated by tabs. In the texts a "
      "tab, a newline and a backslash are written as \\t, \\n and \\\\; numbers are decimal, dates are "
      "day numbers (days since 1899-12-30).\n"
      "A LIST without extension is also tried with \".snlg\". A file in the oldest layout asks before "
      "it is read that way (--yes/--no answer when not on a terminal; the default is No).\n"
      "Exit status: 0 printed, 1 the file could not be read (the reason is printed on stderr).");
  cmd->add_option("LIST", *path, "The list file")->required();
  cmd->callback([&context, path] { context.exitCode = runDump(context, *path); });
}

}  // namespace

SONALOG_REGISTER_COMMAND(registerDumpCommand);

}  // namespace sonalog::cli

// sonalog info [--slow] FILE...: what the catalogue would store for each mp3 file, one
// tab-separated line per file.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <fmt/format.h>

#include "cli/Command.h"
#include "cli/TsvField.h"
#include "core/AnalysisQueue.h"
#include "core/Mp3Analysis.h"

namespace sonalog::cli {

namespace {

struct InfoOptions {
  bool slow = false;
  std::vector<std::string> files;
};

constexpr const char* kInfoHeader =
    "path\tstatus\tframes\tbitrateCode\tfrequencyCode\tstereoMode\tfileSize\taudioBytes\taverageKbps\terror\n";

int runInfo(const InfoOptions& options) {
  const AnalysisMode mode = options.slow ? AnalysisMode::Slow : AnalysisMode::Fast;
  // Files are analysed on every core, and read from the disk ahead, once that pays; the lines
  // still come in the order of the arguments.
  AnalysisQueue queue(mode, options.files.size() > 1 ? 0 : 1);
  std::fputs(kInfoHeader, stdout);
  int exitCode = 0;
  Mp3AnalysisResult r;
  size_t queued = 0;
  for (const std::string& path : options.files) {
    while (queued < options.files.size() && queue.pending() < queue.lookahead()) queue.push(options.files[queued++]);
    const bool ok = queue.take(r);
    if (!ok) exitCode = 1;
    std::string line;
    appendTsvField(line, path);
    line += fmt::format("\t{}\t{}\t{}\t{}\t{}\t{}\t{}\t{}\t{}\n", ok ? "ok" : "failed", r.frames, r.bitrateCode,
                    r.frequencyCode, r.stereoMode, r.fileSize, r.audioBytes,
                    averageKbpsOf(r.audioBytes, r.frames, r.frequencyCode), r.errorText);
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
  return exitCode;
}

void registerInfoCommand(CLI::App& app, Context& context) {
  auto options = std::make_shared<InfoOptions>();
  CLI::App* info = app.add_subcommand("info", "Analyse mp3 files and print what the catalogue stores for each");
  info->add_flag("--slow", options->slow,
                 "Slow processing: count every frame of the file (default: fast processing, which stops after "
                 "200 frames and takes the count from a Xing/Info/VBRI header or estimates it)");
  info->add_option("FILE", options->files, "mp3 files to analyse")->required();
  info->footer(
      "Prints a header line, then one tab-separated line per file:\n"
      "  path status frames bitrateCode frequencyCode stereoMode fileSize audioBytes averageKbps error\n"
      "status is ok or failed; bitrateCode 1-14 is the MPEG bitrate index, 16 variable bitrate, 0 unknown;\n"
      "frequencyCode 0 = 44.1 kHz, 1 = 48 kHz, 2 = 32 kHz, 255 mixed or unknown; stereoMode 0 stereo,\n"
      "1 joint stereo, 2 dual channel, 3 mono, 4 mixed or unknown; sizes in bytes; error is the reason\n"
      "a file was rejected (empty when ok). In the path a tab, a newline and a backslash are written\n"
      "as \\t, \\n and \\\\.\n"
      "Exit status: 0 every file analysed, 1 some file rejected, 2 usage error.");
  info->callback([options, &context] { context.exitCode = runInfo(*options); });
}

}  // namespace

SONALOG_REGISTER_COMMAND(registerInfoCommand);

}  // namespace sonalog::cli

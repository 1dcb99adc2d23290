// sonalog demo DIR: writes the built-in demo collection of mp3 files into a new or empty folder.

#include <cstdio>
#include <memory>
#include <string>

#include <fmt/format.h>

#include "cli/Command.h"
#include "core/DemoCollection.h"

namespace sonalog::cli {

namespace {

void registerDemoCommand(CLI::App& app, Context& context) {
  auto folder = std::make_shared<std::string>();
  CLI::App* demo = app.add_subcommand("demo", "Write a small demo collection of mp3 files into a new or empty folder");
  demo->add_option("DIR", *folder, "Folder to create (or an empty one)")->required()->check(notEmpty());
  demo->footer(
      "Writes the same silent but valid mp3 files on every run, in a few subfolders, named\n"
      "\"Artist - Title.mp3\": several bitrates, frequencies and channel modes, VBR files with and\n"
      "without a Xing header, ID3v2 and ID3v1 tags, near-duplicate titles, and two files in Damaged/\n"
      "that the analysis rejects. Refuses a folder that is not empty.\n"
      "Exit status: 0 written, 1 not written (the reason goes to standard error), 2 usage error.");
  demo->callback([folder, &context] {
    const DemoWriteResult result = writeDemoCollection(*folder);
    if (!result.ok) {
      std::fprintf(stderr, "sonalog demo: %s\n", result.message.c_str());
      context.exitCode = 1;
      return;
    }
    std::fputs(fmt::format("Wrote {} demo files to {}\n", result.files, *folder).c_str(), stdout);
    context.exitCode = 0;
  });
}

}  // namespace

SONALOG_REGISTER_COMMAND(registerDemoCommand);

}  // namespace sonalog::cli

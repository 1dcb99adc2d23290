#include "ui/main/GuiCommandLine.h"

namespace sonalog::ui {

namespace {

// Laid out as the sonalog command's help is, so the manual page is made from it the same way.
constexpr const char* kHelp =
    "sonalog-gui: catalogues mp3 collections in windows (scan, view, export, import, duplicates, compare)\n"
    "Usage: sonalog-gui [OPTIONS] [LIST]\n"
    "\n"
    "Positionals:\n"
    "  LIST TEXT                   A list file (.snlg) to open; without it, the list named under \"On startup:\" "
    "in the options is loaded\n"
    "\n"
    "Options:\n"
    "  -h,--help                   Print this help message and exit\n"
    "  --version                   Display program version information and exit\n"
    "\n"
    "Only one instance runs per working folder: a second start says so, asks the first to come to the front, "
    "and exits. Qt's own options (-style, -platform, ...) are accepted too.\n"
    "Exit status: 0 when the program ends normally or another instance was running, 1 when its settings "
    "could not be loaded.\n";

}  // namespace

GuiCommandLine readGuiCommandLine(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg == "--") break;
    if (arg == "-h" || arg == "--help") return {GuiCommandLine::Action::PrintAndExit, kHelp};
    if (arg == "--version")
      return {GuiCommandLine::Action::PrintAndExit, std::string("sonalog-gui ") + SONALOG_VERSION + "\n"};
  }
  return {};
}

}  // namespace sonalog::ui

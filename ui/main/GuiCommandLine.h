#pragma once
// What sonalog-gui does with its arguments before it opens a window: --help and --version are
// answered on standard output without a display; anything else is left to the program (Qt takes
// its own options, the one remaining argument is a list file to open).

#include <string>
#include <vector>

namespace sonalog::ui {

struct GuiCommandLine {
  enum class Action { Run, PrintAndExit };
  Action action = Action::Run;
  std::string text;  // what to print for PrintAndExit
};

// args: the arguments after the program's name. "--" ends the options, so "-- --help" opens a
// list file named "--help".
GuiCommandLine readGuiCommandLine(const std::vector<std::string>& args);

}  // namespace sonalog::ui

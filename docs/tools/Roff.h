#pragma once
// Manual pages in the man macros, written from a program's help texts and a hand-written page of
// the sections that help cannot hold (files, environment, examples).

#include <map>
#include <string>
#include <vector>

#include "docs/tools/HelpText.h"

namespace sonalog::docs {

// Text as roff shows it literally: backslashes, a leading '.' or '\'', non-ASCII characters
// (as \[uXXXX]) and the minus signs of options ("--set" stays typeable when copied).
std::string roffText(const std::string& text);

// The hand-written page: "@name [argument]" starts a block, the lines up to the next one are its
// text. In a block, "$ " starts a command example, "* TERM" a tagged paragraph whose text follows
// on the next lines, and an empty line a new paragraph.
using ExtraBlocks = std::map<std::string, std::vector<std::string>>;  // "examples scan" -> lines
struct ExtraParse {
  ExtraBlocks blocks;
  std::string error;
};
ExtraParse parseExtras(const std::string& text);

// Renders one block of the hand-written page.
std::string roffBlock(const std::vector<std::string>& lines);

struct ManPage {
  std::string program;  // "sonalog"
  std::string version;
  std::string date;     // YYYY-MM-DD
  HelpText main;
  std::vector<std::pair<std::string, HelpText>> commands;  // in the order the main help lists them
  ExtraBlocks extras;
};

// The whole page, or an empty page and a message when an example uses an option or a command that
// the help texts do not know (the examples must not drift from the program).
struct ManResult {
  std::string page;
  std::string error;
};
ManResult writeManPage(const ManPage& page);

// The synopsis of the program or one of its commands, in the README's form:
// "sonalog [--config FILE] [--yes|--no] scan [--append LIST] -o OUT FOLDER".
std::string synopsisLine(const std::string& program, const HelpText& main, const std::string& command,
                         const HelpText* commandHelp);

}  // namespace sonalog::docs

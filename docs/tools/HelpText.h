#pragma once
// The help texts that sonalog and sonalog-gui print with --help, read back into their parts, so that
// the manual pages and the shell completions are made from what the programs themselves say.
//
// The layout read is that of CLI11's formatter: a description, "Usage: ...", then sections whose
// title ends in ':' ("Positionals:", "Options:", "Subcommands:"), each entry being two spaces, the
// name column padded to kColumn characters and the description (or, when the name column is that
// wide or wider, the description on the next line, indented by kColumn), and last the footer.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sonalog::docs {

constexpr std::size_t kColumn = 30;  // CLI11's default column width

// One positional, option or subcommand line of a help text.
struct HelpEntry {
  std::vector<std::string> names;    // "-o", "--output"; a positional's or subcommand's one name
  std::string valueType;             // "FILE", "NAME=VALUE", "TEXT"; empty for a flag
  std::vector<std::string> choices;  // the accepted values when the help lists them ("{a,b}")
  bool required = false;
  bool repeatable = false;           // "..." after the type
  std::string notes;                 // "Excludes: --yes" and the like
  std::string description;
};

struct HelpText {
  std::string description;             // the lines before "Usage:", joined by '\n'
  std::string usage;                   // without "Usage: "
  std::vector<HelpEntry> positionals;
  std::vector<HelpEntry> options;      // every option group
  std::vector<HelpEntry> subcommands;
  std::string footer;                  // the lines after the sections, joined by '\n'
};

// Reads a help text; an unexpected line gives a message naming it.
struct HelpParse {
  std::optional<HelpText> help;
  std::string error;
};
HelpParse parseHelp(std::string_view text);

// The footer split at "Exit status:": what comes before it, and that sentence on (empty when the
// footer does not state one).
struct FooterParts {
  std::string notes;
  std::string exitStatus;
};
FooterParts splitFooter(const std::string& footer);

// The entry whose names hold name ("--output" finds "-o,--output"), or nullptr.
const HelpEntry* findEntry(const std::vector<HelpEntry>& entries, std::string_view name);

}  // namespace sonalog::docs

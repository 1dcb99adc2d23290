#pragma once
// The tables of sonalog's shell completions, made from its help texts: commands, options, the
// options that take a value, their accepted values, positionals and the kind of file each file
// argument wants.

#include <string>
#include <utility>
#include <vector>

#include "docs/tools/HelpText.h"

namespace sonalog::docs {

struct CompletionInput {
  HelpText main;
  std::vector<std::pair<std::string, HelpText>> commands;
  std::vector<std::string> settings;  // the names `sonalog config --names` prints
};

// What a file argument wants: "list" (.snlg lists and folders), "mp3", "dir", "file" (any).
// command is empty for the global options; name is an option ("--append") or a positional ("LIST").
std::string fileKind(const std::string& command, const std::string& name);

// Bash: global arrays and associative arrays (declare -g, since bash-completion loads the file
// inside a function) that the completion function reads.
std::string bashTables(const CompletionInput& input);

// Zsh: one _arguments entry array per command.
std::string zshTables(const CompletionInput& input);

// A template with the line "@TABLES@" replaced by tables.
std::string fillTemplate(const std::string& templ, const std::string& tables);

}  // namespace sonalog::docs

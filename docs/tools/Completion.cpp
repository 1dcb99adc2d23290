#include "docs/tools/Completion.h"

#include <cctype>

namespace sonalog::docs {

namespace {

std::string shellQuote(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

std::string joined(const std::vector<std::string>& words) {
  std::string out;
  for (const std::string& w : words) out += (out.empty() ? "" : " ") + w;
  return out;
}

std::vector<std::string> allNames(const std::vector<HelpEntry>& entries) {
  std::vector<std::string> names;
  for (const HelpEntry& e : entries) names.insert(names.end(), e.names.begin(), e.names.end());
  return names;
}

// "scan -o" for a command's option, "--config" for a global one.
std::string key(const std::string& command, const std::string& name) {
  return command.empty() ? name : command + " " + name;
}

// The first sentence of a description, short enough for a completion menu.
std::string shortDescription(const std::string& description) {
  std::string s = description.substr(0, description.find('\n'));
  if (const auto stop = s.find(". "); stop != std::string::npos) s.erase(stop);
  if (const auto semi = s.find("; "); semi != std::string::npos) s.erase(semi);
  if (!s.empty() && s.back() == '.') s.pop_back();
  return s;
}

// A closing bracket would end the description of a zsh _arguments entry.
std::string zshDescription(const std::string& description) {
  std::string out;
  for (char c : shortDescription(description)) {
    if (c == ']' || c == '\\') out += '\\';
    out += c;
  }
  return out;
}

// What an option's value is: "assignment" (NAME=VALUE of a setting), "setting" (a setting's
// name), or the kind of file it names.
std::string valueKind(const std::string& command, const std::string& name, const HelpEntry& e) {
  if (e.valueType == "NAME=VALUE") return "assignment";
  if (e.valueType == "NAME") return "setting";
  return fileKind(command, name);
}

std::string zshAction(const std::string& command, const std::string& name, const HelpEntry& e) {
  if (!e.choices.empty()) return "(" + joined(e.choices) + ")";
  const std::string kind = valueKind(command, name, e);
  if (kind == "assignment") return "_sonalog_settings";
  if (kind == "setting") return "_sonalog_setting";
  if (kind == "list") return "_files -g \"*.(#i)snlg(-.)\"";
  if (kind == "mp3") return "_files -g \"*.(#i)mp3(-.)\"";
  if (kind == "dir") return "_files -/";
  return "_files";
}

std::string zshSpecs(const std::string& command, const HelpText& help) {
  std::string out;
  for (const HelpEntry& e : help.options) {
    // A command's --help is the global one's twin; zsh refuses an option given twice.
    if (!command.empty() && findEntry({e}, "--help")) continue;
    std::string exclusive;
    if (e.names.size() > 1) exclusive = "(" + joined(e.names) + ")";
    for (const std::string& n : e.names) {
      std::string entry = (e.repeatable ? "*" : exclusive) + n + "[" + zshDescription(e.description) + "]";
      if (!e.valueType.empty()) entry += ":" + e.valueType + ":" + zshAction(command, n, e);
      out += "  " + shellQuote(entry) + "\n";
    }
  }
  int position = 1;
  for (const HelpEntry& p : help.positionals) {
    const std::string where = p.repeatable ? "*" : std::to_string(position++);
    const std::string optional = p.required ? "" : ":";
    out += "  " + shellQuote(where + optional + ":" + p.names.front() + ":" + zshAction(command, p.names.front(), p)) + "\n";
  }
  return out;
}

std::string zshName(const std::string& command) {
  std::string out;
  for (char c : command) out += (c == '-' ? '_' : c);
  return out;
}

}  // namespace

std::string fileKind(const std::string& command, const std::string& argument) {
  std::string name = argument;  // positionals in upper case, whatever the help shows
  if (name.empty() || name[0] != '-')
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (name == "--append" || name == "LIST") return "list";
  // Outputs that are list files; export writes its own types, compare a log or a list.
  if ((name == "-o" || name == "--output") && (command == "scan" || command == "import" || command == "dupes"))
    return "list";
  if (name == "FOLDER" || name == "DIR" || name == "--root") return "dir";
  if (command == "info" && name == "FILE") return "mp3";
  return "file";
}

std::string bashTables(const CompletionInput& input) {
  std::string out;
  std::vector<std::string> commands;
  for (const auto& [name, help] : input.commands) commands.push_back(name);
  out += "_sonalog_commands=(" + joined(commands) + ")\n";
  out += "_sonalog_settings=(" + joined(input.settings) + ")\n";

  // The global options under "-": bash refuses an empty key.
  std::string options = "declare -gA _sonalog_options=(\n  [-]=" + shellQuote(joined(allNames(input.main.options))) + "\n";
  std::string positionals = "declare -gA _sonalog_positionals=(\n";
  std::string values = "declare -gA _sonalog_takes_value=(\n";
  std::string choices = "declare -gA _sonalog_choices=(\n";
  std::string kinds = "declare -gA _sonalog_kinds=(\n";
  const auto addEntries = [&](const std::string& command, const HelpText& help) {
    for (const HelpEntry& e : help.options) {
      if (e.valueType.empty()) continue;
      for (const std::string& n : e.names) {
        values += "  [" + shellQuote(key(command, n)) + "]=1\n";
        if (!e.choices.empty()) choices += "  [" + shellQuote(key(command, n)) + "]=" + shellQuote(joined(e.choices)) + "\n";
        kinds += "  [" + shellQuote(key(command, n)) + "]=" + valueKind(command, n, e) + "\n";
      }
    }
    for (const HelpEntry& p : help.positionals)
      kinds += "  [" + shellQuote(key(command, p.names.front())) + "]=" + fileKind(command, p.names.front()) + "\n";
  };
  addEntries("", input.main);
  for (const auto& [name, help] : input.commands) {
    options += "  [" + shellQuote(name) + "]=" + shellQuote(joined(allNames(help.options))) + "\n";
    std::vector<std::string> names;
    for (const HelpEntry& p : help.positionals) names.push_back(p.names.front() + (p.repeatable ? "..." : ""));
    positionals += "  [" + shellQuote(name) + "]=" + shellQuote(joined(names)) + "\n";
    addEntries(name, help);
  }
  return out + options + ")\n" + positionals + ")\n" + values + ")\n" + choices + ")\n" + kinds + ")\n";
}

std::string zshTables(const CompletionInput& input) {
  std::string out = "_sonalog_global_specs=(\n" + zshSpecs("", input.main) + ")\n";
  out += "_sonalog_command_list=(\n";
  for (const auto& [name, help] : input.commands)
    out += "  " + shellQuote(name + ":" + shortDescription(help.description)) + "\n";
  out += ")\n";
  for (const auto& [name, help] : input.commands)
    out += "_sonalog_specs_" + zshName(name) + "=(\n" + zshSpecs(name, help) + ")\n";
  out += "_sonalog_setting_names=(" + joined(input.settings) + ")\n";
  return out;
}

std::string fillTemplate(const std::string& templ, const std::string& tables) {
  const std::string mark = "@TABLES@\n";
  const auto at = templ.find(mark);
  if (at == std::string::npos) return templ;
  return templ.substr(0, at) + tables + templ.substr(at + mark.size());
}

}  // namespace sonalog::docs

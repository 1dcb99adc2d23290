#include "docs/tools/HelpText.h"

#include <cctype>
#include <sstream>

namespace sonalog::docs {

namespace {

enum class Section { Description, Positionals, Options, Subcommands, Footer };

std::string trim(std::string_view s) {
  const auto b = s.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  const auto e = s.find_last_not_of(' ');
  return std::string(s.substr(b, e - b + 1));
}

std::vector<std::string> split(std::string_view s, char by) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    const auto at = s.find(by, start);
    parts.emplace_back(s.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
    if (at == std::string_view::npos) return parts;
    start = at + 1;
  }
}

bool isUpperCase(const std::string& word) {
  for (char c : word)
    if (std::islower(static_cast<unsigned char>(c))) return false;
  return true;
}

bool isOptionName(const std::string& word) { return word.size() > 1 && word[0] == '-'; }

// The name column: "-o,--output TEXT:{a,b} REQUIRED", "FILE TEXT ... REQUIRED", "--yes Excludes: --no".
HelpEntry readNameColumn(const std::string& column, Section section) {
  HelpEntry entry;
  std::istringstream words(column);
  std::string first;
  words >> first;
  entry.names = section == Section::Options ? split(first, ',') : std::vector<std::string>{first};
  std::string word;
  bool inNotes = false;
  while (words >> word) {
    if (inNotes) {
      entry.notes += " " + word;
    } else if (word == "Excludes:" || word == "Needs:" || word.rfind("(Env:", 0) == 0) {
      inNotes = true;
      entry.notes = word;
    } else if (word == "REQUIRED") {
      entry.required = true;
    } else if (word == "...") {
      entry.repeatable = true;
    } else if (entry.valueType.empty() && section != Section::Subcommands) {
      // TYPE, TYPE=default or TYPE:{a,b,c}
      std::string type = word;
      if (const auto end = type.find("}="); end != std::string::npos) type.erase(end + 1);  // a default
      if (const auto brace = type.find(":{"); brace != std::string::npos && type.back() == '}') {
        entry.choices = split(std::string_view(type).substr(brace + 2, type.size() - brace - 3), ',');
        type.erase(brace);
      }
      // "TEXT=default" loses its default; a type such as "NAME=VALUE" is upper case on both sides.
      if (const auto eq = type.find('='); eq != std::string::npos && !isUpperCase(type)) type.erase(eq);
      entry.valueType = type;
    }
  }
  return entry;
}

}  // namespace

HelpParse parseHelp(std::string_view text) {
  HelpText help;
  Section section = Section::Description;
  bool sawUsage = false;
  HelpEntry* current = nullptr;
  bool blankBefore = false;
  std::vector<std::string> lines = split(text, '\n');
  for (std::size_t n = 0; n < lines.size(); ++n) {
    const std::string& line = lines[n];
    const auto where = [&] { return "line " + std::to_string(n + 1) + " \"" + line + "\""; };
    if (line.rfind("Usage: ", 0) == 0 && !sawUsage) {
      help.usage = line.substr(7);
      sawUsage = true;
      section = Section::Footer;
      current = nullptr;
      continue;
    }
    if (!sawUsage) {
      if (!line.empty()) help.description += (help.description.empty() ? "" : "\n") + line;
      continue;
    }
    if (line.empty()) {
      current = nullptr;
      section = Section::Footer;
      blankBefore = true;
      continue;
    }
    if (line[0] != ' ' && line.back() == ':' && line.find(' ') == std::string::npos && help.footer.empty()) {
      section = line == "Positionals:"   ? Section::Positionals
                : line == "Subcommands:" ? Section::Subcommands
                                         : Section::Options;
      continue;
    }
    if (section == Section::Footer) {
      // Paragraphs keep their blank line between them.
      if (!help.footer.empty()) help.footer += blankBefore ? "\n\n" : "\n";
      help.footer += line;
      blankBefore = false;
      continue;
    }
    // An entry: a continuation of the description is indented by the whole column.
    if (line.size() > kColumn && line.find_first_not_of(' ') >= kColumn) {
      if (!current) return {std::nullopt, "a description without its entry at " + where()};
      current->description += (current->description.empty() ? "" : "\n") + line.substr(kColumn);
      continue;
    }
    if (line.size() < 3 || line[0] != ' ' || line[1] != ' ' || line[2] == ' ')
      return {std::nullopt, "an entry of an unknown form at " + where()};
    // Names shorter than the column are padded to it, so the column ends in a space; longer ones
    // stand alone on their line.
    const bool alone = line.size() <= kColumn || line[kColumn - 1] != ' ';
    const std::string column = trim(alone ? std::string_view(line) : std::string_view(line).substr(0, kColumn));
    HelpEntry entry = readNameColumn(column, section);
    if (!alone) entry.description = line.substr(kColumn);
    if (section == Section::Options && !isOptionName(entry.names.front()))
      return {std::nullopt, "an option that does not start with '-' at " + where()};
    auto& list = section == Section::Positionals ? help.positionals
                 : section == Section::Options   ? help.options
                                                 : help.subcommands;
    list.push_back(std::move(entry));
    current = &list.back();
  }
  if (!sawUsage) return {std::nullopt, "no \"Usage:\" line"};
  return {std::move(help), {}};
}

FooterParts splitFooter(const std::string& footer) {
  const auto at = footer.find("Exit status:");
  if (at == std::string::npos) return {trim(footer), {}};
  std::string notes = footer.substr(0, at);
  while (!notes.empty() && (notes.back() == ' ' || notes.back() == '\n')) notes.pop_back();
  return {notes, footer.substr(at)};
}

const HelpEntry* findEntry(const std::vector<HelpEntry>& entries, std::string_view name) {
  for (const HelpEntry& e : entries)
    for (const std::string& n : e.names)
      if (n == name) return &e;
  return nullptr;
}

}  // namespace sonalog::docs

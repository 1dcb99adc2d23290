#include "docs/tools/Roff.h"

#include <cctype>
#include <cstdio>
#include <set>
#include <sstream>

namespace sonalog::docs {

namespace {

bool isLowerWordChar(char c) { return std::islower(static_cast<unsigned char>(c)) || std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '_'; }

// Decodes one UTF-8 sequence at s[i]; a malformed byte stands for itself (as Windows-1252 would
// show it, it is at least visible) and advances by one.
unsigned decodeUtf8(const std::string& s, std::size_t& i) {
  const auto b = static_cast<unsigned char>(s[i]);
  const int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
  if (extra == 0 || i + extra >= s.size()) {
    ++i;
    return b;
  }
  unsigned cp = b & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    const auto c = static_cast<unsigned char>(s[i + k]);
    if ((c & 0xC0) != 0x80) {
      ++i;
      return b;
    }
    cp = (cp << 6) | (c & 0x3F);
  }
  i += extra + 1;
  return cp;
}

std::string escapeChars(const std::string& text, bool optionsAsMinus) {
  std::string out;
  bool wordStart = true;
  bool optionWord = false;
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (c == ' ' || c == '\n' || c == '(' || c == '[' || c == '"' || c == '`' || c == '|' || c == '{' || c == ',') {
      out += c;
      wordStart = true;
      optionWord = false;
      ++i;
      continue;
    }
    if (wordStart) optionWord = optionsAsMinus && c == '-';
    wordStart = false;
    if (static_cast<unsigned char>(c) >= 0x80) {
      char buf[16];
      std::snprintf(buf, sizeof buf, "\\[u%04X]", decodeUtf8(text, i));
      out += buf;
      continue;
    }
    if (c == '\\') out += "\\e";
    else if (c == '-' && optionWord) out += "\\-";
    else out += c;
    ++i;
  }
  return out;
}

// Roff lines must not start with a control character.
std::string protectLineStarts(const std::string& text) {
  std::string out;
  bool lineStart = true;
  for (char c : text) {
    if (lineStart && (c == '.' || c == '\'')) out += "\\&";
    out += c;
    lineStart = c == '\n';
  }
  return out;
}

// A synopsis token in the man page's fonts: program, commands and options bold, placeholders
// (upper-case words) italic, brackets and bars roman.
std::string synopsisFonts(const std::string& plain) {
  std::string out;
  for (std::size_t i = 0; i < plain.size();) {
    const char c = plain[i];
    std::size_t j = i;
    if (c == '-' || std::islower(static_cast<unsigned char>(c))) {
      while (j < plain.size() && isLowerWordChar(plain[j])) ++j;
      out += "\\fB" + escapeChars(plain.substr(i, j - i), true) + "\\fR";
    } else if (std::isupper(static_cast<unsigned char>(c))) {
      while (j < plain.size() && (std::isalnum(static_cast<unsigned char>(plain[j])) || plain[j] == '_' || plain[j] == '=' || plain[j] == '.')) ++j;
      // "FILE..." keeps its dots roman.
      std::size_t end = j;
      while (end > i && plain[end - 1] == '.') --end;
      out += "\\fI" + escapeChars(plain.substr(i, end - i), false) + "\\fR" + plain.substr(end, j - end);
    } else {
      j = i + 1;
      out += escapeChars(std::string(1, c), false);
    }
    i = j;
  }
  return out;
}

// The placeholder of an option's value: its type, unless that is only "TEXT", then its long name
// ("--log" takes a LOG).
std::string placeholder(const HelpEntry& e) {
  if (e.valueType != "TEXT") return e.valueType;
  std::string name = e.names.back();
  name.erase(0, name.find_first_not_of('-'));
  std::string upper;
  for (char c : name) upper += c == '-' ? '_' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

std::string optionSynopsis(const HelpEntry& e, const HelpEntry* partner) {
  std::string name = e.names.front();  // the short name where there is one, as typed most
  if (partner) name += "|" + partner->names.front();
  std::string s = name;
  if (!e.valueType.empty()) s += " " + placeholder(e);
  if (e.repeatable) s += " ...";
  return e.required ? s : "[" + s + "]";
}

bool isHelpOrVersion(const HelpEntry& e) {
  return findEntry({e}, "--help") != nullptr || findEntry({e}, "--version") != nullptr;
}

std::string optionsSynopsis(const std::vector<HelpEntry>& options) {
  std::string out;
  std::set<const HelpEntry*> done;
  for (const HelpEntry& e : options) {
    if (isHelpOrVersion(e) || done.count(&e)) continue;
    const HelpEntry* partner = nullptr;
    // Two flags that exclude each other read as one choice: "[--yes|--no]".
    if (e.valueType.empty() && e.notes.rfind("Excludes: ", 0) == 0) {
      const HelpEntry* other = findEntry(options, e.notes.substr(10));
      if (other && other->valueType.empty() && !done.count(other)) partner = other;
    }
    if (partner) done.insert(partner);
    out += " " + optionSynopsis(e, partner);
  }
  return out;
}

// Placeholders read in upper case, whatever case the program gave its positional.
std::string upperCase(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string positionalsSynopsis(const std::vector<HelpEntry>& positionals) {
  std::string out;
  for (const HelpEntry& p : positionals) {
    std::string s = upperCase(p.names.front()) + (p.repeatable ? "..." : "");
    out += " " + (p.required ? s : "[" + s + "]");
  }
  return out;
}

std::string entryTag(const HelpEntry& e, bool positional) {
  if (positional) return "\\fI" + escapeChars(upperCase(e.names.front()), false) + "\\fR" + (e.repeatable ? "..." : "");
  std::string tag;
  for (const std::string& n : e.names) tag += (tag.empty() ? "" : ", ") + ("\\fB" + escapeChars(n, true) + "\\fR");
  if (!e.valueType.empty()) tag += " \\fI" + escapeChars(placeholder(e), false) + "\\fR";
  return tag;
}

std::string entryText(const HelpEntry& e) {
  std::string text = e.description;
  if (!e.choices.empty()) {
    text += " (one of:";
    for (std::size_t i = 0; i < e.choices.size(); ++i) text += (i ? ", " : " ") + e.choices[i];
    text += ")";
  }
  if (e.notes.rfind("Excludes: ", 0) == 0)
    text += std::string(text.empty() || text.back() == '.' ? "" : ".") + " Not together with " + e.notes.substr(10) + ".";
  return protectLineStarts(escapeChars(text, true));
}

std::string entries(const std::vector<HelpEntry>& list, bool positional) {
  std::string out;
  for (const HelpEntry& e : list) {
    if (!positional && findEntry({e}, "--help")) continue;  // every command has it
    out += ".TP\n" + entryTag(e, positional) + "\n" + entryText(e) + "\n";
  }
  return out;
}

// Help texts wrap their lines by hand: a line that ends a sentence (or introduces a list with ':')
// ends a paragraph, other lines run on; indented lines (tables) are kept as they are.
std::string paragraphs(const std::string& text) {
  std::string out;
  std::istringstream lines(text);
  std::string line;
  bool inParagraph = false;
  bool inTable = false;
  while (std::getline(lines, line)) {
    if (line.empty()) {
      inParagraph = false;
      continue;
    }
    const bool indented = line[0] == ' ';
    if (indented != inTable) {
      out += indented ? ".PP\n.nf\n" : ".fi\n";
      inTable = indented;
      inParagraph = false;
    }
    if (!indented && !inParagraph) out += ".PP\n";
    out += protectLineStarts(escapeChars(line, true)) + "\n";
    const char last = line.back();
    inParagraph = !indented && last != '.' && last != ':';
  }
  if (inTable) out += ".fi\n";
  return out;
}

std::vector<std::string> words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> out;
  std::string w;
  while (in >> w) out.push_back(w);
  return out;
}

// Every option an example uses must be one the program lists for that command (or globally).
std::string checkExample(const std::string& line, const ManPage& page) {
  std::vector<std::string> w = words(line.substr(2));
  if (w.empty() || w.front() != page.program) return {};
  const HelpText* command = nullptr;
  std::string commandName;
  for (std::size_t i = 1; i < w.size(); ++i) {
    const std::string name = w[i].substr(0, w[i].find('='));
    if (name.size() > 1 && name[0] == '-') {
      if (findEntry(page.main.options, name) || (command && findEntry(command->options, name))) continue;
      return "the example \"" + line.substr(2) + "\" uses " + name + ", which `" + page.program +
             (commandName.empty() ? "" : " " + commandName) + " --help` does not list";
    }
    if (!command && !page.commands.empty()) {
      const bool afterValue = i > 1 && w[i - 1][0] == '-' && w[i - 1].find('=') == std::string::npos &&
                              findEntry(page.main.options, w[i - 1]) &&
                              !findEntry(page.main.options, w[i - 1])->valueType.empty();
      if (afterValue) continue;
      for (const auto& [n, help] : page.commands)
        if (n == w[i]) command = &help, commandName = n;
      if (!command) return "the example \"" + line.substr(2) + "\" names no command of " + page.program;
    }
  }
  return {};
}

}  // namespace

std::string roffText(const std::string& text) { return protectLineStarts(escapeChars(text, true)); }

ExtraParse parseExtras(const std::string& text) {
  ExtraParse result;
  std::istringstream lines(text);
  std::string line;
  std::vector<std::string>* block = nullptr;
  int n = 0;
  while (std::getline(lines, line)) {
    ++n;
    if (line.rfind("@", 0) == 0) {
      block = &result.blocks[line.substr(1)];
      continue;
    }
    if (!block) {
      if (line.empty() || line[0] == '#') continue;
      result.error = "line " + std::to_string(n) + " stands before the first @block";
      return result;
    }
    block->push_back(line);
  }
  for (auto& [name, lines] : result.blocks)
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return result;
}

std::string roffBlock(const std::vector<std::string>& lines) {
  std::string out;
  bool inExample = false;
  for (const std::string& line : lines) {
    const bool example = line.rfind("$ ", 0) == 0;
    if (example && !inExample) out += ".PP\n.RS 4\n.nf\n";
    if (!example && inExample) out += ".fi\n.RE\n";
    inExample = example;
    if (example) {
      out += "\\fB" + roffText(line.substr(2)) + "\\fR\n";
    } else if (line.rfind("* ", 0) == 0) {
      out += ".TP\n\\fB" + roffText(line.substr(2)) + "\\fR\n";
    } else if (line.empty()) {
      out += ".PP\n";
    } else {
      out += roffText(line.rfind("  ", 0) == 0 ? line.substr(line.find_first_not_of(' ')) : line) + "\n";
    }
  }
  if (inExample) out += ".fi\n.RE\n";
  return out;
}

std::string synopsisLine(const std::string& program, const HelpText& main, const std::string& command,
                         const HelpText* commandHelp) {
  std::string s = program + optionsSynopsis(main.options);
  if (commandHelp) s += " " + command + optionsSynopsis(commandHelp->options) + positionalsSynopsis(commandHelp->positionals);
  else s += positionalsSynopsis(main.positionals) + (main.subcommands.empty() ? "" : " COMMAND");
  return s;
}

ManResult writeManPage(const ManPage& page) {
  for (const auto& [name, lines] : page.extras) {
    if (name.rfind("examples ", 0) == 0) {
      const std::string command = name.substr(9);
      bool known = false;
      for (const auto& c : page.commands) known = known || c.first == command;
      if (!known) return {{}, "examples for \"" + command + "\", which " + page.program + " --help does not list"};
    }
    for (const std::string& line : lines)
      if (line.rfind("$ ", 0) == 0)
        if (std::string error = checkExample(line, page); !error.empty()) return {{}, error};
  }
  const auto extra = [&](const std::string& name) {
    const auto it = page.extras.find(name);
    return it == page.extras.end() ? std::string() : roffBlock(it->second);
  };

  std::string upper;
  for (char c : page.program) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  std::string out;
  out += ".\\\" Made from the help texts of " + page.program + "; do not edit.\n";
  out += ".TH " + roffText(upper) + " 1 \"" + page.date + "\" \"" + page.program + " " + page.version +
         "\" \"User Commands\"\n";
  std::string summary = page.main.description;
  if (summary.rfind(page.program + ": ", 0) == 0) summary.erase(0, page.program.size() + 2);
  out += ".SH NAME\n" + roffText(page.program) + " \\- " + roffText(summary) + "\n";

  out += ".SH SYNOPSIS\n";
  if (page.commands.empty()) {
    out += ".nh\n.ad l\n" + synopsisFonts(synopsisLine(page.program, page.main, "", nullptr)) + "\n";
  } else {
    out += ".nh\n.ad l\n";
    bool first = true;
    for (const auto& [name, help] : page.commands) {
      if (!first) out += ".br\n";
      first = false;
      out += synopsisFonts(synopsisLine(page.program, page.main, name, &help)) + "\n";
    }
  }
  out += ".ad\n.hy\n";

  out += ".SH DESCRIPTION\n" + extra("description");
  const FooterParts mainFooter = splitFooter(page.main.footer);
  out += paragraphs(mainFooter.notes);
  if (!page.main.positionals.empty()) out += ".SH ARGUMENTS\n" + entries(page.main.positionals, true);
  out += ".SH OPTIONS\n" + entries(page.main.options, false);
  out += ".TP\n\\fB\\-h\\fR, \\fB\\-\\-help\\fR\nPrints the help and exits";
  out += page.commands.empty() ? ".\n" : "; after a command, that command's help.\n";

  if (!page.commands.empty()) {
    out += ".SH COMMANDS\n";
    for (const auto& [name, help] : page.commands) {
      out += ".SS \"" + roffText(page.program + " " + name) + "\"\n";
      out += ".nh\n.ad l\n" + synopsisFonts(synopsisLine(page.program, page.main, name, &help)) + "\n.ad\n.hy\n";
      // Some commands say everything in their description, exit status included; others in
      // their footer. Either way the exit status comes last.
      FooterParts description = splitFooter(help.description);
      FooterParts footer = splitFooter(help.footer);
      if (footer.exitStatus.empty()) std::swap(footer.exitStatus, description.exitStatus);
      out += paragraphs(description.notes + "\n" + description.exitStatus);
      out += entries(help.positionals, true) + entries(help.options, false);
      out += paragraphs(footer.notes) + paragraphs(footer.exitStatus);
      if (page.extras.count("examples " + name)) out += ".PP\nExamples:\n" + extra("examples " + name);
    }
  }
  if (!mainFooter.exitStatus.empty() || page.extras.count("exit-status")) {
    // The section's title already says what the sentence began with.
    std::string status = mainFooter.exitStatus;
    if (status.rfind("Exit status: ", 0) == 0) status.erase(0, 13);
    out += ".SH EXIT STATUS\n" + paragraphs(status) + extra("exit-status");
  }
  if (page.extras.count("files")) out += ".SH FILES\n" + extra("files");
  if (page.extras.count("environment")) out += ".SH ENVIRONMENT\n" + extra("environment");
  if (page.extras.count("examples")) out += ".SH EXAMPLES\n" + extra("examples");
  if (page.extras.count("see-also")) out += ".SH SEE ALSO\n" + extra("see-also");
  return {out, {}};
}

}  // namespace sonalog::docs

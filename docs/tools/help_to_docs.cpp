// Writes a program's manual page or shell completion from its own --help texts at build time, so
// that neither can fall behind a change to the program's commands and options.
//
//   help_to_docs man  PROGRAM EXTRAS VERSION DATE OUT   the manual page (EXTRAS: the hand-written
//                                                       description, files, environment, examples)
//   help_to_docs bash PROGRAM TEMPLATE OUT              the bash completion
//   help_to_docs zsh  PROGRAM TEMPLATE OUT              the zsh completion
//
// PROGRAM runs with SONALOG_HOME as the caller set it (the build points it at a folder of its own).

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "docs/tools/Completion.h"
#include "docs/tools/HelpText.h"
#include "docs/tools/Roff.h"

using namespace sonalog::docs;

namespace {

[[noreturn]] void fail(const std::string& message) {
  std::fprintf(stderr, "help_to_docs: %s\n", message.c_str());
  std::exit(1);
}

// Runs program with args and returns what it wrote to standard output; fails unless it exits 0.
std::string run(const std::string& program, const std::vector<std::string>& args) {
  int fds[2];
  if (pipe(fds) != 0) fail(std::string("pipe: ") + std::strerror(errno));
  const pid_t pid = fork();
  if (pid < 0) fail(std::string("fork: ") + std::strerror(errno));
  std::string shown = program;
  for (const std::string& a : args) shown += " " + a;
  if (pid == 0) {
    dup2(fds[1], STDOUT_FILENO);
    close(fds[0]);
    close(fds[1]);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    std::fprintf(stderr, "help_to_docs: cannot run %s: %s\n", program.c_str(), std::strerror(errno));
    _exit(127);
  }
  close(fds[1]);
  std::string out;
  char buf[4096];
  ssize_t n;
  while ((n = read(fds[0], buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR))
    if (n > 0) out.append(buf, static_cast<std::size_t>(n));
  close(fds[0]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) fail("`" + shown + "` did not succeed");
  return out;
}

HelpText help(const std::string& program, const std::vector<std::string>& args) {
  std::vector<std::string> withHelp = args;
  withHelp.push_back("--help");
  HelpParse parsed = parseHelp(run(program, withHelp));
  std::string shown = std::filesystem::path(program).filename().string();
  for (const std::string& a : args) shown += " " + a;
  if (!parsed.help) fail("cannot read the help of `" + shown + "`: " + parsed.error);
  return *parsed.help;
}

std::vector<std::pair<std::string, HelpText>> commandHelps(const std::string& program, const HelpText& main) {
  std::vector<std::pair<std::string, HelpText>> commands;
  for (const HelpEntry& c : main.subcommands) commands.emplace_back(c.names.front(), help(program, {c.names.front()}));
  return commands;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) fail("cannot read " + path + ": " + std::strerror(errno));
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Written under a temporary name and renamed, so a failed run leaves no half page behind.
void writeFile(const std::string& path, const std::string& text) {
  const std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) fail("cannot write " + temporary + ": " + std::strerror(errno));
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) fail("cannot write " + path + ": " + std::strerror(errno));
}

std::vector<std::string> settingNames(const std::string& program, const std::vector<std::pair<std::string, HelpText>>& commands) {
  bool hasConfig = false;
  for (const auto& c : commands) hasConfig = hasConfig || c.first == "config";
  std::vector<std::string> names;
  if (!hasConfig) return names;
  std::istringstream lines(run(program, {"config", "--names"}));
  std::string line;
  while (std::getline(lines, line))
    if (!line.empty()) names.push_back(line.substr(0, line.find('\t')));
  return names;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> a(argv + 1, argv + argc);
  if (a.size() == 6 && a[0] == "man") {
    ManPage page;
    page.program = std::filesystem::path(a[1]).filename().string();
    page.version = a[3];
    page.date = a[4];
    page.main = help(a[1], {});
    page.commands = commandHelps(a[1], page.main);
    ExtraParse extras = parseExtras(readFile(a[2]));
    if (!extras.error.empty()) fail(a[2] + ": " + extras.error);
    page.extras = std::move(extras.blocks);
    ManResult result = writeManPage(page);
    if (!result.error.empty()) fail(a[2] + ": " + result.error);
    writeFile(a[5], result.page);
    return 0;
  }
  if (a.size() == 4 && (a[0] == "bash" || a[0] == "zsh")) {
    CompletionInput input;
    input.main = help(a[1], {});
    input.commands = commandHelps(a[1], input.main);
    input.settings = settingNames(a[1], input.commands);
    const std::string tables = a[0] == "bash" ? bashTables(input) : zshTables(input);
    const std::string templ = readFile(a[2]);
    const std::string script = fillTemplate(templ, tables);
    if (script == templ) fail(a[2] + ": no line \"@TABLES@\" to fill");
    writeFile(a[3], script);
    return 0;
  }
  std::fprintf(stderr,
               "usage: help_to_docs man PROGRAM EXTRAS VERSION DATE OUT\n"
               "       help_to_docs bash|zsh PROGRAM TEMPLATE OUT\n");
  return 2;
}

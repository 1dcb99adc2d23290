#include "platform/Desktop.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <cerrno>
#include <cstdio>
#include <vector>

extern char** environ;

namespace sonalog::platform {

namespace {

// xdg-open's exit status when no application handles the document.
constexpr int kXdgNoAssociation = 3;
// The shell's status for a command that cannot be found or started.
constexpr int kCommandNotFound = 127;

// Runs a program found on PATH and returns its exit status; kCommandNotFound when it cannot be
// started. Its output goes where ours goes; its input is closed so that it never waits for us.
int runTool(const std::vector<std::string>& argv, std::string* output = nullptr) {
  int pipeFds[2] = {-1, -1};
  if (output && ::pipe(pipeFds) != 0) return kCommandNotFound;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  if (output) {
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeFds[1]);
  }
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (output) {
    ::close(pipeFds[1]);
    if (rc == 0) {
      char buffer[256];
      ssize_t n = 0;
      while ((n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0) output->append(buffer, size_t(n));
    }
    ::close(pipeFds[0]);
  }
  if (rc != 0) return kCommandNotFound;
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return kCommandNotFound;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : kCommandNotFound;
}

// The desktop entry (e.g. "org.gnome.TextEditor.desktop") that opens plain text, or "".
std::string textEditorEntry() {
  std::string out;
  if (runTool({"xdg-mime", "query", "default", "text/plain"}, &out) != 0) return {};
  while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
  return out;
}

}  // namespace

DesktopOpen openWithDesktop(const std::string& path, bool edit) {
  if (edit) {
    std::string entry = textEditorEntry();
    const std::string suffix = ".desktop";
    if (entry.size() > suffix.size() && entry.ends_with(suffix)) {
      entry.resize(entry.size() - suffix.size());
      if (runTool({"gtk-launch", entry, path}) == 0) return DesktopOpen::Ok;
    }
  }
  switch (runTool({"xdg-open", path})) {
    case 0: return DesktopOpen::Ok;
    case kXdgNoAssociation: return DesktopOpen::NoAssociation;
    case kCommandNotFound: return DesktopOpen::NoTool;
    default: return DesktopOpen::Failed;
  }
}

}  // namespace sonalog::platform

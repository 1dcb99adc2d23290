#include "platform/Paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace sonalog::platform {

namespace {
std::string withSlash(std::string s) {
  if (s.empty() || s.back() != '/') s.push_back('/');
  return s;
}
}  // namespace

std::string homeFolder() {
  const char* home = std::getenv("HOME");
  if (!home || !*home) {
    // A session started without HOME (a service, env -i) still has a home in the user database;
    // "/" would make a first scan walk the whole machine.
    const passwd* user = ::getpwuid(::getuid());
    home = (user && user->pw_dir && *user->pw_dir) ? user->pw_dir : "/";
  }
  return stripTrailingSeparator(home);
}

std::string workingFolder() {
  std::string dir;
  if (const char* env = std::getenv("SONALOG_HOME"); env && *env) {
    dir = env;
  } else {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    dir = (xdg && *xdg) ? std::string(xdg) : homeFolder() + "/.local/share";
    dir = withSlash(dir) + "Tavrix FR.FE.SNLG";
  }
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  return withSlash(dir);
}

std::string programFolder() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return "./";
  return withSlash(exe.parent_path().string());
}

bool isWindowsPath(std::string_view folder) {
  if (folder.size() >= 2 && folder[1] == ':' &&
      ((folder[0] >= 'a' && folder[0] <= 'z') || (folder[0] >= 'A' && folder[0] <= 'Z')))
    return true;
  return folder.find('\\') != std::string_view::npos;
}

std::string joinPath(std::string_view folder, std::string_view name) {
  const char sep = isWindowsPath(folder) ? '\\' : '/';
  std::string out(folder);
  if (out.empty() || out.back() != sep) out.push_back(sep);
  out += name;
  return out;
}

namespace {
size_t lastSeparator(std::string_view path) {
  return isWindowsPath(path) ? path.find_last_of("\\/") : path.rfind('/');
}
}  // namespace

std::string fileNameOf(std::string_view path) {
  const size_t at = lastSeparator(path);
  return std::string(at == std::string_view::npos ? path : path.substr(at + 1));
}

std::string folderOf(std::string_view path) {
  const size_t at = lastSeparator(path);
  if (at == std::string_view::npos) return std::string();
  // "/x" lies in "/", "c:\x" in "c:\": a root keeps its separator.
  const bool root = at == 0 || (at == 2 && path[1] == ':' && isWindowsPath(path.substr(0, 2)));
  return std::string(path.substr(0, root ? at + 1 : at));
}

std::string stripTrailingSeparator(std::string_view folder) {
  std::string out(folder);
  while (out.size() > 1 && out.back() == '/') out.pop_back();
  return out;
}

}  // namespace sonalog::platform

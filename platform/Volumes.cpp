#include "platform/Volumes.h"

#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/Text.h"

namespace sonalog::platform {

namespace {

// /proc/self/mounts escapes blanks and backslashes as octal.
std::string unescapeMountField(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 3 < s.size() &&
        std::isdigit(static_cast<unsigned char>(s[i + 1]))) {
      out.push_back(static_cast<char>(std::stoi(s.substr(i + 1, 3), nullptr, 8)));
      i += 3;
    } else {
      out.push_back(s[i]);
    }
  }
  return out;
}

// Maps resolved device paths to the names in a /dev/disk/by-* folder. udev escapes characters
// in labels as \xNN.
std::map<std::string, std::string> byFolder(const char* folder) {
  std::map<std::string, std::string> out;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(folder, ec)) {
    std::error_code ec2;
    const auto target = std::filesystem::canonical(e.path(), ec2);
    if (ec2) continue;
    const std::string raw = e.path().filename().string();
    std::string name;
    for (size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] == '\\' && i + 3 < raw.size() && raw[i + 1] == 'x') {
        name.push_back(static_cast<char>(std::stoi(raw.substr(i + 2, 2), nullptr, 16)));
        i += 3;
      } else {
        name.push_back(raw[i]);
      }
    }
    out[target.string()] = name;
  }
  return out;
}

}  // namespace

std::vector<Volume> mountedVolumes() {
  // A file of the system's, sized 0 like every /proc file: read as a stream.
  std::ifstream in("/proc/self/mounts");
  std::ostringstream table;
  table << in.rdbuf();
  return volumesFromMounts(table.str(), "/dev/disk", [](const std::string& device) -> std::optional<uint64_t> {
    struct stat st;
    if (::stat(device.c_str(), &st) != 0 || !S_ISBLK(st.st_mode)) return std::nullopt;
    return static_cast<uint64_t>(st.st_rdev);
  });
}

std::vector<Volume> volumesFromMounts(std::string_view mountsTable, const std::string& diskFolder,
                                      const BlockDeviceNumber& blockDevice) {
  std::vector<Volume> out;
  std::istringstream mounts{std::string(mountsTable)};
  const auto labels = byFolder((diskFolder + "/by-label").c_str());
  const auto uuids = byFolder((diskFolder + "/by-uuid").c_str());
  std::string line;
  while (std::getline(mounts, line)) {
    std::istringstream in(line);
    std::string device, mountPoint;
    if (!(in >> device >> mountPoint)) continue;
    device = unescapeMountField(device);
    mountPoint = unescapeMountField(mountPoint);
    if (device.empty() || device[0] != '/') continue;
    const std::optional<uint64_t> number = blockDevice(device);
    if (!number) continue;
    if (std::any_of(out.begin(), out.end(), [&](const Volume& v) { return v.mountPoint == mountPoint; })) continue;
    Volume v;
    v.mountPoint = mountPoint;
    std::error_code ec;
    const auto canon = std::filesystem::canonical(device, ec);
    v.device = ec ? device : canon.string();
    if (auto it = labels.find(v.device); it != labels.end()) v.label = std::string(cutBytes(it->second, 32));
    if (auto it = uuids.find(v.device); it != uuids.end()) {
      std::string hex;
      for (char c : it->second)
        if (std::isxdigit(static_cast<unsigned char>(c)) && hex.size() < 8) hex.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
      v.serial = hex;
    }
    if (v.serial.size() != 8) {
      char buf[16];
      std::snprintf(buf, sizeof buf, "%08X", static_cast<unsigned>(*number & 0xFFFFFFFFu));
      v.serial = buf;
    }
    out.push_back(std::move(v));
  }
  std::sort(out.begin(), out.end(), [](const Volume& a, const Volume& b) {
    if ((a.mountPoint == "/") != (b.mountPoint == "/")) return a.mountPoint == "/";
    return a.mountPoint < b.mountPoint;
  });
  return out;
}

namespace {

// Not every kernel header names these.
constexpr uint64_t kConfigfsMagic = 0x62656570;
constexpr uint64_t kFusectlMagic = 0x65735543;
constexpr uint64_t kMqueueMagic = 0x19800202;

constexpr uint64_t kPseudoMagics[] = {
    PROC_SUPER_MAGIC, SYSFS_MAGIC,     DEVPTS_SUPER_MAGIC, CGROUP_SUPER_MAGIC, CGROUP2_SUPER_MAGIC,
    DEBUGFS_MAGIC,    TRACEFS_MAGIC,   SECURITYFS_MAGIC,   kConfigfsMagic,     kFusectlMagic,
    kMqueueMagic,     PSTOREFS_MAGIC,  BPF_FS_MAGIC,       AUTOFS_SUPER_MAGIC, BINFMTFS_MAGIC};

// devtmpfs reports the magic of tmpfs, which does hold user files: it is told apart by the
// mounts table, as the filesystem of a mount point on the same device.
bool onDevtmpfs(dev_t device) {
  std::ifstream in("/proc/self/mounts");
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string source, mountPoint, type;
    if (!(fields >> source >> mountPoint >> type) || type != "devtmpfs") continue;
    struct stat st;
    if (::stat(unescapeMountField(mountPoint).c_str(), &st) == 0 && st.st_dev == device) return true;
  }
  return false;
}

}  // namespace

bool onPseudoFilesystem(const std::string& folder) {
  struct statfs fs;
  struct stat st;
  if (::statfs(folder.c_str(), &fs) != 0 || ::stat(folder.c_str(), &st) != 0) return false;
  const auto type = static_cast<uint64_t>(fs.f_type);
  if (std::find(std::begin(kPseudoMagics), std::end(kPseudoMagics), type) != std::end(kPseudoMagics)) return true;
  return type == TMPFS_MAGIC && onDevtmpfs(st.st_dev);
}

const Volume* volumeForPath(const std::vector<Volume>& volumes, std::string_view path) {
  const Volume* best = nullptr;
  for (const Volume& v : volumes) {
    const std::string& m = v.mountPoint;
    const bool prefix = m == "/" ? !path.empty() && path[0] == '/'
                                 : path.substr(0, m.size()) == m && (path.size() == m.size() || path[m.size()] == '/');
    if (prefix && (!best || m.size() > best->mountPoint.size())) best = &v;
  }
  return best;
}

}  // namespace sonalog::platform

#include "core/ScanDrive.h"

#include <sys/stat.h>

#include <cstdio>

#include "core/ListItem.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/Text.h"

namespace sonalog {

namespace {

std::string hexSerial(uint64_t device) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%08X", static_cast<unsigned>(device & 0xFFFFFFFFu));
  return buf;
}

// The mount point that holds path: the highest ancestor on the same filesystem.
std::string mountPointOf(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return "/";
  std::string current = platform::stripTrailingSeparator(path);
  while (current != "/") {
    const size_t slash = current.rfind('/');
    const std::string parent = slash == 0 || slash == std::string::npos ? "/" : current.substr(0, slash);
    struct stat pst;
    if (::stat(parent.c_str(), &pst) != 0 || pst.st_dev != st.st_dev) break;
    current = parent;
  }
  return current;
}

}  // namespace

std::optional<DriveFacts> volumeOf(const std::string& folder, const std::vector<platform::Volume>& volumes) {
  const auto facts = platform::fileFacts(folder);
  if (!facts || !facts->isDirectory) return std::nullopt;
  DriveFacts d;
  d.device = facts->device;
  d.inode = facts->inode;
  const platform::Volume* v = platform::volumeForPath(volumes, folder);
  const auto root = v ? platform::fileFacts(v->mountPoint) : std::nullopt;
  if (v && root && root->device == facts->device) {
    d.mountPoint = v->mountPoint;
    d.label = std::string(platform::cutBytes(v->label, kMaxVolumeLabelBytes));
    d.serial = v->serial;
  } else {
    d.mountPoint = mountPointOf(folder);
    d.serial = hexSerial(facts->device);
  }
  return d;
}

}  // namespace sonalog

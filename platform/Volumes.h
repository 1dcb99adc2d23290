#pragma once
// Mounted local filesystems stand in for drives: a mount point is a drive root, the filesystem's
// label is the volume label and the start of its UUID the serial number.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sonalog::platform {

struct Volume {
  std::string mountPoint;  // "/" for the root volume
  std::string device;      // "/dev/sda1"
  std::string label;       // at most 32 bytes, empty when the filesystem has none
  std::string serial;      // 8 upper-case hex digits
};

// Every mounted filesystem backed by a block device, the root volume first, then by mount point.
std::vector<Volume> mountedVolumes();

// The device number of a block device; nullopt for anything else.
using BlockDeviceNumber = std::function<std::optional<uint64_t>(const std::string& device)>;
// What mountedVolumes() makes of a mounts table (the text of /proc/self/mounts), the folder of
// the "by-label" and "by-uuid" links (/dev/disk) and a block device test.
std::vector<Volume> volumesFromMounts(std::string_view mountsTable, const std::string& diskFolder,
                                      const BlockDeviceNumber& blockDevice);
// Whether folder lies on a pseudo filesystem (proc, sysfs, devtmpfs, devpts, cgroup, debugfs,
// tracefs, securityfs, configfs, fusectl, mqueue, pstore, bpf, autofs, binfmt_misc): the
// system's view of itself, never a place of the user's files, and a walk through it can reach
// other processes' folders. False when folder cannot be examined.
bool onPseudoFilesystem(const std::string& folder);

// The volume whose mount point is the longest prefix of path (nullptr when none).
const Volume* volumeForPath(const std::vector<Volume>& volumes, std::string_view path);

}  // namespace sonalog::platform

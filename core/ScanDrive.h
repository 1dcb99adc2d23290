#pragma once
// The drive a scanned folder lies on, as the scan names it in its texts and stores it in the
// items: a mounted volume with its label and serial when the folder is on one, else the
// filesystem that holds the folder, named by its mount point and device number.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Volumes.h"

namespace sonalog {

struct DriveFacts {
  std::string mountPoint;
  std::string label;   // at most kMaxVolumeLabelBytes
  std::string serial;  // 8 hexadecimal digits
  uint64_t device = 0;
  uint64_t inode = 0;  // of the folder itself
};

// nullopt when folder is not a folder that can be read.
std::optional<DriveFacts> volumeOf(const std::string& folder, const std::vector<platform::Volume>& volumes);

}  // namespace sonalog

#pragma once
// The labels of the mounted local volumes, for import options that fill in the label of items
// whose folder lies on one of them: the volume whose mount point is the longest prefix of the
// folder gives its label. Windows-style folders name drives that do not exist here.

#include <string>
#include <string_view>
#include <vector>

#include "platform/Volumes.h"

namespace sonalog {

class VolumeLabels {
 public:
  explicit VolumeLabels(std::vector<platform::Volume> volumes) : volumes_(std::move(volumes)) {}
  // The label (at most 32 bytes) of the volume holding an absolute POSIX folder; empty when
  // the folder is not absolute, lies on no volume, or its volume has no label.
  std::string labelFor(std::string_view folder) const;

 private:
  std::vector<platform::Volume> volumes_;
};

}  // namespace sonalog

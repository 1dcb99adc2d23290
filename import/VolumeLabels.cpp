#include "import/VolumeLabels.h"

#include "core/ListItem.h"
#include "platform/Text.h"

namespace sonalog {

std::string VolumeLabels::labelFor(std::string_view folder) const {
  if (folder.empty() || folder.front() != '/') return {};
  const platform::Volume* v = platform::volumeForPath(volumes_, folder);
  if (!v) return {};
  return std::string(platform::cutBytes(v->label, kMaxVolumeLabelBytes));
}

}  // namespace sonalog

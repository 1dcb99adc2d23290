// Feeds arbitrary files to the m3u importer: a result or a message, never a crash or a hang.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "import/TextListImport.h"
#include "platform/SilentUi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/sonalog-fuzz-m3u-" + std::to_string(::getpid()) + ".m3u";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  sonalog::SilentUi ui;
  sonalog::TextListOptions options;
  options.clabcheck = size % 2 == 0;
  options.volumes = [] { return std::vector<sonalog::platform::Volume>{{"/", "/dev/x", "ROOT", "1"}}; };
  const sonalog::TextListResult r = sonalog::importM3u(path, options, ui);
  if (!r.ok && !r.items.empty()) std::abort();
  for (const sonalog::ListItem& it : r.items)
    if (it.fileName.size() > sonalog::kMaxFileNameBytes) std::abort();
  return 0;
}

// Feeds arbitrary files to the m3u importer: a result or a message, never a crash or a hang.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "import/TextListImport.h"
#include "platform/UserInterface.h"

namespace {

class QuietUi : public sonalog::UserInterface {
 public:
  sonalog::Answer show(const sonalog::MessageBox& box) override { return sonalog::safeDefault(box); }
  void setStatus(std::string_view) override {}
  void setBusy(bool) override {}
  bool processEvents() override { return false; }
  std::optional<sonalog::FileDialogResult> openFile(const sonalog::FileDialog&) override { return std::nullopt; }
  std::optional<sonalog::FileDialogResult> saveFile(const sonalog::FileDialog&) override { return std::nullopt; }
  sonalog::OpenResult openDocument(const std::string&, bool) override { return sonalog::OpenResult::Failed; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/sonalog-fuzz-m3u-" + std::to_string(::getpid()) + ".m3u";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  QuietUi ui;
  sonalog::TextListOptions options;
  options.clabcheck = size % 2 == 0;
  options.volumes = [] { return std::vector<sonalog::platform::Volume>{{"/", "/dev/x", "ROOT", "1"}}; };
  const sonalog::TextListResult r = sonalog::importM3u(path, options, ui);
  if (!r.ok && !r.items.empty()) std::abort();
  for (const sonalog::ListItem& it : r.items)
    if (it.fileName.size() > sonalog::kMaxFileNameBytes) std::abort();
  return 0;
}

// Feeds arbitrary files to the reader of other text lists, in line and in character mode.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "import/TextListImport.h"
#include "platform/UserInterface.h"

namespace {

// Accepts character mode when asked, so both reading modes are exercised.
class YesUi : public sonalog::UserInterface {
 public:
  sonalog::Answer show(const sonalog::MessageBox& box) override {
    return box.buttons == sonalog::Buttons::YesNo ? sonalog::Answer::Yes : sonalog::safeDefault(box);
  }
  void setStatus(std::string_view) override {}
  void setBusy(bool) override {}
  bool processEvents() override { return false; }
  std::optional<sonalog::FileDialogResult> openFile(const sonalog::FileDialog&) override { return std::nullopt; }
  std::optional<sonalog::FileDialogResult> saveFile(const sonalog::FileDialog&) override { return std::nullopt; }
  sonalog::OpenResult openDocument(const std::string&, bool) override { return sonalog::OpenResult::Failed; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/sonalog-fuzz-text-" + std::to_string(::getpid()) + ".txt";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  YesUi ui;
  sonalog::TextListOptions options;
  options.MircCheck = size % 3 == 0;
  const sonalog::TextListResult r = sonalog::readUnknownTextList(path, options, ui);
  for (const sonalog::ListItem& it : r.items)
    if (it.fileName.size() > sonalog::kMaxFileNameBytes) std::abort();
  // Each line in the file gives at most one item.
  if (r.items.size() > size) std::abort();
  return 0;
}

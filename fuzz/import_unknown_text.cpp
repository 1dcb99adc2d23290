// Feeds arbitrary files to the reader of other text lists, in line and in character mode.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "import/TextListImport.h"
#include "platform/SilentUi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/sonalog-fuzz-text-" + std::to_string(::getpid()) + ".txt";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  // Accepts character mode when asked, so both reading modes are exercised.
  sonalog::SilentUi ui;
  ui.answerRule = [](const sonalog::MessageBox& box) {
    return box.buttons == sonalog::Buttons::YesNo ? sonalog::Answer::Yes : sonalog::safeDefault(box);
  };
  sonalog::TextListOptions options;
  options.MircCheck = size % 3 == 0;
  const sonalog::TextListResult r = sonalog::readUnknownTextList(path, options, ui);
  for (const sonalog::ListItem& it : r.items)
    if (it.fileName.size() > sonalog::kMaxFileNameBytes) std::abort();
  // Each line in the file gives at most one item.
  if (r.items.size() > size) std::abort();
  return 0;
}

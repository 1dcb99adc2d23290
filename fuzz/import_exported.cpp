// Feeds arbitrary files to the import of exported lists. Whatever the file, the import ends with
// a message or a clean fallback, and the list is either the imported one or exactly the old one.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "import/ImportCommand.h"
#include "platform/SilentUi.h"

namespace {

// Answers questions by turns from a seed, so both branches of every question are explored.
std::function<sonalog::Answer(const sonalog::MessageBox&)> byTurns(uint8_t seed) {
  return [seed, turn = 0](const sonalog::MessageBox& box) mutable {
    const bool yes = (seed >> (turn++ % 8)) & 1;
    if (box.buttons == sonalog::Buttons::OkCancel) return yes ? sonalog::Answer::Ok : sonalog::Answer::Cancel;
    if (box.buttons == sonalog::Buttons::YesNoCancel && turn % 3 == 0) return sonalog::Answer::Cancel;
    return yes ? sonalog::Answer::Yes : sonalog::Answer::No;
  };
}

const std::string& scratch() {
  static const std::string dir = [] {
    std::string d = "/tmp/sonalog-fuzz-import-" + std::to_string(::getpid());
    ::mkdir(d.c_str(), 0700);
    ::setenv("SONALOG_HOME", d.c_str(), 1);
    return d + "/";
  }();
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t flags = data[0];
  const std::string path = scratch() + "input.txt";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data + 1, 1, size - 1, f);
  std::fclose(f);

  sonalog::InternalList list;
  for (int i = 0; i < 2; ++i) {
    sonalog::ListItem it;
    it.fileName = "old " + std::to_string(i);
    list.items.push_back(it);
  }
  sonalog::ImportSettings settings;
  settings.ImapCheck = flags & 1;
  settings.daRadio = (flags >> 1) & 1;
  settings.dsRadio = (flags >> 2) & 1;
  settings.ComboStyle = (flags >> 3) & 3;
  settings.cmfcheck = (flags >> 5) & 1;
  settings.clabcheck = (flags >> 6) & 1;
  sonalog::SilentUi ui;
  ui.answerRule = byTurns(flags);
  sonalog::ImportCommand command(list, settings, ui);
  command.setVolumeSource([] { return std::vector<sonalog::platform::Volume>{{"/", "/dev/x", "ROOT", "1"}}; });
  const bool ok = command.importFile(path);
  if (!ok && (list.items.size() != 2 || list.items[1].fileName != "old 1")) std::abort();
  if (ok && settings.ImapCheck && list.items.size() < 2) std::abort();
  return 0;
}

#include "core/ApiUnit.h"

#include "platform/Files.h"
#include "platform/Text.h"

namespace sonalog {

std::string helpPagePath(const std::string& programFolder) {
  std::string prefix = programFolder;
  while (!prefix.empty() && prefix.back() == '/') prefix.pop_back();
  if (const size_t slash = prefix.rfind('/'); slash != std::string::npos) prefix.resize(slash);
  const std::string candidates[] = {prefix + "/share/doc/sonalog/guide/index.html",
                                    prefix + "/share/doc/sonalog/README.md",
#ifdef SONALOG_SOURCE_DIR
                                    std::string(SONALOG_SOURCE_DIR) + "/README.md"
#endif
  };
  for (const std::string& path : candidates)
    if (!path.empty() && platform::fileExists(path)) return path;
  return {};
}

void openHelpPage(UserInterface& ui, const std::string& programFolder) {
  const std::string path = helpPagePath(programFolder);
  if (path.empty()) {
    ui.warning("The user guide is not installed.");
    return;
  }
  reportDocumentOpenFailure(ui, openDocumentChecked(ui, path), path);
}

void reportDocumentOpenFailure(UserInterface& ui, OpenResult result, const std::string& path) {
  switch (result) {
    case OpenResult::Ok: return;
    case OpenResult::NotFound: ui.warning("The file doesn't exist:\r\n" + path); return;
    case OpenResult::AccessDenied: ui.warning("Access denied:\r\n" + path); return;
    case OpenResult::NoAssociation: ui.warning("There's no application to open\r\n" + path); return;
    case OpenResult::Failed: ui.warning("The application for this file failed to open it:\r\n" + path); return;
  }
}

void reportPlayFailure(UserInterface& ui, OpenResult result, bool playlist) {
  const char* text = nullptr;
  switch (result) {
    case OpenResult::Ok: return;
    case OpenResult::NotFound:
      text = playlist ? "System error trying to open the internal mp3 file list."
                      : "The file doesn't exist.";
      break;
    case OpenResult::AccessDenied:
      text = playlist ? "System error trying to open the internal mp3 file list."
                      : "Access denied or sharing violation.";
      break;
    case OpenResult::NoAssociation:
      text = playlist ? "Looks like there's no application\r\nregistered to open m3u lists on your system."
                      : "System error trying to play the file.";
      break;
    case OpenResult::Failed:
      text = playlist ? "System error trying to open the internal mp3 file list."
                      : "System error trying to play the file.";
      break;
  }
  ui.show({std::string(platform::cutBytes(text, kWarningTextLimit)), "play", Buttons::Ok,
           Icon::Exclamation, std::nullopt});
}

}  // namespace sonalog

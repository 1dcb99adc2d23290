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

namespace {

// What a failed play says, by what the desktop reported: of one mp3 file, and of a playlist.
struct PlayFailureTexts {
  OpenResult result;
  const char* file;
  const char* playlist;
};
constexpr PlayFailureTexts kPlayFailures[] = {
    {OpenResult::NotFound, "The file doesn't exist.",
     "System error trying to open the internal mp3 file list."},
    {OpenResult::AccessDenied, "Access denied or sharing violation.",
     "System error trying to open the internal mp3 file list."},
    {OpenResult::NoAssociation, "System error trying to play the file.",
     "Looks like there's no application\r\nregistered to open m3u lists on your system."},
    {OpenResult::Failed, "System error trying to play the file.",
     "System error trying to open the internal mp3 file list."},
};

}  // namespace

void reportPlayFailure(UserInterface& ui, OpenResult result, bool playlist) {
  for (const PlayFailureTexts& t : kPlayFailures) {
    if (t.result != result) continue;
    const std::string_view text = playlist ? t.playlist : t.file;
    ui.show({std::string(platform::cutBytes(text, kWarningTextLimit)), "play", Buttons::Ok,
             Icon::Exclamation, std::nullopt});
  }
}

}  // namespace sonalog

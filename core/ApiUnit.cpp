#include "core/ApiUnit.h"

#include <unistd.h>

#include "platform/Desktop.h"
#include "platform/Files.h"
#include "platform/Text.h"

namespace sonalog {

Answer safeDefault(const MessageBox& box) {
  if (box.defaultAnswer) return *box.defaultAnswer;
  switch (box.buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::OkCancel:
    case Buttons::YesNoCancel:
    case Buttons::RetryCancel: return Answer::Cancel;
    case Buttons::YesNo: return Answer::No;
    case Buttons::AbortRetryIgnore: return Answer::Abort;
  }
  return Answer::Cancel;
}

void UserInterface::warning(std::string_view text) {
  show({std::string(platform::cutBytes(text, kWarningTextLimit)), "Warning", Buttons::Ok,
        Icon::Exclamation, std::nullopt});
}

void UserInterface::message(std::string_view text, std::string_view caption, Icon icon) {
  show({std::string(text), std::string(caption), Buttons::Ok, icon, std::nullopt});
}

Answer UserInterface::ask(std::string_view text, std::string_view caption, Buttons buttons,
                          Icon icon, std::optional<Answer> defaultAnswer) {
  return show({std::string(text), std::string(caption), buttons, icon, defaultAnswer});
}

OpenResult openDocumentChecked(UserInterface& ui, const std::string& path, bool edit) {
  if (path.empty() || !platform::fileExists(path)) return OpenResult::NotFound;
  if (::access(path.c_str(), R_OK) != 0) return OpenResult::AccessDenied;
  return ui.openDocument(path, edit);
}

OpenResult openWithDesktop(const std::string& path, bool edit) {
  switch (platform::openWithDesktop(path, edit)) {
    case platform::DesktopOpen::Ok: return OpenResult::Ok;
    case platform::DesktopOpen::NoTool:
    case platform::DesktopOpen::NoAssociation: return OpenResult::NoAssociation;
    case platform::DesktopOpen::Failed: return OpenResult::Failed;
  }
  return OpenResult::Failed;
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

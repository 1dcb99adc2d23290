#include "platform/UserInterface.h"

#include <unistd.h>

#include "platform/Files.h"
#include "platform/Text.h"

namespace sonalog {

Answer safeDefault(const MessageBox& box) {
  // Cancel always means "do nothing", even where another button is preselected as the
  // recommended action (which may write a file or drop changes).
  switch (box.buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::OkCancel:
    case Buttons::YesNoCancel:
    case Buttons::RetryCancel: return Answer::Cancel;
    case Buttons::YesNo: return box.defaultAnswer.value_or(Answer::No);
    case Buttons::AbortRetryIgnore: return box.defaultAnswer.value_or(Answer::Abort);
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

namespace {
constexpr char kReplaceQuestionTail[] = " already exists.\r\nDo you want to replace it?";
}  // namespace

std::optional<FileDialogResult> UserInterface::chooseSaveFile(const FileDialog& dialog) {
  std::optional<FileDialogResult> chosen = saveFile(dialog);
  if (!chosen || chosen->path.empty()) return std::nullopt;
  if (!dialog.askBeforeReplacing || chosen->replaceConfirmed || !platform::fileFacts(chosen->path))
    return chosen;
  // The dialog's title without the spaces and dashes that frame some of them.
  const size_t first = dialog.title.find_first_not_of(" -");
  const size_t last = dialog.title.find_last_not_of(" -");
  const std::string caption = first == std::string::npos ? std::string() : dialog.title.substr(first, last - first + 1);
  if (ask(chosen->path + kReplaceQuestionTail, caption, Buttons::YesNo, Icon::Exclamation, Answer::No) != Answer::Yes)
    return std::nullopt;
  chosen->replaceConfirmed = true;
  return chosen;
}

OpenResult openDocumentChecked(UserInterface& ui, const std::string& path, bool edit) {
  if (path.empty() || !platform::fileExists(path)) return OpenResult::NotFound;
  if (::access(path.c_str(), R_OK) != 0) return OpenResult::AccessDenied;
  return ui.openDocument(path, edit);
}

OpenResult openResultOf(platform::DesktopOpen reported) {
  switch (reported) {
    case platform::DesktopOpen::Ok: return OpenResult::Ok;
    case platform::DesktopOpen::NoTool:
    case platform::DesktopOpen::NoAssociation: return OpenResult::NoAssociation;
    case platform::DesktopOpen::Failed: return OpenResult::Failed;
  }
  return OpenResult::Failed;
}

OpenResult openWithDesktop(const std::string& path, bool edit) {
  return openResultOf(platform::openWithDesktop(path, edit));
}

}  // namespace sonalog

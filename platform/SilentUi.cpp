#include "platform/SilentUi.h"

namespace sonalog {

Answer SilentUi::show(const MessageBox& box) {
  shown.push_back(box);
  if (box.buttons == Buttons::Ok) return Answer::Ok;
  if (answers.empty()) return answerRule ? answerRule(box) : safeDefault(box);
  const Answer a = answers.front();
  answers.pop_front();
  return a;
}

OpenResult SilentUi::openDocument(const std::string& path, bool edit) {
  opened.emplace_back(path, edit);
  if (openResults.empty()) return OpenResult::Ok;
  const OpenResult r = openResults.front();
  openResults.pop_front();
  return r;
}

std::vector<std::string> SilentUi::texts() const {
  std::vector<std::string> out;
  out.reserve(shown.size());
  for (const MessageBox& b : shown) out.push_back(b.text);
  return out;
}

std::optional<FileDialogResult> SilentUi::nextDialog(const FileDialog& dialog) {
  dialogs.push_back(dialog);
  if (dialogResults.empty()) return std::nullopt;
  std::optional<FileDialogResult> r = dialogResults.front();
  dialogResults.pop_front();
  return r;
}

}  // namespace sonalog

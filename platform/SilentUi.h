#pragma once
// A user interface that shows nothing, for whatever runs without a person: the fuzz targets, the
// benchmarks, the desktop program's scripted mode and the tests. Every box, file dialog and
// desktop open is recorded; a question is answered from `answers`, then by `answerRule` (the
// safe default when unset), a file dialog from `dialogResults`, then as cancelled, and a desktop
// open from `openResults`, then as done.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/UserInterface.h"

namespace sonalog {

class SilentUi : public UserInterface {
 public:
  std::vector<MessageBox> shown;  // every box, in order
  std::deque<Answer> answers;     // consumed by questions
  std::function<Answer(const MessageBox&)> answerRule;  // a question once answers is empty
  std::vector<FileDialog> dialogs;  // every file dialog, in order
  std::deque<std::optional<FileDialogResult>> dialogResults;  // consumed by file dialogs
  std::vector<std::pair<std::string, bool>> opened;  // every openDocument (path, edit), in order
  std::deque<OpenResult> openResults;  // consumed by openDocument

  Answer show(const MessageBox& box) override;
  void setStatus(std::string_view) override {}
  void setBusy(bool) override {}
  bool processEvents() override { return false; }
  std::optional<FileDialogResult> openFile(const FileDialog& dialog) override { return nextDialog(dialog); }
  std::optional<FileDialogResult> saveFile(const FileDialog& dialog) override { return nextDialog(dialog); }
  OpenResult openDocument(const std::string& path, bool edit = false) override;

  // The texts of the boxes shown, in order.
  std::vector<std::string> texts() const;

 private:
  std::optional<FileDialogResult> nextDialog(const FileDialog& dialog);
};

}  // namespace sonalog

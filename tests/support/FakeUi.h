#pragma once
// A scripted UserInterface for tests: records every box, status text and dialog, answers
// questions and dialogs from queues, and can simulate CANCEL after a number of event pumps.

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/UserInterface.h"

namespace sonalog::testing {

class FakeUi : public UserInterface {
 public:
  std::vector<MessageBox> shown;        // every box, in order
  std::vector<std::string> statuses;    // every status text, in order
  std::deque<Answer> answers;           // consumed by questions; empty: safe default
  std::deque<std::optional<FileDialogResult>> dialogResults;  // consumed by file dialogs
  std::vector<FileDialog> dialogs;      // every dialog asked, in order
  long cancelAfterEvents = -1;          // >= 0: processEvents reports CANCEL on that call
  long eventCalls = 0;
  size_t statusWidth = SIZE_MAX;        // status texts longer than this many bytes do not fit
  std::deque<OpenResult> openResults;   // consumed by openDocument; empty: Ok
  std::vector<std::pair<std::string, bool>> opened;  // every openDocument (path, edit), in order

  Answer show(const MessageBox& box) override {
    shown.push_back(box);
    if (box.buttons == Buttons::Ok) return Answer::Ok;
    if (answers.empty()) return safeDefault(box);
    const Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  void setStatus(std::string_view text) override { statuses.emplace_back(text); }
  void setBusy(bool) override {}
  bool statusFits(std::string_view text) const override { return text.size() <= statusWidth; }
  bool processEvents() override { return eventCalls++ == cancelAfterEvents; }
  std::optional<FileDialogResult> openFile(const FileDialog& d) override { return nextDialog(d); }
  std::optional<FileDialogResult> saveFile(const FileDialog& d) override { return nextDialog(d); }

  OpenResult openDocument(const std::string& path, bool edit) override {
    opened.emplace_back(path, edit);
    if (openResults.empty()) return OpenResult::Ok;
    const OpenResult r = openResults.front();
    openResults.pop_front();
    return r;
  }

  std::string lastStatus() const { return statuses.empty() ? std::string() : statuses.back(); }
  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    for (const MessageBox& b : shown) out.push_back(b.text);
    return out;
  }

 private:
  std::optional<FileDialogResult> nextDialog(const FileDialog& d) {
    dialogs.push_back(d);
    if (dialogResults.empty()) return std::nullopt;
    auto r = dialogResults.front();
    dialogResults.pop_front();
    return r;
  }
};

}  // namespace sonalog::testing

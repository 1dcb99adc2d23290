#pragma once
// The command line's user interface: warnings go to stderr, questions are asked on the terminal
// when stdin is one, else answered by --yes/--no or the question's safe default; Ctrl+C cancels.

#include <atomic>
#include <string>

#include "platform/UserInterface.h"

namespace sonalog::cli {

enum class AutoAnswer { None, Yes, No };

class CliUi : public UserInterface {
 public:
  CliUi();
  void setAutoAnswer(AutoAnswer a) { auto_ = a; }
  // Shows progress on stderr (one rewritten line) when stderr is a terminal.
  void setShowProgress(bool on) { progress_ = on; }
  // Clears the progress line, when one is shown, so that later output starts on a clean line.
  void endProgress();

  Answer show(const MessageBox& box) override;
  void setStatus(std::string_view text) override;
  void setBusy(bool) override {}
  bool processEvents() override;
  std::optional<FileDialogResult> openFile(const FileDialog& dialog) override;
  std::optional<FileDialogResult> saveFile(const FileDialog& dialog) override;
  OpenResult openDocument(const std::string& path, bool edit) override {
    return openWithDesktop(path, edit);
  }

  // The last status text set, for printing at the end of a command.
  const std::string& lastStatus() const { return status_; }
  // Installs the SIGINT handler that turns Ctrl+C into CANCEL. Commands that can be stopped call
  // it before any work, so that no moment of theirs ends in an unexplained status 130.
  static void installInterruptHandler();
  static bool interrupted();

 private:
  AutoAnswer auto_ = AutoAnswer::None;
  bool progress_ = false;
  bool interactive_ = false;
  std::string status_;
  bool progressShown_ = false;
};

}  // namespace sonalog::cli

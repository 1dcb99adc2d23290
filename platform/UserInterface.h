#pragma once
// How the logic talks to the user: every message box, question, file dialog, status text and
// "let pending events run" goes through UserInterface, so the GUI, the command line and the tests
// each supply their own. The logic never shows anything any other way. It depends on nothing
// above the platform layer, so every layer may take one.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Desktop.h"

namespace sonalog {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class Icon { None, Information, Exclamation, Question, Error };
enum class Answer { Ok, Cancel, Yes, No, Retry, Abort, Ignore };

// A message box as the user sees it. For a question, defaultAnswer is the preselected button.
// A question without Cancel preselects its safe answer (the one that writes and loses
// nothing); when unset, that is No.
struct MessageBox {
  std::string text;
  std::string caption;
  Buttons buttons = Buttons::Ok;
  Icon icon = Icon::None;
  std::optional<Answer> defaultAnswer;
};

// The answer Escape gives, and a front end that cannot ask: Cancel where the box has one, else
// the preselected button, else No (or Abort, or Ok).
Answer safeDefault(const MessageBox& box);

struct FileFilter {
  std::string description;  // "List files (*.snlg)"
  std::vector<std::string> patterns;  // "*.snlg"
};

struct FileDialog {
  std::string title;
  std::string folder;    // initial folder
  std::string fileName;  // preset file name
  std::vector<FileFilter> filters;
  int filterIndex = 0;  // the preselected filter: an index into filters, 0 = the first
  std::string defaultExtension;  // without the dot
  // A save dialog asks before it replaces an existing file, except where the chosen name is
  // only a pattern and the file itself is never written (the batch export's name).
  bool askBeforeReplacing = true;
};

// What the desktop's "open" (or "edit") of a document did.
enum class OpenResult { Ok, NotFound, AccessDenied, NoAssociation, Failed };

struct FileDialogResult {
  std::string path;
  int filterIndex = 0;
  // The front end already asked before replacing the existing file (a desktop save dialog
  // does, and a command line that names the file has decided); chooseSaveFile then asks no more.
  bool replaceConfirmed = false;
};

class UserInterface {
 public:
  virtual ~UserInterface() = default;

  // Shows a modal box and returns the button pressed.
  virtual Answer show(const MessageBox& box) = 0;
  // The main window's status line (or the calling window's, where it has one).
  virtual void setStatus(std::string_view text) = 0;
  // Busy cursor on or off.
  virtual void setBusy(bool busy) = 0;
  // Lets pending user events run. Returns true when the user asked to cancel (CANCEL, Escape,
  // Ctrl+C) since the last call; the running operation then stops as if its flag was cleared.
  virtual bool processEvents() = 0;
  virtual std::optional<FileDialogResult> openFile(const FileDialog& dialog) = 0;
  // The bare save dialog; the logic calls chooseSaveFile, which adds the replace question.
  virtual std::optional<FileDialogResult> saveFile(const FileDialog& dialog) = 0;
  // Whether a status text fits the status line as it is shown. Operations that must shorten a
  // text by a rule of their own (a path keeps its tail, a summary loses its end) ask this; a
  // front end without a width limit keeps the default.
  virtual bool statusFits(std::string_view /*text*/) const { return true; }
  // Hands a document to the desktop's application for it (edit: the default text editor
  // instead of the viewer). Returns at once; the application runs on its own.
  virtual OpenResult openDocument(const std::string& path, bool edit = false) = 0;

  // The "Warning" box: exclamation icon, OK button, at most the first 254 bytes of the text.
  void warning(std::string_view text);
  // An OK box with a caption and icon of its own.
  void message(std::string_view text, std::string_view caption, Icon icon);
  // A save dialog that never replaces an existing file unasked: when the dialog did not ask
  // itself, the question "<path> already exists. Do you want to replace it?" follows, and any
  // answer but Yes (Escape included) cancels, leaving the file as it was.
  std::optional<FileDialogResult> chooseSaveFile(const FileDialog& dialog);
  // A question box; returns the button pressed.
  Answer ask(std::string_view text, std::string_view caption, Buttons buttons, Icon icon,
             std::optional<Answer> defaultAnswer = std::nullopt);
};

// A warning box shows at most this many bytes of its text.
inline constexpr size_t kWarningTextLimit = 254;

// openDocument after the checks every caller wants: a path that does not exist is NotFound and
// one that cannot be read is AccessDenied, without asking the desktop.
OpenResult openDocumentChecked(UserInterface& ui, const std::string& path, bool edit = false);

// What the desktop's tool reported, as an OpenResult: a missing tool counts as no association.
OpenResult openResultOf(platform::DesktopOpen reported);

// The ordinary desktop open (xdg-open) as an OpenResult. Front ends without a desktop of their
// own implement openDocument with it.
OpenResult openWithDesktop(const std::string& path, bool edit);

}  // namespace sonalog

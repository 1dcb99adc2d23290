#pragma once
// The caption input window's logic ("Input the caption"): what it shows when it opens and what OK
// leaves behind. The window itself (or the command line) binds to this and keeps no state of its
// own.

#include <functional>
#include <string>
#include <string_view>

namespace sonalog {

struct Settings;

inline constexpr const char* kCaptionWindowTitle = "Input the caption";
inline constexpr size_t kMaxCaptionInput = 255;  // EditCap's limit, in bytes

class CaptionRequest {
 public:
  // settings must outlive the request: OK writes the remember switch and the caption into it.
  explicit CaptionRequest(Settings& settings) : settings_(settings) {}

  // CheckRem when the window opens: the remember setting.
  bool rememberChecked() const;
  // EditCap when the window opens: the last caption when remember is on, else empty.
  std::string presetText() const;

  // OK or Enter: the remember setting takes the box's state, and the caption (the last entered
  // caption of the settings) is the text without leading and trailing blanks, cut to 255 bytes.
  // An empty caption means no caption.
  void accept(std::string_view editText, bool rememberBox);

 private:
  Settings& settings_;
};

// Shows the caption window for a request and waits for it to close: true when OK was pressed
// (the window then called accept), false when it was cancelled.
using CaptionAsker = std::function<bool(CaptionRequest&)>;

// Leading and trailing blanks (spaces and control characters) removed.
std::string_view trimBlanks(std::string_view text);

}  // namespace sonalog

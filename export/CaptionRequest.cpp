#include "export/CaptionRequest.h"

#include "platform/Text.h"
#include "settings/Settings.h"

namespace sonalog {

bool CaptionRequest::rememberChecked() const { return settings_.CheckRem; }

std::string CaptionRequest::presetText() const { return settings_.CheckRem ? settings_.lastCaption : std::string(); }

void CaptionRequest::accept(std::string_view editText, bool rememberBox) {
  settings_.CheckRem = rememberBox;
  settings_.lastCaption = std::string(trimBlanks(platform::cutBytes(editText, kMaxCaptionInput)));
}

std::string_view trimBlanks(std::string_view text) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace sonalog

#include "core/ApiUnit.h"

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

}  // namespace sonalog

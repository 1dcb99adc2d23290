#include "cli/CliUi.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>

#include "cli/TerminalText.h"
#include "platform/Files.h"

namespace sonalog::cli {

namespace {

std::atomic<bool> gInterrupted{false};

extern "C" void onInterrupt(int) { gInterrupted.store(true); }

struct Choice {
  Answer answer;
  const char* label;
  char key;
};

std::vector<Choice> choicesFor(Buttons b) {
  switch (b) {
    case Buttons::Ok: return {{Answer::Ok, "OK", 'o'}};
    case Buttons::OkCancel: return {{Answer::Ok, "OK", 'o'}, {Answer::Cancel, "Cancel", 'c'}};
    case Buttons::YesNo: return {{Answer::Yes, "Yes", 'y'}, {Answer::No, "No", 'n'}};
    case Buttons::YesNoCancel:
      return {{Answer::Yes, "Yes", 'y'}, {Answer::No, "No", 'n'}, {Answer::Cancel, "Cancel", 'c'}};
    case Buttons::RetryCancel: return {{Answer::Retry, "Retry", 'r'}, {Answer::Cancel, "Cancel", 'c'}};
    case Buttons::AbortRetryIgnore:
      return {{Answer::Abort, "Abort", 'a'}, {Answer::Retry, "Retry", 'r'}, {Answer::Ignore, "Ignore", 'i'}};
  }
  return {};
}

}  // namespace

CliUi::CliUi() : interactive_(::isatty(STDIN_FILENO) && ::isatty(STDERR_FILENO)) {}

void CliUi::installInterruptHandler() {
  std::signal(SIGINT, onInterrupt);
  // A Ctrl+C that came while the signal was blocked (by whoever started this run) is delivered
  // now, to the handler, instead of being lost or arriving unhandled later.
  sigset_t interrupt;
  sigemptyset(&interrupt);
  sigaddset(&interrupt, SIGINT);
  pthread_sigmask(SIG_UNBLOCK, &interrupt, nullptr);
}

bool CliUi::interrupted() { return gInterrupted.load(); }

Answer CliUi::show(const MessageBox& box) {
  if (progressShown_) {
    std::fputs("\n", stderr);
    progressShown_ = false;
  }
  const std::string heading = box.caption.empty() ? std::string() : "[" + terminalMessage(box.caption) + "] ";
  std::fprintf(stderr, "%s%s\n", heading.c_str(), terminalMessage(box.text).c_str());
  // The message tells what failed; the file and the system's reason follow it.
  if (const std::string why = platform::takeLastWriteError(); !why.empty())
    std::fprintf(stderr, "sonalog: %s\n", terminalMessage(why).c_str());
  const auto choices = choicesFor(box.buttons);
  if (choices.size() <= 1) return Answer::Ok;

  auto pick = [&](Answer wanted) -> std::optional<Answer> {
    for (const Choice& c : choices)
      if (c.answer == wanted) return wanted;
    return std::nullopt;
  };
  if (!interactive_) {
    std::optional<Answer> a;
    if (auto_ == AutoAnswer::Yes) a = pick(Answer::Yes) ? pick(Answer::Yes) : pick(Answer::Ok);
    if (auto_ == AutoAnswer::No) a = pick(Answer::No) ? pick(Answer::No) : pick(Answer::Cancel);
    const Answer answer = a ? *a : safeDefault(box);
    for (const Choice& c : choices)
      if (c.answer == answer) std::fprintf(stderr, "-> %s\n", c.label);
    return answer;
  }
  for (;;) {
    std::string prompt;
    for (const Choice& c : choices) {
      if (!prompt.empty()) prompt += "/";
      prompt += std::string(c.label) + " (" + c.key + ")";
    }
    std::fprintf(stderr, "%s? ", prompt.c_str());
    std::string line;
    if (!std::getline(std::cin, line)) return safeDefault(box);
    if (line.empty() && box.defaultAnswer) return *box.defaultAnswer;
    for (const Choice& c : choices)
      if (!line.empty() && (std::tolower(static_cast<unsigned char>(line[0])) == c.key)) return c.answer;
  }
}

void CliUi::setStatus(std::string_view text) {
  status_ = text;
  if (progress_ && ::isatty(STDERR_FILENO)) {
    std::string shown = terminalMessage(text);
    if (shown.size() > 100) shown = shown.substr(0, 97) + "...";
    std::fprintf(stderr, "\r\033[K%s", shown.c_str());
    progressShown_ = true;
  }
}

void CliUi::endProgress() {
  if (!progressShown_) return;
  std::fputs("\r\033[K", stderr);
  progressShown_ = false;
}

bool CliUi::processEvents() { return gInterrupted.exchange(false); }

std::optional<FileDialogResult> CliUi::openFile(const FileDialog&) { return std::nullopt; }
std::optional<FileDialogResult> CliUi::saveFile(const FileDialog&) { return std::nullopt; }

}  // namespace sonalog::cli

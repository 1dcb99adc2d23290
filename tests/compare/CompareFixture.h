#pragma once
// Shared pieces of the comparison tests: items in one line, external files on disk, a scripted
// responder, and a run driven to its end.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "compare/CompareDriver.h"
#include "compare/CompareReport.h"
#include "compare/ExternalList.h"
#include "core/ListFile.h"
#include "tests/support/Items.h"
#include "tests/support/TempHome.h"

namespace sonalog::testing {

// An item as a scan makes it: known size, playtime, bitrate and mode.
inline ListItem item(std::string name, int32_t sizeKB = 4000, int32_t frames = 9000,
                     uint8_t bitrate = 9) {
  return testing::ItemBuilder(std::move(name)).label("DATA").bitrate(bitrate).sizeKB(sizeKB).frames(frames)
      .stereo(1).fileDate(40000).dateAdded(40100);
}

// Records what the run asked and answers from scripts.
class ScriptedResponder : public CompareResponder {
 public:
  std::vector<std::string> warnings;
  std::vector<std::string> questions;
  std::deque<bool> questionAnswers;  // empty: No
  struct Asked {
    uint8_t score;
    std::string line1, line2;
  };
  std::vector<Asked> asked;
  std::function<uint8_t(const Asked&)> confirmWith = [](const Asked&) { return uint8_t{1}; };
  bool removeAtEnd = true;
  int removalsAsked = 0;

  void warning(const std::string& text) override { warnings.push_back(text); }
  bool question(const std::string& text, const std::string& caption) override {
    questions.push_back(caption + ": " + text);
    if (questionAnswers.empty()) return false;
    const bool a = questionAnswers.front();
    questionAnswers.pop_front();
    return a;
  }
  uint8_t confirm(uint8_t score, const std::string& l1, const std::string& l2) override {
    asked.push_back({score, l1, l2});
    return confirmWith(asked.back());
  }
  bool confirmRemoval(const std::string&) override {
    ++removalsAsked;
    return removeAtEnd;
  }
  bool saveOnAbort(const std::string& question) override {
    questions.push_back("prompt: " + question);
    return false;
  }
};

// Writes items as a list file with the given header byte.
inline void writeExternalList(const std::string& path, const std::vector<ListItem>& items,
                          uint8_t sortByte = 0) {
  ASSERT_TRUE(sonalog::writeListFile(path, items, sortByte));
}

// A job with test defaults: output in the temporary folder, automatic action.
inline CompareJob makeJob(const TempHome& home, int type, uint8_t with, uint8_t threshold = 80) {
  CompareJob job;
  job.inputPath = home.path(with == 0 ? "external.snlg" : "external.txt");
  job.outputPath = home.path(type == 1 || type == 3 || type == 6 || type == 8 ? "out.snlg" : "out.txt");
  job.settings.compareAction = static_cast<uint8_t>(type);
  job.settings.compareWith = with;
  job.settings.matchThreshold = threshold;
  job.settings.actionMode = 0;
  job.settings.threadPriority = 1;  // a shared test machine starves low-priority threads
  job.relaxedSwitch = with == 1;
  double t = threshold / 100.0;
  t *= t;
  job.partThreshold = t < 0.42 ? 0.42 : t > 0.99 ? 0.99 : t;
  return job;
}

// Splits a written log into its lines (CR LF), dropping the first line (which holds the time).
inline std::vector<std::string> logBody(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 2;
  }
  if (!lines.empty()) lines.erase(lines.begin());
  return lines;
}

// Bytes of an item in the 8-bit-length format: the 19-byte block, or the oldest layout's 18 bytes
// with whole seconds and no frequency.
inline std::string shortItem(const std::string& name, const std::string& label, int32_t secondsOrFrames,
                      bool oldest, uint8_t bitrate = 9) {
  auto le32 = [](int32_t v) {
    std::string s(4, '\0');
    for (int k = 0; k < 4; ++k) s[k] = static_cast<char>((static_cast<uint32_t>(v) >> (8 * k)) & 0xFF);
    return s;
  };
  std::string b;
  b += static_cast<char>(name.size()) + name;
  b += static_cast<char>(7) + std::string("/folder");
  b += static_cast<char>(label.size()) + label;
  b += static_cast<char>(bitrate);
  b += le32(5000);
  b += le32(secondsOrFrames);
  b += static_cast<char>(1);            // stereo mode
  if (!oldest) b += static_cast<char>(2);  // frequency
  b += le32(40000) + le32(40100);
  return b;
}

inline const std::string kShortMagic("\x03\x51\x76\x78", 4);

// A LoadChannel that records texts and answers questions from a script.
class RecordingChannel : public LoadChannel {
 public:
  std::vector<std::string> statuses, warnings, questions;
  std::vector<int> widths;
  std::deque<bool> answers;
  bool stop = false;
  void status(std::string text) override { statuses.push_back(std::move(text)); }
  void statusWidth(int pixels) override { widths.push_back(pixels); }
  void warning(std::string text) override { warnings.push_back(std::move(text)); }
  bool ask(std::string text, std::string caption) override {
    questions.push_back(caption + ": " + text);
    if (answers.empty()) return false;
    const bool a = answers.front();
    answers.pop_front();
    return a;
  }
  bool stopRequested() override { return stop; }
};

}  // namespace sonalog::testing

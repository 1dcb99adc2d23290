#include "tests/support/DupOracle.h"

namespace sonalog::testing {

namespace {

std::string askKey(const std::string& file1, const std::string& file2, uint8_t score) {
  return file1 + "|" + file2 + "|" + std::to_string(score);
}

}  // namespace

DupOutcome oracleDupSearch(const std::vector<ListItem>& items, const DupSearchOptions& options,
                           const DupAnswerer& answerer) {
  MatchOptions match = options.match;
  match.relaxed = false;
  DupOutcome out;
  const size_t n = items.size();
  out.marks.assign(n, 1);
  size_t offered = 0;
  auto log = [&](const ListItem& item) {
    if (offered < kLogListLimit) out.logList.push_back(item.fileName);
    else if (offered == kLogListLimit) out.logList.push_back(kLogFullNotice);
    ++offered;
  };
  for (size_t i = 0; i + 1 < n; ++i) {
    for (size_t j = i + 1; j < n; ++j) {
      if (out.marks[j] == 0) continue;
      const uint8_t score = MatchPercent(items[i].fileName, items[j].fileName, match);
      if (score < match.matchThreshold || !PairPassesCriteria(items[i], items[j], RunKind::Duplicates, match))
        continue;
      if (options.actionMode == kActionAutomatic || (options.actionMode == kActionAutomaticExact && score >= 99)) {
        out.marks[j] = 0;
        ++out.matches;
        ++out.duplicates;
        log(items[j]);
        continue;
      }
      const std::string file1 = fileLine("File 1: ", items[i], options.style);
      const std::string file2 = fileLine("File 2: ", items[j], options.style);
      ++out.matches;
      out.asks.push_back(askKey(file1, file2, score));
      const uint8_t answer = answerer(file1, file2, score);
      if (answer == kSearchStop) return out;
      if (answer == kDelete1st) {
        if (out.marks[i] != 0) {  // counted once even when already queued
          out.marks[i] = 0;
          ++out.duplicates;
          log(items[i]);
        }
        break;
      }
      if (answer == kDelete2nd) {
        out.marks[j] = 0;
        ++out.duplicates;
        log(items[j]);
      }
    }
  }
  out.completed = true;
  out.finish = finishText(out.matches, out.duplicates);
  return out;
}

DupOutcome runDupSearch(const std::vector<ListItem>& items, const DupSearchOptions& options,
                        const DupAnswerer& answerer) {
  DupSearchRun run(items, options);
  DupOutcome out;
  run.start();
  for (;;) {
    const bool ended = run.workerEnded();
    for (DupEvent& e : run.takeEvents()) {
      switch (e.kind) {
        case DupEvent::Kind::Log:
          out.logList.push_back(std::move(e.text));
          break;
        case DupEvent::Kind::Ask: {
          out.asks.push_back(askKey(e.file1, e.file2, e.score));
          const uint8_t answer = answerer(e.file1, e.file2, e.score);
          if (answer == kSearchStop) run.stop();
          else run.answer(answer);
          break;
        }
        case DupEvent::Kind::AskEnd:
          break;
        case DupEvent::Kind::Finished:
          out.completed = true;
          out.finish = e.text;
          break;
      }
    }
    if (ended) break;
    run.waitForEvent(std::chrono::milliseconds(50));
  }
  run.join();
  out.marks = run.deletionMarks();
  out.matches = run.matchesFound();
  out.duplicates = run.duplicatesToDelete();
  if (out.completed != !run.searchRunning()) out.finish += " (running flag disagrees)";
  return out;
}

}  // namespace sonalog::testing

#pragma once
// Drives a compare run without a window: the command line and the tests answer its questions,
// confirmations and the removal through a Responder, on the calling thread, while the worker
// runs. A window binds to TMyThread directly instead (a timer applies the same events).

#include <cstdint>
#include <string>

#include "compare/CompUnit.h"

namespace sonalog {

class CompareResponder {
 public:
  virtual ~CompareResponder() = default;
  virtual void warning(const std::string& text) = 0;
  // A Yes/No question of the loading ("invalid data found", "error").
  virtual bool question(const std::string& text, const std::string& caption) = 0;
  // A candidate to confirm: returns kCompareMatch, kCompareDiffer or kCompareEnd.
  virtual uint8_t confirm(uint8_t score, const std::string& internalLine,
                          const std::string& externalLine) = 0;
  // The removal waits for "&DELETE": true performs it.
  virtual bool confirmRemoval(const std::string& finishText) = 0;
  // Polled while the run goes on: true presses "&ABORT".
  virtual bool abortRequested() { return false; }
  // The stop question after an abort ("prompt", Yes/No): true saves what was found so far.
  virtual bool saveOnAbort(const std::string& question) = 0;
  // A line added to the action log list (at most 30000 and the "LOG FULL" line).
  virtual void logLine(const std::string& line) { (void)line; }
  // Progress 0..1000 and the first file label's text, whenever either changed.
  virtual void progress(uint16_t permille, const std::string& status) { (void)permille, (void)status; }
};

// Starts the run and answers it until the worker has ended; returns how it ended. A finished
// run that waits for "&CLOSE" is closed.
CompOutcome driveCompare(TMyThread& run, CompareResponder& responder);

}  // namespace sonalog

#include "compare/CompareDriver.h"

#include <chrono>
#include <vector>

namespace sonalog {

namespace {

// How long the driver waits for an event before it looks at the abort request again.
constexpr auto kPollInterval = std::chrono::milliseconds(20);

}  // namespace

CompOutcome driveCompare(TMyThread& run, CompareResponder& responder) {
  run.start();
  std::vector<CompEvent> events;
  std::string label1, label2;
  uint16_t shownProgress = 0xFFFF;
  // An abort asked for while the external list loads stays pending: when the loading ends
  // before it sees the request, the abort is made again once the matching runs. It counts as
  // done once it reached the run.
  bool abortPending = false;
  bool abortDone = false;
  for (;;) {
    const bool ended = run.ended();
    events.clear();
    run.takeEvents(events);
    for (const CompEvent& e : events) {
      using Kind = CompEvent::Kind;
      if (e.kind == Kind::Warning) {
        responder.warning(e.text);
      } else if (e.kind == Kind::Question) {
        run.answerQuestion(responder.question(e.text, e.caption));
      } else if (e.kind == Kind::Text && e.control == CompControl::labfile1) {
        label1 = e.text;
        responder.progress(run.progress(), label1);
      } else if (e.kind == Kind::LogLine) {
        responder.logLine(e.text);
      } else if (e.kind == Kind::Text && e.control == CompControl::labfile2) {
        label2 = e.text;
      } else if (e.kind == Kind::Visible && e.control == CompControl::MatchBut && e.flag) {
        // The worker has set compareState to 0 and waits for this answer.
        run.answer(responder.confirm(run.currentScore(), label1, label2));
      } else if (e.kind == Kind::Text && e.control == CompControl::DeleteBut &&
                 e.text == "&DELETE") {
        run.answer(responder.confirmRemoval(run.finishText()) ? kCompareDelete : kCompareEnd);
      }
    }
    if (ended) break;
    if (!abortDone && !abortPending && responder.abortRequested()) abortPending = true;
    if (abortPending) {
      const CompPhase phase = run.phase();
      if (auto question = run.beginAbort()) {
        run.finishAbort(responder.saveOnAbort(*question));
        abortPending = false;
        abortDone = true;
      } else if (phase != CompPhase::Idle && phase != CompPhase::Loading) {
        abortPending = false;
        abortDone = true;
      }
    }
    if (run.progress() != shownProgress && run.phase() == CompPhase::Matching) {
      shownProgress = run.progress();
      responder.progress(shownProgress, label1);
    }
    run.waitForEvents(kPollInterval);
  }
  run.join();
  if (run.outcome() == CompOutcome::Completed && run.compareState() != kCompareEnd) run.close();
  return run.outcome();
}

}  // namespace sonalog

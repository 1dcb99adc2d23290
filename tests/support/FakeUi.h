#pragma once
// The silent user interface as the tests drive it: it also records every status text and can
// simulate CANCEL after a number of event pumps and a status line of a given width.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/SilentUi.h"

namespace sonalog::testing {

class FakeUi : public SilentUi {
 public:
  std::vector<std::string> statuses;  // every status text, in order
  long cancelAfterEvents = -1;        // >= 0: processEvents reports CANCEL on that call
  long eventCalls = 0;
  size_t statusWidth = SIZE_MAX;      // status texts longer than this many bytes do not fit

  void setStatus(std::string_view text) override { statuses.emplace_back(text); }
  bool statusFits(std::string_view text) const override { return text.size() <= statusWidth; }
  bool processEvents() override { return eventCalls++ == cancelAfterEvents; }

  std::string lastStatus() const { return statuses.empty() ? std::string() : statuses.back(); }
};

}  // namespace sonalog::testing

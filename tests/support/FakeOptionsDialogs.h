#pragma once
// Colour and font dialogs for tests of the options window: answers come from queues (an empty
// queue answers Cancel) and each dialog records what it was preset with.

#include <array>
#include <deque>
#include <optional>
#include <vector>

#include "settings/OptUnit.h"

namespace sonalog::testing {

class FakeOptionsDialogs : public OptionsDialogs {
 public:
  std::deque<std::optional<Colour>> colours;
  std::deque<std::optional<FontSetting>> fonts;
  // The custom colours the user leaves in the colour dialog; unset: as preset.
  std::optional<std::array<Colour, kCustomColourCount>> customAfter;
  std::vector<Colour> colourPresets;
  std::vector<FontSetting> fontPresets;

  std::optional<Colour> chooseColour(Colour initial, std::array<Colour, kCustomColourCount>& custom) override {
    colourPresets.push_back(initial);
    if (customAfter) custom = *customAfter;
    return next(colours);
  }
  std::optional<FontSetting> chooseFont(const FontSetting& initial) override {
    fontPresets.push_back(initial);
    return next(fonts);
  }

 private:
  template <class T>
  static std::optional<T> next(std::deque<std::optional<T>>& queue) {
    if (queue.empty()) return std::nullopt;
    auto v = queue.front();
    queue.pop_front();
    return v;
  }
};

}  // namespace sonalog::testing

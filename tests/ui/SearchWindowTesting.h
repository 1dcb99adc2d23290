#pragma once
// Helpers of the duplicates and comparison window tests: finding a window's controls by name
// (and the event pumping they wait with).

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QWidget>

#include <string>
#include <vector>

#include "tests/support/PumpUntil.h"
#include "ui/widgets/QtText.h"

namespace sonalog::testing {

// The control named name in window; fails the test when missing.
template <typename T>
T* control(QWidget& window, const char* name) {
  T* found = window.findChild<T*>(QString::fromUtf8(name));
  EXPECT_NE(found, nullptr) << name;
  return found;
}

inline std::string textOf(QWidget& window, const char* name) {
  if (auto* label = window.findChild<QLabel*>(QString::fromUtf8(name))) return ui::toStd(label->text());
  if (auto* button = window.findChild<QAbstractButton*>(QString::fromUtf8(name))) return ui::toStd(button->text());
  ADD_FAILURE() << "no label or button " << name;
  return {};
}

// Shown and not hidden by the window (the window itself may be off screen in a test).
inline bool shown(QWidget& window, const char* name) {
  QWidget* w = window.findChild<QWidget*>(QString::fromUtf8(name));
  return w != nullptr && w->isVisibleTo(&window);
}

// Lines as a window shows them: names that are not UTF-8 are shown decoded as Windows-1252.
inline std::vector<std::string> asShown(const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  for (const std::string& line : lines) out.push_back(ui::toStd(ui::qt(line)));
  return out;
}

// Clicks a button of window by name.
inline void click(QWidget& window, const char* name) {
  if (auto* b = control<QAbstractButton>(window, name)) b->click();
}

}  // namespace sonalog::testing

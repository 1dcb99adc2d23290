#pragma once
// Helpers of the duplicates and comparison window tests: the fixture that runs a window on a
// list, finding a window's controls by name (and the event pumping they wait with).

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "core/MainUnit.h"
#include "tests/support/FakeUi.h"
#include "tests/support/PumpUntil.h"
#include "tests/support/TempHome.h"
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

// A run window (the duplicates search or the comparison) on the main unit's list, started as
// the program starts it; its boxes are recorded and answered, never shown.
template <class Form>
class RunWindowTest : public ::testing::Test {
 protected:
  TempHome home;
  FakeUi mainUi;
  MainUnit main{mainUi};
  std::unique_ptr<Form> form;
  bool closed = false;

  template <class Job>
  void start(const std::vector<ListItem>& items, const Job& job) {
    main.list().items = items;
    closed = false;
    form = std::make_unique<Form>(main, job);
    QObject::connect(form.get(), &Form::closed, [this] { closed = true; });
    form->ui().script({});
    form->newRun();
    form->show();
  }
  bool waitClosed() { return pumpUntil([this] { return closed; }); }
  // The run's end: the button shown at the end, or the window closed.
  bool waitShownOrClosed(const char* button) {
    return pumpUntil([this, button] { return closed || shown(*form, button); });
  }
  std::vector<std::string> logLines() const {
    std::vector<std::string> lines;
    for (const QString& l : form->logModel().lines()) lines.push_back(ui::toStd(l));
    return lines;
  }
};

}  // namespace sonalog::testing

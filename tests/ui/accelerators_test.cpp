// Every window's keyboard accelerators are unique within it: two controls on Alt+L reach only
// the first.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <map>
#include <optional>

#include "core/MainUnit.h"
#include "tests/support/FakeOptionsDialogs.h"
#include "tests/support/FakeUi.h"
#include "tests/support/TempHome.h"
#include "ui/AboutUnit.h"
#include "ui/ImportOptionsForm.h"
#include "ui/InputCaption.h"
#include "ui/LoadMergeUnit.h"
#include "ui/MainForm.h"
#include "ui/OptionsForm.h"
#include "ui/PreCompForm.h"
#include "ui/PreDupForm.h"
#include "ui/QtUserInterface.h"

namespace sonalog::ui {
namespace {

// The accelerator of a caption: the letter after a single "&" ("&&" is a plain "&").
std::optional<QChar> accelerator(const QString& caption) {
  for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != QLatin1Char('&')) continue;
    if (caption[i + 1] != QLatin1Char('&')) return caption[i + 1].toLower();
    ++i;
  }
  return std::nullopt;
}

// Each accelerator of window mapped to the controls that carry it; a label counts when it has
// a buddy (its accelerator moves the focus there).
std::map<QChar, QStringList> accelerators(const QWidget& window) {
  std::map<QChar, QStringList> out;
  auto note = [&](const QWidget* w, const QString& caption) {
    if (const auto key = accelerator(caption)) out[*key] << w->objectName() + " \"" + caption + "\"";
  };
  for (const QWidget* w : window.findChildren<QWidget*>()) {
    if (w->window() != &window) continue;
    if (const auto* b = qobject_cast<const QAbstractButton*>(w)) note(w, b->text());
    if (const auto* l = qobject_cast<const QLabel*>(w); l && l->buddy()) note(w, l->text());
    if (const auto* g = qobject_cast<const QGroupBox*>(w)) note(w, g->title());
  }
  return out;
}

void expectUnique(const QWidget& window) {
  for (const auto& [key, controls] : accelerators(window))
    EXPECT_EQ(controls.size(), 1) << window.objectName().toStdString() << " Alt+" << QString(key).toStdString()
                                  << ": " << controls.join(", ").toStdString();
}

TEST(AcceleratorTest, NoWindowGivesOneKeyToTwoControls) {
  testing::TempHome home;
  QtUserInterface ui;
  ui.script({});
  MainUnit main(ui);
  ASSERT_TRUE(main.startUp({}, home.path("program")));
  TMainForm form(main, ui);
  for (const QWidget* w : std::initializer_list<const QWidget*>{&form, &form.aboutForm(), &form.loadMergeForm(),
                                                                 &form.inputCaptionForm(), &form.importForm()})
    expectUnique(*w);

  Settings settings;
  expectUnique(TPreDupForm(settings));
  expectUnique(TPreCompForm(settings));
  testing::FakeUi fake;
  testing::FakeOptionsDialogs dialogs;
  OptionsForm options(settings, fake, nullptr, &dialogs);
  options.activate();
  expectUnique(options);
}

}  // namespace
}  // namespace sonalog::ui

// Every window's keyboard accelerators are unique within it: two controls on one Alt key reach
// only the first.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <map>

#include "tests/support/FakeOptionsDialogs.h"
#include "tests/support/FakeUi.h"
#include "tests/support/TempHome.h"
#include "ui/main/AboutForm.h"
#include "ui/main/ImportForm.h"
#include "ui/main/InputCaptionForm.h"
#include "ui/main/LoadMergeForm.h"
#include "ui/main/MainForm.h"
#include "ui/options/OptionsForm.h"
#include "ui/search/PreCompForm.h"
#include "ui/search/PreDupForm.h"
#include "ui/widgets/QtUserInterface.h"

namespace sonalog::ui {
namespace {

// Checks buttons, group boxes and labels with a buddy; "&&" is a plain "&".
void expectUnique(const QWidget& window) {
  std::map<QChar, QStringList> keys;
  for (const QWidget* w : window.findChildren<QWidget*>()) {
    QString caption;
    if (const auto* b = qobject_cast<const QAbstractButton*>(w)) caption = b->text();
    if (const auto* l = qobject_cast<const QLabel*>(w); l && l->buddy()) caption = l->text();
    if (const auto* g = qobject_cast<const QGroupBox*>(w)) caption = g->title();
    const qsizetype at = QString(caption).replace("&&", "__").indexOf('&');
    if (w->window() == &window && at >= 0 && at + 1 < caption.size()) keys[caption[at + 1].toLower()] << caption;
  }
  for (const auto& [key, captions] : keys)
    EXPECT_EQ(captions.size(), 1) << window.objectName().toStdString() << ": " << captions.join(", ").toStdString();
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

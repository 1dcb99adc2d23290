#include "ui/options/OptionsForm.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>

#include "tests/support/FakeOptionsDialogs.h"
#include "tests/support/FakeUi.h"
#include "tests/support/TempHome.h"

namespace sonalog::ui {
namespace {

using testing::FakeOptionsDialogs;
using testing::FakeUi;
using testing::TempHome;

class OptionsFormTest : public ::testing::Test {
 protected:
  OptionsFormTest() {
    setAllDefaults(s, ScreenSize{1280, 800});
    form.emplace(s, ui, nullptr, &dialogs);
    form->activate();
  }
  template <class T = QWidget>
  T* child(const char* name) {
    T* w = form->findChild<T*>(QString::fromUtf8(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  QCheckBox* check(const char* name) { return child<QCheckBox>(name); }
  QComboBox* combo(const char* name) { return child<QComboBox>(name); }
  QLineEdit* edit(const char* name) { return child<QLineEdit>(name); }
  QPushButton* push(const char* name) { return child<QPushButton>(name); }
  void type(const char* name, const QString& text) {
    QLineEdit* e = edit(name);
    e->setText(text);
    emit e->textEdited(text);
  }
  QColor background(const char* name) { return edit(name)->palette().color(QPalette::Base); }

  TempHome home;
  Settings s;
  FakeUi ui;
  FakeOptionsDialogs dialogs;
  std::optional<OptionsForm> form;
};

TEST_F(OptionsFormTest, EveryControlIsThereWithItsCaptionAndHint) {
  EXPECT_EQ(form->windowTitle(), " mp3 Sonalog - OPTIONS");
  const std::pair<const char*, const char*> captions[] = {
      {"FrameInfo", " &Info to display/export "}, {"FrameStyles", " S&tyles "},
      {"FrameProcessing", " &Processing "},       {"FrameExport", " E&xport format "},
      {"FrameAppearance", "Appearance of"}};
  for (const auto& [name, caption] : captions) EXPECT_EQ(child<QGroupBox>(name)->title(), caption);
  const std::pair<const char*, const char*> buttons[] = {
      {"DefBut", "&DEFAULTS"}, {"OkBut", "O&K"}, {"CancelBut", "&CANCEL"}, {"ButSaveOptAs", "&Save options as"},
      {"ButLoadOptFrom", "&Load options from"}, {"ButResAll", "&Reset ALL options"}, {"headbut", "txt"},
      {"head2but", "htm"}, {"ButTfont", "font"}, {"ButCapFont", "caption font"}, {"ButBatchCap", "batch?"}};
  for (const auto& [name, caption] : buttons) EXPECT_EQ(push(name)->text(), caption);
  EXPECT_EQ(check("CheckPath")->text(), "Path (drive:\\folder)");
  EXPECT_EQ(check("AddHeaderCheck")->text(), "Add header row && use tabs as delimiters");
  EXPECT_EQ(check("CheckSh")->text(), "Include system && hidden files");
  EXPECT_EQ(child<QRadioButton>("doption3")->text(), "{ }");
  EXPECT_EQ(combo("ComboK")->itemText(1), "Space K (ie \"5000 K\")");
  EXPECT_EQ(combo("ooptcombo")->count(), 5);
  EXPECT_EQ(edit("EditMaxcursav")->maxLength(), 5);

  // Every named control explains itself for ten seconds.
  for (QWidget* w : form->findChildren<QWidget*>()) {
    const bool control = qobject_cast<QCheckBox*>(w) || qobject_cast<QComboBox*>(w) ||
                         qobject_cast<QLineEdit*>(w) || qobject_cast<QPushButton*>(w) ||
                         qobject_cast<QRadioButton*>(w);
    if (!control || w->objectName().isEmpty() || w->objectName().startsWith("qt_")) continue;
    EXPECT_FALSE(w->toolTip().isEmpty()) << w->objectName().toStdString();
    EXPECT_EQ(w->toolTipDuration(), 10000) << w->objectName().toStdString();
  }
  // It fits a 1280 x 800 screen with room for its frame.
  EXPECT_LE(form->width(), 1260);
  EXPECT_LE(form->height(), 760);
  EXPECT_TRUE(check("CheckEnum")->hasFocus() || !form->isActiveWindow());
}

TEST_F(OptionsFormTest, ControlsFollowTheRulesAndWriteTheRecord) {
  EXPECT_FALSE(push("headbut")->isEnabled());
  check("CheckHead")->click();
  EXPECT_TRUE(s.CheckHead);
  for (const char* b : {"headbut", "head2but", "ButEditHeadText", "ButEditHeadHtml"}) EXPECT_TRUE(push(b)->isEnabled()) << b;
  EXPECT_FALSE(push("footbut")->isEnabled());

  check("CheckSort")->click();
  EXPECT_FALSE(s.CheckSort);
  EXPECT_FALSE(combo("sortcombo")->isEnabled());
  EXPECT_FALSE(check("CheckDescend")->isEnabled());
  EXPECT_FALSE(check("CheckCase")->isEnabled());
  check("CheckSort")->click();
  combo("sortcombo")->setCurrentIndex(7);
  EXPECT_EQ(s.sortcombo, 7);
  EXPECT_TRUE(check("CheckCase")->isEnabled());
  combo("sortcombo")->setCurrentIndex(3);
  EXPECT_FALSE(check("CheckCase")->isEnabled());

  EXPECT_FALSE(push("ButCapFont")->isEnabled());
  combo("ComboCap")->setCurrentIndex(3);
  EXPECT_TRUE(push("ButCapFont")->isEnabled());
  EXPECT_FALSE(check("CheckFpb")->isEnabled());
  combo("ListLoadCombo")->setCurrentIndex(2);
  EXPECT_TRUE(push("StartListBut")->isEnabled());

  // The header row takes over file type, header, delimiter and padding, and gives them back.
  combo("ooptcombo")->setCurrentIndex(2);
  type("estext", "12");
  EXPECT_EQ(s.estext, 12);
  check("AddHeaderCheck")->click();
  EXPECT_EQ(combo("ooptcombo")->currentIndex(), 0);
  EXPECT_TRUE(child<QRadioButton>("doption5")->isChecked());
  EXPECT_EQ(edit("estext")->text(), "0");
  EXPECT_FALSE(check("CheckHead")->isChecked());
  EXPECT_FALSE(push("headbut")->isEnabled());
  combo("ooptcombo")->setCurrentIndex(2);
  EXPECT_FALSE(check("AddHeaderCheck")->isChecked());
  EXPECT_TRUE(check("CheckHead")->isChecked());
  EXPECT_TRUE(child<QRadioButton>("doption0")->isChecked());
  EXPECT_EQ(edit("estext")->text(), "12");
  EXPECT_TRUE(ui.shown.empty());

  // Plain HTML with tabs is pointed out.
  child<QRadioButton>("doption5")->click();
  combo("ooptcombo")->setCurrentIndex(1);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, kPlainHtmlTabs);
}

TEST_F(OptionsFormTest, EditFieldsTurnRedAndPutBackTheOpeningValue) {
  type("minsizetext", "300");
  EXPECT_EQ(s.minsizetext, 300);
  EXPECT_EQ(background("minsizetext"), QColor(240, 240, 240));
  type("minsizetext", "3000");
  EXPECT_EQ(s.minsizetext, 300);
  EXPECT_EQ(background("minsizetext"), QColor(255, 128, 128));
  EXPECT_EQ(edit("minsizetext")->text(), "3000");
  emit edit("minsizetext")->editingFinished();
  EXPECT_EQ(edit("minsizetext")->text(), "10");
  EXPECT_EQ(s.minsizetext, 10);
  EXPECT_EQ(background("minsizetext"), QColor(240, 240, 240));

  const QFont normal = edit("EditMaxcursav")->font();
  type("EditMaxcursav", "12345");
  EXPECT_LT(edit("EditMaxcursav")->font().pointSizeF(), normal.pointSizeF());
  type("EditMaxcursav", "0");
  EXPECT_EQ(ui.texts(), std::vector<std::string>{kNeverAskNote});
}

TEST_F(OptionsFormTest, OkWritesTheConfigurationAndCancelRestores) {
  check("CheckFreq")->click();
  combo("ComboVBR")->setCurrentIndex(4);
  push("OkBut")->click();
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(form->result().closedBy, OptionsClosed::Ok);
  EXPECT_TRUE(form->result().displayChanged);
  Settings stored;
  ASSERT_TRUE(loadSettings(workingConfigPath(), stored));
  EXPECT_TRUE(stored.CheckFreq);
  EXPECT_EQ(stored.ComboVBR, 4);

  form->activate();
  check("CheckFreq")->click();
  dialogs.fonts = {FontSetting{14, 1, "Serif", 0}};
  push("ButTfont")->click();
  EXPECT_EQ(s.tableFont.size, 14);
  push("CancelBut")->click();
  EXPECT_FALSE(form->isVisible());
  EXPECT_TRUE(s.CheckFreq);
  EXPECT_EQ(s.tableFont.size, 8);
  EXPECT_EQ(form->result().closedBy, OptionsClosed::Cancel);
}

TEST_F(OptionsFormTest, TitleBarCloseAsksAndCancelKeepsTheWindowOpen) {
  form->move(120, 90);
  check("CheckVl")->click();
  ui.answers = {Answer::Cancel, Answer::No};
  form->close();
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(check("CheckVl")->isChecked());
  form->close();
  EXPECT_FALSE(form->isVisible());
  EXPECT_FALSE(s.CheckVl);
  EXPECT_EQ(ui.texts(), (std::vector<std::string>{kSaveBeforeClosing, kSaveBeforeClosing}));
  EXPECT_EQ(s.optionsWindowPos, (WindowPosition{form->x(), form->y()}));
}

TEST_F(OptionsFormTest, PanelShowsTheChosenWindowColourAndAppliesItAtOnce) {
  combo("ComboCow")->setCurrentIndex(2);
  dialogs.colours = {0x00FF00};
  int calls = 0;
  form->setColoursChanged([&] { ++calls; });
  push("PanelW")->click();
  EXPECT_EQ(s.optionsWindowColour, 0x00FF00u);
  EXPECT_EQ(form->palette().color(QPalette::Window), QColor(0, 255, 0));
  EXPECT_EQ(calls, 1);
  combo("ComboTap")->setCurrentIndex(1);
  EXPECT_EQ(s.fadeOptionsWindow, 1);
}

TEST_F(OptionsFormTest, EscapeCancelsAndResetAllClosesWithoutAsking) {
  check("CheckDate")->click();
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(form->findChild<QWidget*>("FrameInfo"), &escape);
  EXPECT_FALSE(form->isVisible());
  EXPECT_FALSE(s.CheckDate);

  form->activate();
  check("CheckDate")->click();
  ui.answers = {Answer::Ok};
  push("ButResAll")->click();
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(form->result().closedBy, OptionsClosed::ResetAll);
  EXPECT_EQ(ui.texts(), std::vector<std::string>{kResetAllQuestion});
  EXPECT_FALSE(s.CheckDate);
}

TEST_F(OptionsFormTest, RunDisablesTheCallerUntilTheWindowCloses) {
  form.reset();
  QWidget caller;
  caller.show();
  bool callerWasDisabled = false;
  bool formWasEnabled = false;
  QPoint centreOffset(-1, -1);  // asked to centre: the window's centre from the screen's
  QTimer::singleShot(0, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() != "TOptform" || !w->isVisible()) continue;
      callerWasDisabled = !caller.isEnabled();
      formWasEnabled = w->isEnabled();
      centreOffset = w->frameGeometry().center() - w->screen()->availableGeometry().center();
      w->findChild<QCheckBox*>("CheckEnum")->click();
      w->findChild<QPushButton*>("OkBut")->click();
    }
  });
  const OptionsResult result = runOptionsWindow(&caller, s, ui, {}, true);
  EXPECT_LE(centreOffset.manhattanLength(), 16);  // not at the stored corner
  EXPECT_TRUE(callerWasDisabled);
  EXPECT_TRUE(formWasEnabled);
  EXPECT_TRUE(caller.isEnabled());
  EXPECT_EQ(result.closedBy, OptionsClosed::Ok);
  EXPECT_TRUE(result.displayChanged);
  EXPECT_TRUE(s.CheckEnum);
}

}  // namespace
}  // namespace sonalog::ui

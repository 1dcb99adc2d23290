#include "ui/widgets/QtUserInterface.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <QWidget>

#include "tests/support/TempHome.h"
#include "ui/widgets/Fader.h"
#include "ui/widgets/QtText.h"
#include "ui/widgets/WindowPlacement.h"

namespace sonalog::ui {
namespace {

TEST(QtUserInterfaceTest, ScriptedBoxesAreRecordedAndAnsweredInOrder) {
  QtUserInterface ui;
  ui.script({Answer::Yes});
  ui.warning(std::string(300, 'x'));
  EXPECT_EQ(ui.ask("Sure?", "quit?", Buttons::YesNo, Icon::Question), Answer::Yes);
  // The queue is empty: the answer of Escape, Cancel, though No is preselected.
  EXPECT_EQ(ui.ask("Save?", "prompt", Buttons::YesNoCancel, Icon::Question, Answer::No), Answer::Cancel);
  ASSERT_EQ(ui.shown.size(), 3u);
  EXPECT_EQ(ui.shown[0].caption, "Warning");
  EXPECT_EQ(ui.shown[0].text.size(), kWarningTextLimit);
  EXPECT_EQ(ui.shown[1].text, "Sure?");
}

TEST(QtUserInterfaceTest, StatusGoesToTheLabelAndCancelIsSeenOnce) {
  QWidget window;
  auto* label = new QLabel(&window);
  label->resize(200, 20);
  QtUserInterface ui(&window);
  ui.setStatusLabel(label);
  ui.setStatus("Loaded 13 items.");
  EXPECT_EQ(label->text(), QStringLiteral("Loaded 13 items."));
  EXPECT_TRUE(ui.statusFits("Ready."));
  EXPECT_FALSE(ui.statusFits(std::string(400, 'W')));

  EXPECT_FALSE(ui.processEvents());
  // Escape pressed while events run (a timer stands in for the key): seen at the first call
  // that runs events, the kCallsPerPump-th at the latest, and only once.
  bool pressed = false;
  QTimer::singleShot(0, [&] {
    pressed = true;
    ui.requestCancel();
  });
  bool cancelled = false;
  int calls = 0;
  while (!cancelled && calls < kCallsPerPump) {
    cancelled = ui.processEvents();
    ++calls;
  }
  EXPECT_TRUE(pressed);
  EXPECT_TRUE(cancelled);
  EXPECT_FALSE(ui.processEvents());
}

TEST(QtUserInterfaceTest, NamesAreDecodedAndFiltersBecomeQtFilters) {
  EXPECT_EQ(qtFilters({{"List files (*.snlg)", {"*.snlg"}}, {"All files (*.*)", {"*.*"}}}),
            QStringLiteral("List files (*.snlg);;All files (*)"));
  EXPECT_EQ(qtFilters({{"Text", {"*.txt", "*.TXT"}}}), QStringLiteral("Text (*.txt *.TXT)"));
  // A Windows-1252 name (not valid UTF-8) shows its accented letter.
  EXPECT_EQ(qt("Caf\xe9"), QString::fromUtf8("Café"));
  EXPECT_EQ(toStd(QString::fromUtf8("Café")), "Caf\xc3\xa9");
}

TEST(QtUserInterfaceTest, ScriptedOpenAndFileDialogs) {
  QtUserInterface ui;
  ui.script({}, {FileDialogResult{"/tmp/a.snlg", 0}});
  ui.openResults = {OpenResult::NoAssociation};
  EXPECT_EQ(ui.openDocument("/tmp/x.m3u", false), OpenResult::NoAssociation);
  EXPECT_EQ(ui.openDocument("/tmp/h.txt", true), OpenResult::Ok);
  ASSERT_EQ(ui.opened.size(), 2u);
  EXPECT_TRUE(ui.opened[1].second);
  EXPECT_EQ(ui.openFile({"Load list", "/tmp", "", {}, 0, "snlg"})->path, "/tmp/a.snlg");
  EXPECT_FALSE(ui.saveFile({"Save as", "/tmp", "x", {}, 0, "snlg"}).has_value());
  EXPECT_EQ(ui.dialogs.size(), 2u);
}

TEST(QtUserInterfaceTest, TheFileDialogSizeTheUserGaveIsKeptForTheNextRun) {
  const testing::TempHome home;
  const std::string kept = home.path("state.ini");
  QtUserInterface first;
  first.keepFileDialogSize(kept);
  QTimer::singleShot(0, [] {
    QWidget* dialog = QApplication::activeModalWidget();
    dialog->resize(1000, 600);
    dialog->close();
  });
  EXPECT_FALSE(first.openFile({"Load list", home.path(), "", {}, 0, "snlg"}).has_value());
  QtUserInterface next;
  next.keepFileDialogSize(kept);
  EXPECT_EQ(next.fileDialogSize(), QSize(1000, 600));
}

TEST(WindowPlacementTest, PositionsOffEveryScreenComeBack) {
  const QList<QRect> screens = {QRect(0, 0, 1280, 800), QRect(1280, 0, 1920, 1080)};
  // On the second screen: kept.
  EXPECT_EQ(placeOnScreens(QRect(1500, 100, 600, 400), screens), QRect(1500, 100, 600, 400));
  // A screen that is gone (far right): moved onto the primary one, inside it.
  EXPECT_EQ(placeOnScreens(QRect(5000, 3000, 600, 400), screens), QRect(680, 400, 600, 400));
  // Hanging over the top-left edge: pulled in.
  EXPECT_EQ(placeOnScreens(QRect(-100, -50, 600, 400), screens), QRect(0, 0, 600, 400));
  // Larger than the screen: shrunk to it.
  EXPECT_EQ(placeOnScreens(QRect(0, 0, 3000, 2000), {QRect(0, 0, 1280, 800)}), QRect(0, 0, 1280, 800));
}

TEST(FaderTest, FadesInToOpaqueAndOutToDone) {
  QWidget window;
  Fader fader(&window, 1);
  window.show();
  // Left to its timer, a fade-in ends fully opaque.
  fader.fadeIn();
  EXPECT_TRUE(fader.running());
  QEventLoop fading;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (!fader.running()) fading.quit();
  });
  poll.start(1);
  QTimer::singleShot(5000, &fading, &QEventLoop::quit);
  fading.exec();
  EXPECT_EQ(window.windowOpacity(), 1.0);
  fader.fadeIn();
  fader.finish();
  EXPECT_FALSE(fader.running());
  EXPECT_EQ(window.windowOpacity(), 1.0);
  bool done = false;
  QEventLoop loop;
  fader.fadeOut([&] {
    done = true;
    loop.quit();
  });
  QTimer::singleShot(5000, &loop, &QEventLoop::quit);  // a fade of 17 steps never takes this long
  loop.exec();
  EXPECT_TRUE(done);
}

}  // namespace
}  // namespace sonalog::ui

// sonalog-gui: the desktop program. One instance per user; the only argument, when given, is a list
// file to open.

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/MainUnit.h"
#include "platform/Paths.h"
#include "ui/main/GuiCommandLine.h"
#include "ui/main/MainForm.h"
#include "ui/viewer/ViewForm.h"
#include "ui/widgets/QtText.h"
#include "ui/widgets/QtUserInterface.h"
#include "ui/widgets/SingleInstance.h"

using namespace sonalog;
using namespace sonalog::ui;

namespace {

// With SONALOG_SCRIPTED_UI set (tests, the package's smoke test) no box waits for a person: every
// question takes its safe default, and the boxes are written to standard error when the program
// ends.
bool scriptedFromEnvironment() {
  const char* v = std::getenv("SONALOG_SCRIPTED_UI");
  return v && *v && std::string(v) != "0";
}

void reportScriptedBoxes(const QtUserInterface& ui) {
  for (const MessageBox& box : ui.shown) std::fprintf(stderr, "box [%s]: %s\n", box.caption.c_str(), box.text.c_str());
}

// SONALOG_EXIT_AFTER_PAINT (measurements): prints the time from the start of main to the main
// window's first paint and ends the program.
class ExitAfterFirstPaint : public QObject {
 public:
  explicit ExitAfterFirstPaint(const QElapsedTimer& sinceStart) : sinceStart_(sinceStart) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !done_) {
      done_ = true;
      std::printf("first paint after %lld ms\n", static_cast<long long>(sinceStart_.elapsed()));
      std::fflush(stdout);
      QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  const QElapsedTimer& sinceStart_;
  bool done_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  QElapsedTimer sinceStart;
  sinceStart.start();
  // --help and --version answer before Qt looks for a display.
  const GuiCommandLine commandLine = readGuiCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (commandLine.action == GuiCommandLine::Action::PrintAndExit) {
    std::fputs(commandLine.text.c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName("mp3 Sonalog");
  QApplication::setDesktopFileName("sonalog-gui");
  // Arguments stay the bytes the system gave, as file names are.
  std::vector<std::string> arguments(argv + 1, argv + argc);
  if (!arguments.empty() && arguments.front() == "--") arguments.erase(arguments.begin());

  QtUserInterface ui;
  const bool scripted = scriptedFromEnvironment();
  if (scripted) ui.script({});

  SingleInstance instance(platform::workingFolder());
  if (instance.acquire() == SingleInstance::Result::OtherInstance) {
    ui.show(MessageBox{alreadyRunningText(arguments.size()), kAlreadyRunningCaption, Buttons::Ok,
                       Icon::Exclamation, std::nullopt});
    if (scripted) reportScriptedBoxes(ui);
    return 0;
  }

  MainUnit main(ui);
  ScreenSize screen;
  if (const QScreen* primary = QGuiApplication::primaryScreen()) {
    screen.width = primary->availableGeometry().width();
    screen.height = primary->availableGeometry().height();
  }
  if (!main.startUp({}, {}, screen)) {
    if (scripted) reportScriptedBoxes(ui);
    return 1;
  }
  int status = 0;
  {
    TMainForm form(main, ui);
    form.setViewerWindow([&form, &main, &ui] {
      runViewerWindow(main, ui, &form, [&form] { form.SaveButClick(); },
                      [&form] { form.ExportButClick(); });
    });
    instance.onRaise([&form] { form.bringToFront(); });
    // Windows of other parts (the viewer, the options) must not keep the program alive.
    QObject::connect(&form, &TMainForm::closed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    ExitAfterFirstPaint exitAfterPaint(sinceStart);
    const char* measure = std::getenv("SONALOG_EXIT_AFTER_PAINT");
    if (measure && *measure && std::string(measure) != "0") form.installEventFilter(&exitAfterPaint);
    form.activate(arguments);
    status = QApplication::exec();
    instance.onRaise(nullptr);
  }
  if (scripted) reportScriptedBoxes(ui);
  return status;
}

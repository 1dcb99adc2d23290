#include "ui/widgets/Fader.h"

#include <QGuiApplication>
#include <QWidget>

namespace sonalog::ui {

namespace {
constexpr int kStep = 15;
constexpr int kOpaque = 255;

// An opacity change is a request to the window system that X11 keeps buffered until the program
// next talks to the server; an idle window would stay part-way faded until an event came.
// Syncing hands each step over at once.
void setOpacity(QWidget* window, int opacity) {
  window->setWindowOpacity(opacity / double(kOpaque));
  QGuiApplication::sync();
}
}  // namespace

Fader::Fader(QWidget* window, int intervalMs) : QObject(window), window_(window) {
  timer_.setInterval(intervalMs);
  connect(&timer_, &QTimer::timeout, this, &Fader::tick);
}

void Fader::fadeIn() {
  opacity_ = 0;
  step_ = kStep;
  setOpacity(window_, 0);
  timer_.start();
}

void Fader::fadeOut(std::function<void()> done) {
  done_ = std::move(done);
  step_ = -kStep;
  timer_.start();
}

void Fader::finish() {
  timer_.stop();
  if (step_ > 0) {
    opacity_ = kOpaque;
    setOpacity(window_, kOpaque);
  }
  step_ = 0;
  if (auto done = std::exchange(done_, nullptr)) done();
}

void Fader::tick() {
  opacity_ += step_;
  if (step_ > 0 && opacity_ >= kOpaque) {
    opacity_ = kOpaque;
    finish();
    return;
  }
  if (step_ < 0 && opacity_ < kStep) {
    opacity_ = 0;
    setOpacity(window_, 0);
    finish();
    return;
  }
  setOpacity(window_, opacity_);
}

}  // namespace sonalog::ui

#include "ui/Fader.h"

#include <QWidget>

namespace sonalog::ui {

namespace {
constexpr int kStep = 15;
constexpr int kOpaque = 255;
}  // namespace

Fader::Fader(QWidget* window, int intervalMs) : QObject(window), window_(window) {
  timer_.setInterval(intervalMs);
  connect(&timer_, &QTimer::timeout, this, &Fader::tick);
}

void Fader::fadeIn() {
  opacity_ = 0;
  step_ = kStep;
  window_->setWindowOpacity(0.0);
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
    window_->setWindowOpacity(1.0);
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
    window_->setWindowOpacity(0.0);
    finish();
    return;
  }
  window_->setWindowOpacity(opacity_ / double(kOpaque));
}

}  // namespace sonalog::ui

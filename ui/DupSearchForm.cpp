#include "ui/DupSearchForm.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "ui/QtText.h"
#include "ui/WindowPlacement.h"

namespace sonalog::ui {

namespace {

constexpr int kStartDelayMs = 50;
const QColor kOrange(255, 128, 0);
const QColor kYellow(255, 240, 0);

}  // namespace

TDupSearchForm::TDupSearchForm(MainUnit& main, DupSearchOptions options, QWidget* parent)
    : GradientWindow(kOrange, kYellow, parent), main_(main), options_(std::move(options)), ui_(this) {
  setObjectName("TDupSearchForm");
  setRunWindowFlags(this);
  setWindowTitle(QString::fromUtf8(kCaptionSearching));
  ui_.setParentWidget(this);

  const RunWindowControls c(this, "pbar");
  labprog_ = c.labprog;
  labprog_->setText(QString::fromUtf8(kProgressLabel));
  pbar_ = c.pbar;
  blink_ = std::make_unique<BlinkingProgress>(pbar_);
  invisilab_ = c.invisilab;
  labfile1_ = c.labfile1;
  labfile2_ = c.labfile2;
  logModel_ = c.logModel;
  logList_ = c.logList;

  del1But_ = namedButton("Del1But", "DELETE &1ST", this);
  del2But_ = namedButton("Del2But", "DELETE &2ND", this);
  leaveBut_ = namedButton("LeaveBut", "&LEAVE BOTH", this);
  abortBut_ = namedButton("AbortBut", "&ABORT", this);
  closeBut_ = namedButton("CloseBut", "&DELETE", this);
  saveLogBut_ = namedButton("SaveLogBut", "&SAVE LOG", this);
  viewLogBut_ = namedButton("ViewLogBut", "&VIEW LOG", this);
  connect(del1But_, &QPushButton::clicked, this, &TDupSearchForm::Del1ButClick);
  connect(del2But_, &QPushButton::clicked, this, &TDupSearchForm::Del2ButClick);
  connect(leaveBut_, &QPushButton::clicked, this, &TDupSearchForm::LeaveButClick);
  connect(abortBut_, &QPushButton::clicked, this, &TDupSearchForm::AbortButClick);
  connect(closeBut_, &QPushButton::clicked, this, &TDupSearchForm::CloseButClick);
  connect(saveLogBut_, &QPushButton::clicked, this, &TDupSearchForm::SaveLogButClick);
  connect(viewLogBut_, &QPushButton::clicked, this, &TDupSearchForm::ViewLogButClick);
  auto* logHeader = new QHBoxLayout;
  logHeader->addWidget(new QLabel(QStringLiteral("Deletion log:"), this));
  const WindowPosition& p = main_.settings().duplicatesSearchWindowPos;
  layOutRunWindow(this, c, logHeader, {del1But_, del2But_, leaveBut_, abortBut_, closeBut_, saveLogBut_, viewLogBut_},
                  p.left, p.top);

  startTimer_.setSingleShot(true);
  startTimer_.setInterval(kStartDelayMs);
  connect(&startTimer_, &QTimer::timeout, this, &TDupSearchForm::startWorker);
  pollTimer_.setInterval(kPollMs);
  connect(&pollTimer_, &QTimer::timeout, this, &TDupSearchForm::poll);
}

TDupSearchForm::~TDupSearchForm() = default;

void TDupSearchForm::newRun() { newRun_ = true; }

void TDupSearchForm::setMarksObserver(std::function<void(const std::vector<uint8_t>&)> observer) {
  marksObserver_ = std::move(observer);
}

void TDupSearchForm::showEvent(QShowEvent* event) {
  GradientWindow::showEvent(event);
  if (!newRun_) return;
  newRun_ = false;
  blink_->stopBlinking();
  blink_->setProgress(0);
  logModel_->clear();
  labfile1_->clear();
  labfile2_->clear();
  pbar_->show();
  labprog_->show();
  invisilab_->hide();
  for (QPushButton* b : {del1But_, del2But_, leaveBut_, closeBut_, saveLogBut_, viewLogBut_}) b->hide();
  labfile1_->hide();
  labfile2_->hide();
  abortBut_->setText(QStringLiteral("&ABORT"));
  abortBut_->show();
  setWindowTitle(QString::fromUtf8(kCaptionSearching));
  labprog_->setText(QString::fromUtf8(kProgressLabel));
  startTimer_.start();
}

void TDupSearchForm::startWorker() {
  if (closing_) return;
  run_ = std::make_unique<DupSearchRun>(main_.list().items, options_);
  run_->start();
  pollTimer_.start();
}

void TDupSearchForm::poll() {
  if (!run_) return;
  const bool ended = run_->workerEnded();  // read first: the events before the end are all queued
  applyEvents();
  applyVisibility();
  blink_->setProgress(run_->progress());
  if (marksObserver_ && run_->duplicatesToDelete() != marksShown_) {
    marksShown_ = run_->duplicatesToDelete();
    marksObserver_(run_->deletionMarks());
  }
  if (ended && run_->searchState() == kSearchStop) close();
}

void TDupSearchForm::applyEvents() {
  std::vector<std::string> logLines;
  for (DupEvent& e : run_->takeEvents()) {
    if (e.kind == DupEvent::Kind::Log) {
      logLines.push_back(std::move(e.text));
      continue;
    }
    logModel_->append(logLines, logList_);
    logLines.clear();
    switch (e.kind) {
      case DupEvent::Kind::Ask:
        asking_ = true;
        ++prompts_;
        labfile1_->setText(fittedFileLine(labfile1_, e.file1));
        labfile2_->setText(fittedFileLine(labfile2_, e.file2));
        setWindowTitle(qt(e.text));
        labprog_->setText(qt(e.text));
        blink_->startBlinking();
        break;
      case DupEvent::Kind::AskEnd:
        asking_ = false;
        setWindowTitle(QString::fromUtf8(kCaptionSearching));
        labprog_->setText(QString::fromUtf8(kProgressLabel));
        blink_->stopBlinking();
        labfile1_->clear();
        labfile2_->clear();
        break;
      case DupEvent::Kind::Finished: {
        finished_ = true;
        invisilab_->setText(qt(e.text));
        setWindowTitle(QString::fromUtf8(kCaptionFinished));
        const EndButtons b = run_->endButtons();
        if (b.abortVisible) abortBut_->setText(qt(b.abortCaption));
        closeBut_->setText(qt(b.closeCaption));
        viewLogBut_->hide();
        break;
      }
      case DupEvent::Kind::Log:
        break;
    }
  }
  logModel_->append(logLines, logList_);
}

void TDupSearchForm::applyVisibility() {
  const uint32_t v = run_->visibleControls();
  // The worker sets its flags just before it publishes the event that goes with them: controls
  // that need the event's texts wait for it.
  const bool prompt = asking_ && (v & kShowAnswerButtons);
  pbar_->setVisible(v & kShowProgressBar);
  labprog_->setVisible(v & kShowProgressLabel);
  invisilab_->setVisible(finished_ && (v & kShowFinishLabel));
  labfile1_->setVisible(asking_ && (v & kShowFileLabels));
  labfile2_->setVisible(asking_ && (v & kShowFileLabels));
  for (QPushButton* b : {del1But_, del2But_, leaveBut_}) b->setVisible(prompt);
  abortBut_->setVisible(v & kShowAbortBut);
  saveLogBut_->setVisible(finished_ && (v & kShowSaveLogBut));
  closeBut_->setVisible(finished_ && (v & kShowCloseBut));
}

void TDupSearchForm::pausePolling(bool paused) {
  if (!run_) return;
  if (paused) pollTimer_.stop();
  else if (!closing_) pollTimer_.start();
}

void TDupSearchForm::Del1ButClick() {
  if (run_) run_->answer(kDelete1st);
}

void TDupSearchForm::Del2ButClick() {
  if (run_) run_->answer(kDelete2nd);
}

void TDupSearchForm::LeaveButClick() {
  if (run_) run_->answer(kLeaveBoth);
}

void TDupSearchForm::AbortButClick() {
  if (run_) run_->abortButton();
  else close();
}

void TDupSearchForm::CloseButClick() {
  if (!run_ || !finished_) return;
  const std::string status = run_->deleteButton(main_.list());
  listChanged_ = run_->listChanged();
  main_.setStatus(status);
  close();
}

void TDupSearchForm::SaveLogButClick() {
  if (!run_) return;
  pausePolling(true);
  if (run_->saveLogButton(main_.list(), ui_, main_.settings().duplicatesLogFolder)) viewLogBut_->show();
  pausePolling(false);
}

void TDupSearchForm::ViewLogButClick() {
  if (run_ && !run_->savedLogPath().empty()) viewLogFile(viewLogBut_, ui_, run_->savedLogPath(), true);
}

void TDupSearchForm::closeEvent(QCloseEvent* event) {
  if (closing_) {
    event->accept();
    return;
  }
  closing_ = true;
  startTimer_.stop();
  pollTimer_.stop();
  blink_->stopBlinking();
  if (run_) {
    // Stops a running worker and waits for it; a search stopped with items queued asks whether
    // to revert.
    run_->close(main_.list(), ui_);
    listChanged_ = run_->listChanged();
  }
  main_.settings().duplicatesSearchWindowPos = {x(), y()};
  viewLogBut_->hide();
  event->accept();
  Q_EMIT closed();
}

void TDupSearchForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    close();
    return;
  }
  GradientWindow::keyPressEvent(event);
}

}  // namespace sonalog::ui

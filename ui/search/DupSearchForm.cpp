#include "ui/search/DupSearchForm.h"

#include <QHBoxLayout>

#include "ui/widgets/QtText.h"

namespace sonalog::ui {

namespace {

const QColor kOrange(255, 128, 0);
const QColor kYellow(255, 240, 0);

}  // namespace

TDupSearchForm::TDupSearchForm(MainUnit& main, DupSearchOptions options)
    : RunWindow(kOrange, kYellow, "TDupSearchForm", "pbar", main.settings().duplicatesSearchWindowPos),
      main_(main),
      options_(std::move(options)) {
  setWindowTitle(QString::fromUtf8(kCaptionSearching));
  c_.labprog->setText(QString::fromUtf8(kProgressLabel));
  del1But_ = commandButton(this, "Del1But", "DELETE &1ST", &TDupSearchForm::Del1ButClick);
  del2But_ = commandButton(this, "Del2But", "DELETE &2ND", &TDupSearchForm::Del2ButClick);
  leaveBut_ = commandButton(this, "LeaveBut", "&LEAVE BOTH", &TDupSearchForm::LeaveButClick);
  abortBut_ = commandButton(this, "AbortBut", "&ABORT", &TDupSearchForm::AbortButClick);
  closeBut_ = commandButton(this, "CloseBut", "&DELETE", &TDupSearchForm::CloseButClick);
  saveLogBut_ = commandButton(this, "SaveLogBut", "&SAVE LOG", &TDupSearchForm::SaveLogButClick);
  viewLogBut_ = commandButton(this, "ViewLogBut", "&VIEW LOG", &TDupSearchForm::ViewLogButClick);
  auto* logHeader = new QHBoxLayout;
  logHeader->addWidget(new QLabel(QStringLiteral("Deletion log:"), this));
  layOut(logHeader, {del1But_, del2But_, leaveBut_, abortBut_, closeBut_, saveLogBut_, viewLogBut_});
}

TDupSearchForm::~TDupSearchForm() = default;

void TDupSearchForm::setMarksObserver(std::function<void(const std::vector<uint8_t>&)> observer) {
  marksObserver_ = std::move(observer);
}

void TDupSearchForm::prepareRun() {
  asking_ = finished_ = false;
  for (QPushButton* b : {del1But_, del2But_, leaveBut_, closeBut_, saveLogBut_, viewLogBut_}) b->hide();
  c_.labfile1->hide();
  c_.labfile2->hide();
  abortBut_->setText(QStringLiteral("&ABORT"));
  abortBut_->show();
  setWindowTitle(QString::fromUtf8(kCaptionSearching));
  c_.labprog->setText(QString::fromUtf8(kProgressLabel));
}

void TDupSearchForm::startRun() {
  run_ = std::make_unique<DupSearchRun>(main_.list().items, options_);
  run_->start();
}

void TDupSearchForm::poll() {
  if (!run_) return;
  const bool ended = run_->workerEnded();  // read first: the events before the end are all queued
  applyEvents();
  applyVisibility();
  blink_.setProgress(run_->progress());
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
    c_.logModel->append(logLines, c_.logList);
    logLines.clear();
    switch (e.kind) {
      case DupEvent::Kind::Ask:
        asking_ = true;
        ++prompts_;
        c_.labfile1->setText(fittedFileLine(c_.labfile1, e.file1));
        c_.labfile2->setText(fittedFileLine(c_.labfile2, e.file2));
        setWindowTitle(qt(e.text));
        c_.labprog->setText(qt(e.text));
        blink_.startBlinking();
        break;
      case DupEvent::Kind::AskEnd:
        asking_ = false;
        setWindowTitle(QString::fromUtf8(kCaptionSearching));
        c_.labprog->setText(QString::fromUtf8(kProgressLabel));
        blink_.stopBlinking();
        c_.labfile1->clear();
        c_.labfile2->clear();
        break;
      case DupEvent::Kind::Finished: {
        finished_ = true;
        c_.invisilab->setText(qt(e.text));
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
  c_.logModel->append(logLines, c_.logList);
}

void TDupSearchForm::applyVisibility() {
  const uint32_t v = run_->visibleControls();
  // The worker sets its flags just before it publishes the event that goes with them: controls
  // that need the event's texts wait for it.
  const bool prompt = asking_ && (v & kShowAnswerButtons);
  c_.pbar->setVisible(v & kShowProgressBar);
  c_.labprog->setVisible(v & kShowProgressLabel);
  c_.invisilab->setVisible(finished_ && (v & kShowFinishLabel));
  c_.labfile1->setVisible(asking_ && (v & kShowFileLabels));
  c_.labfile2->setVisible(asking_ && (v & kShowFileLabels));
  for (QPushButton* b : {del1But_, del2But_, leaveBut_}) b->setVisible(prompt);
  abortBut_->setVisible(v & kShowAbortBut);
  saveLogBut_->setVisible(finished_ && (v & kShowSaveLogBut));
  closeBut_->setVisible(finished_ && (v & kShowCloseBut));
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
  if (whilePaused([this] { return run_->saveLogButton(main_.list(), ui_, main_.settings().duplicatesLogFolder); }))
    viewLogBut_->show();
}

void TDupSearchForm::ViewLogButClick() {
  if (run_ && !run_->savedLogPath().empty()) viewLogFile(viewLogBut_, ui_, run_->savedLogPath(), true);
}

void TDupSearchForm::endRun() {
  if (run_) {
    // Stops a running worker and waits for it; a search stopped with items queued asks whether
    // to revert.
    run_->close(main_.list(), ui_);
    listChanged_ = run_->listChanged();
  }
  viewLogBut_->hide();
}

}  // namespace sonalog::ui

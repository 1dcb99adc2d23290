#include "ui/CompForm.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "compare/CompareAction.h"
#include "duplicates/DupSearchUnit.h"
#include "ui/QtText.h"
#include "ui/WindowPlacement.h"

namespace sonalog::ui {

namespace {

constexpr int kStartDelayMs = 50;
constexpr int kLoadingLabelWidth = 178;  // labfile1 while a text list is read
const QColor kGreenish(65, 255, 192);
const QColor kBluish(65, 192, 255);
const QColor kFinishedLabels(128, 128, 160);
constexpr char kSearchingCaption[] = " Searching, please wait...";
constexpr char kProgressText[] = "Progress:";

}  // namespace

TCompForm::TCompForm(MainUnit& main, CompareJob job, QWidget* parent)
    : GradientWindow(kGreenish, kBluish, parent), main_(main), job_(std::move(job)), ui_(this) {
  setObjectName("TCompForm");
  setRunWindowFlags(this);
  setWindowTitle(QString::fromUtf8(kSearchingCaption));
  ui_.setParentWidget(this);

  const RunWindowControls c(this, "ProgressBar");
  labprog_ = c.labprog;
  pbar_ = c.pbar;
  blink_ = std::make_unique<BlinkingProgress>(pbar_);
  invisilab_ = c.invisilab;
  labfile1_ = c.labfile1;
  labfile2_ = c.labfile2;
  logModel_ = c.logModel;
  logList_ = c.logList;
  labactlog_ = namedLabel("labactlog", this);
  actionTypeLab_ = namedLabel("ActionTypeLab", this);
  actionTypeLab_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

  matchBut_ = namedButton("MatchBut", "&MATCH", this);
  dontMatchBut_ = namedButton("DontMatchBut", "&DIFFER", this);
  abortBut_ = namedButton("AbortBut", "&ABORT", this);
  deleteBut_ = namedButton("DeleteBut", "&DELETE", this);
  viewLogBut_ = namedButton("ViewLogBut", "&VIEW LOG", this);
  connect(matchBut_, &QPushButton::clicked, this, &TCompForm::MatchButClick);
  connect(dontMatchBut_, &QPushButton::clicked, this, &TCompForm::DontMatchButClick);
  connect(abortBut_, &QPushButton::clicked, this, &TCompForm::AbortButClick);
  connect(deleteBut_, &QPushButton::clicked, this, &TCompForm::DeleteButClick);
  connect(viewLogBut_, &QPushButton::clicked, this, &TCompForm::ViewLogButClick);
  auto* logHeader = new QHBoxLayout;
  logHeader->addWidget(labactlog_);
  logHeader->addStretch();
  logHeader->addWidget(actionTypeLab_);
  const WindowPosition& p = main_.settings().comparisonWindowPos;
  layOutRunWindow(this, c, logHeader, {matchBut_, dontMatchBut_, abortBut_, deleteBut_, viewLogBut_}, p.left, p.top);

  startTimer_.setSingleShot(true);
  startTimer_.setInterval(kStartDelayMs);
  connect(&startTimer_, &QTimer::timeout, this, &TCompForm::startWorker);
  pollTimer_.setInterval(kPollMs);
  connect(&pollTimer_, &QTimer::timeout, this, &TCompForm::poll);
}

TCompForm::~TCompForm() = default;

void TCompForm::newRun() { newRun_ = true; }

void TCompForm::showEvent(QShowEvent* event) {
  GradientWindow::showEvent(event);
  if (!newRun_) return;
  newRun_ = false;
  job_.settings.compareWith &= 1;
  job_.settings.compareAction %= kCompareActionCount;
  actionTypeLab_->setText(qt(actionTypeText(job_.settings.compareAction)));
  labactlog_->setText(QStringLiteral("Action log"));
  for (QLabel* l : {labactlog_, actionTypeLab_}) l->setPalette(palette());
  labprog_->setText(QString::fromUtf8(kProgressText));
  labprog_->show();
  blink_->stopBlinking();
  blink_->setProgress(0);
  pbar_->show();
  labfile1_->clear();
  labfile2_->clear();
  labfile1_->show();
  labfile2_->show();
  invisilab_->hide();
  for (QPushButton* b : {deleteBut_, abortBut_, matchBut_, dontMatchBut_, viewLogBut_}) b->hide();
  logModel_->clear();
  setWindowTitle(QString::fromUtf8(kSearchingCaption));
  startTimer_.start();
}

void TCompForm::startWorker() {
  if (closed_) return;
  countAtStart_ = main_.list().itemCount();
  run_ = std::make_unique<TMyThread>(main_.list(), job_);
  run_->start();
  pollTimer_.start();
}

void TCompForm::poll() {
  if (!run_) return;
  const bool ended = run_->ended();  // read first: everything published before the end is queued
  events_.clear();
  run_->takeEvents(events_);
  std::vector<std::string> logLines;
  for (const CompEvent& e : events_) apply(e, logLines);
  logModel_->append(logLines, logList_);
  blink_->setProgress(run_->progress());
  if (ended && run_->compareState() == kCompareEnd) close();
}

QWidget* TCompForm::control(CompControl c) {
  switch (c) {
    case CompControl::Caption: return this;
    case CompControl::labprog: return labprog_;
    case CompControl::ProgressBar: return pbar_;
    case CompControl::Invisilab: return invisilab_;
    case CompControl::labfile1: return labfile1_;
    case CompControl::labfile2: return labfile2_;
    case CompControl::labactlog: return labactlog_;
    case CompControl::ActionTypeLab: return actionTypeLab_;
    case CompControl::LogList: return logList_;
    case CompControl::MatchBut: return matchBut_;
    case CompControl::DontMatchBut: return dontMatchBut_;
    case CompControl::ViewLogBut: return viewLogBut_;
    case CompControl::DeleteBut: return deleteBut_;
    case CompControl::AbortBut: return abortBut_;
  }
  return this;
}

void TCompForm::apply(const CompEvent& e, std::vector<std::string>& logLines) {
  using Kind = CompEvent::Kind;
  if (e.kind == Kind::LogLine) {
    logLines.push_back(e.text);
    return;
  }
  logModel_->append(logLines, logList_);  // the lines before this event come first
  logLines.clear();
  QWidget* target = control(e.control);
  switch (e.kind) {
    case Kind::Text:
      if (target == this) {
        setWindowTitle(qt(e.text));
      } else if (auto* b = qobject_cast<QPushButton*>(target)) {
        b->setText(qt(e.text));
        if (b == deleteBut_ && e.text == "&CLOSE") {
          // The run is over: its labels fade.
          for (QLabel* l : {labactlog_, actionTypeLab_}) {
            QPalette faded = l->palette();
            faded.setColor(QPalette::WindowText, kFinishedLabels);
            l->setPalette(faded);
          }
        }
      } else if (target == labfile1_ || target == labfile2_) {
        static_cast<QLabel*>(target)->setText(fittedFileLine(static_cast<QLabel*>(target), e.text));
      } else if (auto* l = qobject_cast<QLabel*>(target)) {
        l->setText(qt(e.text));
      }
      break;
    case Kind::Visible:
      if (target != this) target->setVisible(e.flag);
      if (target == matchBut_ && e.flag) ++prompts_;
      break;
    case Kind::Width:
      // While a text list is read its status label is narrowed; the full width otherwise.
      target->setMaximumWidth(e.value <= kLoadingLabelWidth ? kLoadingLabelWidth : QWIDGETSIZE_MAX);
      break;
    case Kind::Left:
      // The layout centres the buttons that are shown: "&CLOSE" alone, "&DELETE" beside "&ABORT".
      break;
    case Kind::Blink:
      if (e.flag) blink_->startBlinking();
      else blink_->stopBlinking();
      break;
    case Kind::Warning:
      pollTimer_.stop();
      ui_.warning(e.text);
      if (!closed_) pollTimer_.start();
      break;
    case Kind::Question: {
      pollTimer_.stop();
      const bool yes = ui_.ask(e.text, e.caption, Buttons::YesNo, Icon::Question) == Answer::Yes;
      run_->answerQuestion(yes);
      if (!closed_) pollTimer_.start();
      break;
    }
    case Kind::LogLine:
      break;
  }
}

void TCompForm::MatchButClick() {
  if (run_) run_->answer(kCompareMatch);
}

void TCompForm::DontMatchButClick() {
  if (run_) run_->answer(kCompareDiffer);
}

void TCompForm::DeleteButClick() {
  if (!run_) return;
  // The run says what the button means now: perform the removal it waits for, or close.
  if (run_->phase() == CompPhase::Removal && run_->compareState() == kCompareRunning) {
    run_->answer(kCompareDelete);
  } else {
    run_->close();
  }
}

void TCompForm::AbortButClick() {
  if (!run_) return;
  // During the matching the worker is held while the user answers the question.
  pollTimer_.stop();
  if (const std::optional<std::string> question = run_->beginAbort())
    run_->finishAbort(ui_.ask(*question, "prompt", Buttons::YesNo, Icon::Question) == Answer::Yes);
  if (!closed_) pollTimer_.start();
}

void TCompForm::ViewLogButClick() { viewLogFile(viewLogBut_, ui_, job_.outputPath, false); }

void TCompForm::stop() {
  forced_ = true;
  close();
}

void TCompForm::closeEvent(QCloseEvent* event) {
  if (closed_) {
    event->accept();
    return;
  }
  const bool over = !run_ || (run_->ended() && run_->compareState() == kCompareEnd);
  if (!over && !forced_) {
    event->ignore();
    return;
  }
  closed_ = true;
  startTimer_.stop();
  pollTimer_.stop();
  blink_->stopBlinking();
  if (run_) {
    listChanged_ = run_->listChanged();
    run_.reset();  // a run still going is ended without output and waited for
    listChanged_ = listChanged_ || main_.list().itemCount() != countAtStart_;
  }
  main_.settings().comparisonWindowPos = {x(), y()};
  event->accept();
  Q_EMIT closed();
}

}  // namespace sonalog::ui

#include "ui/search/CompForm.h"

#include <QHBoxLayout>

#include "compare/CompareAction.h"
#include "compare/ExternalList.h"
#include "duplicates/DupSearchUnit.h"
#include "ui/widgets/QtText.h"

namespace sonalog::ui {

namespace {

const QColor kGreenish(65, 255, 192);
const QColor kBluish(65, 192, 255);
const QColor kFinishedLabels(128, 128, 160);
constexpr char kSearchingCaption[] = " Searching, please wait...";
constexpr char kProgressText[] = "Progress:";

}  // namespace

TCompForm::TCompForm(MainUnit& main, CompareJob job)
    : RunWindow(kGreenish, kBluish, "TCompForm", "ProgressBar", main.settings().comparisonWindowPos),
      main_(main),
      job_(std::move(job)) {
  setWindowTitle(QString::fromUtf8(kSearchingCaption));
  labactlog_ = namedLabel("labactlog", this);
  actionTypeLab_ = namedLabel("ActionTypeLab", this);
  actionTypeLab_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

  matchBut_ = commandButton(this, "MatchBut", "&MATCH", &TCompForm::MatchButClick);
  dontMatchBut_ = commandButton(this, "DontMatchBut", "&DIFFER", &TCompForm::DontMatchButClick);
  abortBut_ = commandButton(this, "AbortBut", "&ABORT", &TCompForm::AbortButClick);
  deleteBut_ = commandButton(this, "DeleteBut", "&DELETE", &TCompForm::DeleteButClick);
  viewLogBut_ = commandButton(this, "ViewLogBut", "&VIEW LOG", &TCompForm::ViewLogButClick);
  auto* logHeader = new QHBoxLayout;
  logHeader->addWidget(labactlog_);
  logHeader->addStretch();
  logHeader->addWidget(actionTypeLab_);
  layOut(logHeader, {matchBut_, dontMatchBut_, abortBut_, deleteBut_, viewLogBut_});
}

TCompForm::~TCompForm() = default;

void TCompForm::prepareRun() {
  job_.settings.compareWith &= 1;
  job_.settings.compareAction %= kCompareActionCount;
  actionTypeLab_->setText(qt(actionTypeText(job_.settings.compareAction)));
  labactlog_->setText(QStringLiteral("Action log"));
  setLogLabelsColour(palette().color(QPalette::WindowText));
  c_.labprog->setText(QString::fromUtf8(kProgressText));
  c_.labfile1->show();
  c_.labfile2->show();
  for (QPushButton* b : {deleteBut_, abortBut_, matchBut_, dontMatchBut_, viewLogBut_}) b->hide();
  setWindowTitle(QString::fromUtf8(kSearchingCaption));
}

void TCompForm::startRun() {
  countAtStart_ = main_.list().itemCount();
  run_ = std::make_unique<TMyThread>(main_.list(), job_);
  run_->start();
}

void TCompForm::poll() {
  if (!run_) return;
  const bool ended = run_->ended();  // read first: everything published before the end is queued
  events_.clear();
  run_->takeEvents(events_);
  std::vector<std::string> logLines;
  for (const CompEvent& e : events_) apply(e, logLines);
  c_.logModel->append(logLines, c_.logList);
  blink_.setProgress(run_->progress());
  if (!ended) return;
  if (run_->compareState() == kCompareEnd) close();
  else if (run_->waitsForClose()) setLogLabelsColour(kFinishedLabels);  // the run is over: its labels fade
}

void TCompForm::setLogLabelsColour(const QColor& colour) {
  for (QLabel* l : {labactlog_, actionTypeLab_}) {
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, colour);
    l->setPalette(p);
  }
}

QWidget* TCompForm::control(CompControl c) {
  switch (c) {
    case CompControl::Caption: return this;
    case CompControl::labprog: return c_.labprog;
    case CompControl::ProgressBar: return c_.pbar;
    case CompControl::Invisilab: return c_.invisilab;
    case CompControl::labfile1: return c_.labfile1;
    case CompControl::labfile2: return c_.labfile2;
    case CompControl::labactlog: return labactlog_;
    case CompControl::ActionTypeLab: return actionTypeLab_;
    case CompControl::LogList: return c_.logList;
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
  c_.logModel->append(logLines, c_.logList);  // the lines before this event come first
  logLines.clear();
  QWidget* target = control(e.control);
  switch (e.kind) {
    case Kind::Text:
      if (target == this) {
        setWindowTitle(qt(e.text));
      } else if (auto* b = qobject_cast<QPushButton*>(target)) {
        b->setText(qt(e.text));
      } else if (target == c_.labfile1 || target == c_.labfile2) {
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
      if (e.flag) blink_.startBlinking();
      else blink_.stopBlinking();
      break;
    case Kind::Warning:
      whilePaused([&] { ui_.warning(e.text); });
      break;
    case Kind::Question:
      run_->answerQuestion(
          whilePaused([&] { return ui_.ask(e.text, e.caption, Buttons::YesNo, Icon::Question); }) == Answer::Yes);
      break;
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
  whilePaused([this] {
    if (const std::optional<std::string> question = run_->beginAbort())
      run_->finishAbort(ui_.ask(*question, "prompt", Buttons::YesNo, Icon::Question) == Answer::Yes);
  });
}

void TCompForm::ViewLogButClick() { viewLogFile(viewLogBut_, ui_, job_.outputPath, false); }

void TCompForm::stop() {
  forced_ = true;
  close();
}

bool TCompForm::closeRefused() const {
  const bool over = !run_ || (run_->ended() && run_->compareState() == kCompareEnd);
  return !over && !forced_;
}

void TCompForm::endRun() {
  if (!run_) return;
  listChanged_ = run_->listChanged();
  run_.reset();  // a run still going is ended without output and waited for
  listChanged_ = listChanged_ || main_.list().itemCount() != countAtStart_;
}

}  // namespace sonalog::ui

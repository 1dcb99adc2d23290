#include "ui/search/SearchWindowParts.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

#include <utility>

#include "core/ApiUnit.h"
#include "duplicates/DupSearchUnit.h"
#include "ui/widgets/QtText.h"

namespace sonalog::ui {

namespace {

constexpr int kStartDelayMs = 50;
constexpr int kBlinkIntervalMs = 250;
constexpr int kViewLogPauseMs = 2000;
const QSize kRunWindowDesignSize(482, 307);

}  // namespace

int LogListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

QVariant LogListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
  return lines_[static_cast<size_t>(index.row())];
}

void LogListModel::clear() {
  beginResetModel();
  lines_.clear();
  endResetModel();
}

void LogListModel::append(const std::vector<std::string>& lines, QListView* view) {
  if (lines.empty()) return;
  const int first = rowCount();
  beginInsertRows({}, first, first + static_cast<int>(lines.size()) - 1);
  lines_.reserve(lines_.size() + lines.size());
  for (const std::string& line : lines) lines_.push_back(qt(line));
  endInsertRows();
  // The rule applies line by line; only the outcome is shown.
  int selected = view->currentIndex().isValid() ? view->currentIndex().row() : -1;
  for (size_t count = static_cast<size_t>(first) + 1; count <= lines_.size(); ++count)
    selected = logListSelection(count, selected);
  const QModelIndex current = index(selected);
  if (current != view->currentIndex()) {
    view->setCurrentIndex(current);
    view->scrollTo(current);
  }
  // A list that follows its end shows its last line whole, also when the selection stops just
  // before it (the line that says the log is full).
  if (selected >= 0 && selected >= first - 1 && selected + 1 < rowCount()) view->scrollTo(index(rowCount() - 1), QAbstractItemView::PositionAtBottom);
}

QListView* makeLogList(LogListModel* model, QWidget* parent) {
  auto* view = new QListView(parent);
  view->setObjectName("LogList");
  view->setModel(model);
  view->setUniformItemSizes(true);  // 30 000 rows are laid out without measuring each
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setSelectionMode(QAbstractItemView::SingleSelection);
  setHint(view, "Select the last row for auto-scroll !");
  return view;
}

BlinkingProgress::BlinkingProgress(QProgressBar* bar) : bar_(bar) {
  bar_->setRange(0, kProgressMax);
  bar_->setTextVisible(false);
  timer_.setInterval(kBlinkIntervalMs);
  QObject::connect(&timer_, &QTimer::timeout, bar_,
                   [this] { bar_->setValue(bar_->value() != 0 ? 0 : progress_); });
}

void BlinkingProgress::setProgress(int value) {
  progress_ = value;
  if (!blinking()) bar_->setValue(value);
}

void BlinkingProgress::startBlinking() { timer_.start(); }

void BlinkingProgress::stopBlinking() {
  timer_.stop();
  bar_->setValue(progress_);
}

QString fittedFileLine(const QLabel* label, const std::string& line) {
  const QFontMetrics metrics(label->font());
  const auto width = [&metrics](std::string_view text) { return metrics.horizontalAdvance(qt(text)); };
  return qt(fitToLabel(line, width, std::max(kFileLabelWidth, label->contentsRect().width())));
}

void viewLogFile(QWidget* button, UserInterface& ui, const std::string& path, bool reportFailures) {
  const OpenResult result = openDocumentChecked(ui, path);
  // A log is a document to read, not music to play.
  if (reportFailures) reportDocumentOpenFailure(ui, result, path);
  button->setEnabled(false);
  QTimer::singleShot(kViewLogPauseMs, button, [button] { button->setEnabled(true); });
}

QPushButton* namedButton(const char* name, const char* caption, QWidget* parent) {
  auto* b = new QPushButton(QString::fromUtf8(caption), parent);
  b->setObjectName(name);
  return b;
}

QLabel* namedLabel(const char* name, QWidget* parent) {
  auto* l = new QLabel(parent);
  l->setObjectName(name);
  l->setTextFormat(Qt::PlainText);
  return l;
}

RunWindowControls::RunWindowControls(QWidget* window, const char* barName)
    : labprog(namedLabel("labprog", window)),
      pbar(new QProgressBar(window)),
      invisilab(namedLabel("Invisilab", window)),
      labfile1(namedLabel("labfile1", window)),
      labfile2(namedLabel("labfile2", window)),
      logModel(new LogListModel(window)),
      logList(makeLogList(logModel, window)) {
  pbar->setObjectName(barName);
  invisilab->setAlignment(Qt::AlignCenter);
  for (QLabel* l : {labfile1, labfile2}) l->setMinimumWidth(kFileLabelWidth);
}

RunWindow::RunWindow(QColor top, QColor bottom, const char* name, const char* barName, WindowPosition& position)
    : SmallWindow(position, false), c_(this, barName), blink_(c_.pbar), ui_(this), top_(top), bottom_(bottom) {
  setObjectName(name);
  ui_.setParentWidget(this);
  startTimer_.setSingleShot(true);
  startTimer_.setInterval(kStartDelayMs);
  connect(&startTimer_, &QTimer::timeout, this, [this] {
    if (closing_) return;
    startRun();
    pollTimer_.start();
  });
  pollTimer_.setInterval(kPollMs);
  connect(&pollTimer_, &QTimer::timeout, this, [this] { poll(); });
}

void RunWindow::layOut(QLayout* logHeader, std::initializer_list<QPushButton*> buttons) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(c_.labprog);
  auto* bar = new QGridLayout;  // the finish label takes the bar's place
  bar->addWidget(c_.pbar, 0, 0);
  bar->addWidget(c_.invisilab, 0, 0);
  layout->addLayout(bar);
  layout->addWidget(c_.labfile1);
  layout->addWidget(c_.labfile2);
  layout->addLayout(logHeader);
  layout->addWidget(c_.logList, 1);
  auto* row = new QHBoxLayout;
  row->addStretch();
  for (QPushButton* b : buttons) row->addWidget(b);
  row->addStretch();
  layout->addLayout(row);
  placeAtRememberedPosition(sizeHint().expandedTo(kRunWindowDesignSize));
}

void RunWindow::showEvent(QShowEvent* event) {
  SmallWindow::showEvent(event);
  if (!std::exchange(newRun_, false)) return;
  blink_.stopBlinking();
  blink_.setProgress(0);
  c_.logModel->clear();
  c_.labfile1->clear();
  c_.labfile2->clear();
  c_.labprog->show();
  c_.pbar->show();
  c_.invisilab->hide();
  prepareRun();
  startTimer_.start();
}

void RunWindow::closeEvent(QCloseEvent* event) {
  if (closing_) {
    event->accept();
    return;
  }
  if (closeRefused()) {
    event->ignore();
    return;
  }
  closing_ = true;
  startTimer_.stop();
  pollTimer_.stop();
  blink_.stopBlinking();
  endRun();
  SmallWindow::closeEvent(event);  // keeps the position
  Q_EMIT closed();
}

void RunWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QLinearGradient gradient(0, 0, 0, height());
  gradient.setColorAt(0, top_);
  gradient.setColorAt(1, bottom_);
  painter.fillRect(rect(), gradient);
}

}  // namespace sonalog::ui

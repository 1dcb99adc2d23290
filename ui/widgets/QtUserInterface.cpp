#include "ui/widgets/QtUserInterface.h"

#include <QApplication>
#include <QTimer>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QSettings>
#include <QUrl>

#include "platform/Desktop.h"
#include "ui/widgets/QtText.h"

namespace sonalog::ui {

namespace {

QMessageBox::StandardButton qtButton(Answer a) {
  switch (a) {
    case Answer::Ok: return QMessageBox::Ok;
    case Answer::Cancel: return QMessageBox::Cancel;
    case Answer::Yes: return QMessageBox::Yes;
    case Answer::No: return QMessageBox::No;
    case Answer::Retry: return QMessageBox::Retry;
    case Answer::Abort: return QMessageBox::Abort;
    case Answer::Ignore: return QMessageBox::Ignore;
  }
  return QMessageBox::Ok;
}

std::vector<Answer> answersOf(Buttons b) {
  switch (b) {
    case Buttons::Ok: return {Answer::Ok};
    case Buttons::OkCancel: return {Answer::Ok, Answer::Cancel};
    case Buttons::YesNo: return {Answer::Yes, Answer::No};
    case Buttons::YesNoCancel: return {Answer::Yes, Answer::No, Answer::Cancel};
    case Buttons::RetryCancel: return {Answer::Retry, Answer::Cancel};
    case Buttons::AbortRetryIgnore: return {Answer::Abort, Answer::Retry, Answer::Ignore};
  }
  return {Answer::Ok};
}

QMessageBox::Icon qtIcon(Icon icon) {
  switch (icon) {
    case Icon::None: return QMessageBox::NoIcon;
    case Icon::Information: return QMessageBox::Information;
    case Icon::Exclamation: return QMessageBox::Warning;
    case Icon::Question: return QMessageBox::Question;
    case Icon::Error: return QMessageBox::Critical;
  }
  return QMessageBox::NoIcon;
}

// Message texts use CR LF line breaks; Qt wants plain LF.
QString boxText(std::string_view text) {
  QString s = qt(text);
  s.remove(QLatin1Char('\r'));
  return s;
}

}  // namespace

QString qtFilters(const std::vector<FileFilter>& filters) {
  QStringList out;
  for (const FileFilter& f : filters) {
    QStringList patterns;
    for (const std::string& p : f.patterns) patterns << (p == "*.*" ? QStringLiteral("*") : qt(p));
    QString description = qt(f.description);
    description.replace(QStringLiteral("*.*"), QStringLiteral("*"));
    // Qt reads the patterns from the last parentheses; add them when the description has none.
    if (!description.contains(QLatin1Char('(')))
      description += QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    else if (!patterns.isEmpty())
      description = description.left(description.lastIndexOf(QLatin1Char('('))) + QLatin1Char('(') +
                    patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    out << description;
  }
  return out.join(QStringLiteral(";;"));
}

QtUserInterface::QtUserInterface(QWidget* parent) : parent_(parent) {}

QtUserInterface::~QtUserInterface() {
  while (busyDepth_ > 0) setBusy(false);
}

void QtUserInterface::script(std::deque<Answer> a, std::deque<std::optional<FileDialogResult>> f) {
  scripted_ = true;
  answers = std::move(a);
  dialogResults = std::move(f);
}

Answer QtUserInterface::show(const MessageBox& box) {
  if (scripted_) return SilentUi::show(box);
  // A box is modal: the busy cursor of a long operation must not hide the arrow meanwhile.
  const bool busy = busyDepth_ > 0;
  if (busy) QApplication::restoreOverrideCursor();
  QMessageBox mb(qtIcon(box.icon), qt(box.caption) + QLatin1Char(' '), boxText(box.text),
                 QMessageBox::NoButton, parent_);
  for (Answer a : answersOf(box.buttons)) mb.addButton(qtButton(a));
  const Answer preselected = box.defaultAnswer ? *box.defaultAnswer : answersOf(box.buttons).front();
  mb.setDefaultButton(qtButton(preselected));
  const Answer escape = safeDefault(box);
  mb.setEscapeButton(mb.button(qtButton(escape)));
  const int pressed = mb.exec();
  if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
  for (Answer a : answersOf(box.buttons))
    if (pressed == qtButton(a)) return a;
  return escape;
}

namespace {
// A scan sets the status for every file; the label shows at most one text per slice (the latest),
// which is as often as a person can read it, and the last text always arrives.
constexpr qint64 kStatusSliceMs = 10;
}  // namespace

void QtUserInterface::setStatus(std::string_view text) {
  if (!statusLabel_) return;
  pendingStatus_.assign(text);
  if (sinceStatus_.isValid() && sinceStatus_.elapsed() < kStatusSliceMs) {
    if (!statusPending_) QTimer::singleShot(kStatusSliceMs, statusLabel_, [this] { showPendingStatus(); });
    statusPending_ = true;
    return;
  }
  showPendingStatus();
}

void QtUserInterface::flushStatus() {
  if (statusPending_) showPendingStatus();
}

void QtUserInterface::showPendingStatus() {
  statusPending_ = false;
  sinceStatus_.restart();
  if (statusLabel_) statusLabel_->setText(qt(pendingStatus_));
}

void QtUserInterface::setBusy(bool busy) {
  if (busy) {
    ++busyDepth_;
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (busyDepth_ > 0) {
    --busyDepth_;
    QApplication::restoreOverrideCursor();
  }
}

bool QtUserInterface::processEvents() {
  if (++callsSincePump_ >= kCallsPerPump || !lastPump_.isValid() ||
      lastPump_.elapsed() >= kEventPumpMs) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    lastPump_.start();
    callsSincePump_ = 0;
  }
  return std::exchange(cancelRequested_, false);
}

namespace {
constexpr char kFileDialogSizeKey[] = "fileDialog/size";
}  // namespace

void QtUserInterface::keepFileDialogSize(const std::string& file) {
  fileDialogSizeFile_ = QFile::decodeName(QByteArray::fromStdString(file));
  // The configuration's layout is fixed and has no room for it: a small file of the desktop's own.
  const QSize kept = QSettings(fileDialogSizeFile_, QSettings::IniFormat).value(kFileDialogSizeKey).toSize();
  if (kept.isValid() && !kept.isEmpty()) fileDialogSize_ = kept;
}

std::optional<FileDialogResult> QtUserInterface::fileDialog(const FileDialog& d, bool save) {
  if (scripted_) return save ? SilentUi::saveFile(d) : SilentUi::openFile(d);
  QFileDialog dialog(parent_, qt(d.title), qt(d.folder), qtFilters(d.filters));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (!d.defaultExtension.empty()) dialog.setDefaultSuffix(qt(d.defaultExtension));
  const QStringList filters = dialog.nameFilters();
  if (d.filterIndex >= 0 && d.filterIndex < filters.size()) dialog.selectNameFilter(filters[d.filterIndex]);
  if (!d.fileName.empty()) dialog.selectFile(qt(d.fileName));
  // Qt's own dialog opens too small for its columns; it keeps the size the user gives it.
  dialog.resize(fileDialogSize_);
  // The dialog asks before replacing a file itself, and No returns to it; a dialog whose name is
  // only a pattern asks nothing.
  const bool asks = save && d.askBeforeReplacing;
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !asks);
  const int result = dialog.exec();
  if (dialog.size() != fileDialogSize_) {
    fileDialogSize_ = dialog.size();
    if (!fileDialogSizeFile_.isEmpty()) QSettings(fileDialogSizeFile_, QSettings::IniFormat).setValue(kFileDialogSizeKey, fileDialogSize_);
  }
  if (result != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return FileDialogResult{toStd(dialog.selectedFiles().front()),
                          int(filters.indexOf(dialog.selectedNameFilter())), asks};
}

std::optional<FileDialogResult> QtUserInterface::openFile(const FileDialog& dialog) {
  return fileDialog(dialog, false);
}

std::optional<FileDialogResult> QtUserInterface::saveFile(const FileDialog& dialog) {
  return fileDialog(dialog, true);
}

bool QtUserInterface::statusFits(std::string_view text) const {
  if (!statusLabel_) return true;
  const QFontMetrics metrics(statusLabel_->font());
  // A framed label indents its text by half an "x" unless told otherwise, and the margin
  // counts on both sides: what is left is the width the text really has.
  const int indent = statusLabel_->indent() >= 0 ? statusLabel_->indent()
                     : statusLabel_->frameWidth() > 0 ? metrics.horizontalAdvance(QLatin1Char('x')) / 2
                                                      : 0;
  const int width = statusLabel_->contentsRect().width() - indent - 2 * statusLabel_->margin();
  // A text whose every character could be the widest fits without shaping it (the common case
  // of a scan's paths, asked once per file).
  if (static_cast<qint64>(text.size()) * metrics.maxWidth() <= width) return true;
  return metrics.horizontalAdvance(qt(text)) <= width;
}

OpenResult QtUserInterface::openDocument(const std::string& path, bool edit) {
  if (scripted_) return SilentUi::openDocument(path, edit);
  const platform::DesktopOpen reported = platform::openWithDesktop(path, edit);
  if (reported != platform::DesktopOpen::NoTool) return openResultOf(reported);
  // Without xdg-open, Qt's own desktop services may still know a handler.
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(path)))) ? OpenResult::Ok
                                                                  : OpenResult::NoAssociation;
}

}  // namespace sonalog::ui

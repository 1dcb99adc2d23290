#include "ui/options/OptionsForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <algorithm>

#include "platform/UserInterface.h"
#include "ui/widgets/Fader.h"
#include "ui/widgets/QtSettings.h"
#include "ui/widgets/QtText.h"
#include "ui/widgets/QtUserInterface.h"
#include "ui/widgets/WindowPlacement.h"
#include "ui/widgets/WindowWait.h"

namespace sonalog::ui {

namespace {

void showColour(QPushButton* panel, std::optional<Colour> colour) {
  panel->setStyleSheet(colour ? QStringLiteral("QPushButton { background-color: %1; border: 1px solid #555; }")
                                    .arg(qtColour(*colour).name())
                              : QStringLiteral("QPushButton { background: transparent; border: 1px solid #888; }"));
}

}  // namespace

// ---- The desktop's colour and font dialogs ----

std::optional<Colour> QtOptionsDialogs::chooseColour(Colour initial,
                                                     std::array<Colour, kCustomColourCount>& custom) {
  for (int i = 0; i < int(kCustomColourCount); ++i) QColorDialog::setCustomColor(i, qtColour(custom[i]));
  QColorDialog dialog(qtColour(initial), parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  for (int i = 0; i < int(kCustomColourCount); ++i) custom[i] = colourOf(QColorDialog::customColor(i));
  return colourOf(dialog.selectedColor());
}

std::optional<FontSetting> QtOptionsDialogs::chooseFont(const FontSetting& initial) {
  return chooseFontSetting(initial, parent_);
}

// ---- The window ----

OptionsForm::OptionsForm(Settings& settings, UserInterface& ui, QWidget* parent, OptionsDialogs* dialogs)
    : SmallWindow(settings.optionsWindowPos, true, parent),
      qtDialogs_(dialogs ? nullptr : std::make_unique<QtOptionsDialogs>(this)),
      unit_(settings, ui, dialogs ? *dialogs : *qtDialogs_, [] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QSize size = screen ? screen->size() : QSize(1920, 1080);
        return ScreenSize{size.width(), size.height()};
      }()),
      ui_(ui),
      settings_(settings) {
  setObjectName("TOptform");
  setWindowTitle(qt(kOptionsCaption));
  build();
  setHints();
  connectAll();
  fader_ = new Fader(this);
}

OptionsForm::~OptionsForm() = default;

void OptionsForm::connectAll() {
  for (int i = 0; i < kOptCheckCount; ++i)
    connect(checks_[i], &QCheckBox::toggled, this, [this, i](bool on) {
      if (!filling_) act([&] { unit_.checkClicked(OptCheck(i), on); });
    });
  for (int i = 0; i < kOptComboCount; ++i)
    connect(combos_[i], &QComboBox::currentIndexChanged, this, [this, i](int index) {
      if (!filling_) act([&] { unit_.comboChanged(OptCombo(i), index); });
    });
  for (int i = 0; i < kOptEditCount; ++i) {
    connect(edits_[i], &QLineEdit::textEdited, this, [this, i] { editTyped(OptEdit(i)); });
    connect(edits_[i], &QLineEdit::editingFinished, this, [this, i] { editLeft(OptEdit(i)); });
  }
  for (size_t i = 0; i < delimiters_.size(); ++i)
    connect(delimiters_[i], &QRadioButton::toggled, this, [this, i](bool on) {
      if (!filling_ && on) act([&] { unit_.delimiterClicked(uint8_t(i)); });
    });

  // Enter moves on to the next control of the group.
  const std::pair<OptEdit, const char*> enterMoves[] = {
      {OptEdit::minsizetext, "maxsizetext"}, {OptEdit::maxsizetext, "EditMaxcursav"},
      {OptEdit::EditMaxcursav, "ListLoadCombo"}, {OptEdit::estext, "CheckHead"},
      {OptEdit::cstext0, "cstext1"}, {OptEdit::cstext1, "cstext2"}, {OptEdit::cstext2, "bgcheck"}};
  for (const auto& [edit, next] : enterMoves) {
    QWidget* target = findChild<QWidget*>(QString::fromUtf8(next));
    connect(edits_[int(edit)], &QLineEdit::returnPressed, this, [target] { target->setFocus(Qt::TabFocusReason); });
  }

  auto onClick = [this](const char* name, std::function<void()> action) {
    auto* b = findChild<QPushButton*>(QString::fromUtf8(name));
    connect(b, &QPushButton::clicked, this, [this, action] { act(action); });
  };
  onClick("headbut", [this] { unit_.chooseFileClick(OptFile::HeaderText); });
  onClick("head2but", [this] { unit_.chooseFileClick(OptFile::HeaderHtml); });
  onClick("footbut", [this] { unit_.chooseFileClick(OptFile::FooterText); });
  onClick("foot2but", [this] { unit_.chooseFileClick(OptFile::FooterHtml); });
  onClick("StartListBut", [this] { unit_.chooseFileClick(OptFile::StartupList); });
  onClick("ButEditHeadText", [this] { unit_.editFileClick(OptFile::HeaderText); });
  onClick("ButEditHeadHtml", [this] { unit_.editFileClick(OptFile::HeaderHtml); });
  onClick("ButEditFootText", [this] { unit_.editFileClick(OptFile::FooterText); });
  onClick("ButEditFootHtml", [this] { unit_.editFileClick(OptFile::FooterHtml); });
  onClick("bgpic", [this] { unit_.bgpicClick(); });
  onClick("txpic", [this] { unit_.txpicClick(); });
  onClick("PanelW", [this] { unit_.PanelWClick(); });
  onClick("ButTfont", [this] { unit_.ButTfontClick(); });
  onClick("ButCapFont", [this] { unit_.ButCapFontClick(); });
  onClick("ButBatchCap", [this] { unit_.ButBatchCapClick(); });
  onClick("DefBut", [this] { unit_.DefButClick(); });
  onClick("ButSaveOptAs", [this] { unit_.ButSaveOptAsClick(); });
  onClick("ButLoadOptFrom", [this] {
    unit_.ButLoadOptFromClick();
    // Loaded or not, the window takes the position the settings now hold.
    ui::restoreGeometry(this, settings_.optionsWindowPos.left, settings_.optionsWindowPos.top, width(), height());
  });
  connect(findChild<QPushButton*>("OkBut"), &QPushButton::clicked, this, [this] { finish(unit_.OkButClick()); });
  connect(findChild<QPushButton*>("CancelBut"), &QPushButton::clicked, this,
          [this] { finish(unit_.CancelButClick()); });
  connect(findChild<QPushButton*>("ButResAll"), &QPushButton::clicked, this,
          [this] { finish(unit_.ButResAllClick()); });
}

void OptionsForm::act(const std::function<void()>& action) {
  const Colour before[] = {settings_.mainWindowColour, settings_.viewerWindowColour, settings_.optionsWindowColour};
  action();
  fill();
  if (unit_.takeHeaderRowFlash()) flashHeaderRow();
  const Colour after[] = {settings_.mainWindowColour, settings_.viewerWindowColour, settings_.optionsWindowColour};
  if (!std::equal(std::begin(before), std::end(before), std::begin(after))) {
    applyWindowColour();
    if (coloursChanged_) coloursChanged_();
  }
}

void OptionsForm::fill() {
  filling_ = true;
  for (int i = 0; i < kOptCheckCount; ++i) checks_[i]->setChecked(unit_.checked(OptCheck(i)));
  for (int i = 0; i < kOptComboCount; ++i) combos_[i]->setCurrentIndex(unit_.comboIndex(OptCombo(i)));
  for (int i = 0; i < kOptEditCount; ++i) {
    // The field being typed in keeps the user's text; the others show what is stored.
    if (edits_[i] == typing_) continue;
    edits_[i]->setText(qt(unit_.editText(OptEdit(i))));
    paintEdit(OptEdit(i), kGoodValueColour);
  }
  for (size_t i = 0; i < delimiters_.size(); ++i) delimiters_[i]->setChecked(settings_.delimiter == i);

  const OptEnabling e = unit_.enabling();
  combos_[int(OptCombo::sortcombo)]->setEnabled(e.sortcombo);
  checks_[int(OptCheck::CheckDescend)]->setEnabled(e.sortcombo);
  sortByLabel_->setEnabled(e.sortcombo);
  checks_[int(OptCheck::CheckCase)]->setEnabled(e.CheckCase);
  capFontBut_->setEnabled(e.ButCapFont);
  checks_[int(OptCheck::CheckFpb)]->setEnabled(e.CheckFpb);
  for (QPushButton* b : headerButtons_) b->setEnabled(e.headerButtons);
  for (QPushButton* b : footerButtons_) b->setEnabled(e.footerButtons);
  startListBut_->setEnabled(e.StartListBut);
  showColour(bgpic_, unit_.bgpicColour());
  showColour(txpic_, unit_.txpicColour());
  showColour(panelW_, unit_.panelColour());
  filling_ = false;
}

void OptionsForm::applyWindowColour() {
  QPalette p = palette();
  p.setColor(QPalette::Window, qtColour(settings_.optionsWindowColour));
  setPalette(p);
  setAutoFillBackground(true);
}

void OptionsForm::flashHeaderRow() {
  std::vector<QWidget*> widgets{checks_[int(OptCheck::AddHeaderCheck)]};
  widgets.insert(widgets.end(), headerRowLabels_.begin(), headerRowLabels_.end());
  for (QWidget* w : widgets) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, Qt::blue);
    w->setPalette(p);
  }
  QTimer::singleShot(500, this, [widgets] {
    for (QWidget* w : widgets) w->setPalette(QPalette());
  });
}

void OptionsForm::paintEdit(OptEdit edit, Colour background) {
  QLineEdit* e = edits_[int(edit)];
  QPalette p = e->palette();
  p.setColor(QPalette::Base, qtColour(background));
  e->setPalette(p);
  if (edit == OptEdit::EditMaxcursav) {
    QFont f = font();
    if (OptUnit::smallMaxcursavFont(toStd(e->text()))) f.setPointSizeF(std::max(1.0, f.pointSizeF() - 1));
    e->setFont(f);
  }
}

void OptionsForm::editTyped(OptEdit edit) {
  QLineEdit* e = edits_[int(edit)];
  Colour background = kGoodValueColour;
  typing_ = e;
  act([&] { background = unit_.editChanged(edit, toStd(e->text())); });
  typing_ = nullptr;
  paintEdit(edit, background);
}

void OptionsForm::editLeft(OptEdit edit) {
  QLineEdit* e = edits_[int(edit)];
  std::string shown;
  typing_ = e;
  act([&] { shown = unit_.editLeft(edit, toStd(e->text())); });
  typing_ = nullptr;
  e->setText(qt(shown));
  paintEdit(edit, kGoodValueColour);
}

bool OptionsForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    if (auto* e = qobject_cast<QLineEdit*>(watched))
      QTimer::singleShot(0, e, [e] { e->deselect(); e->end(false); });
  }
  return QWidget::eventFilter(watched, event);
}

void OptionsForm::activate() {
  unit_.activate();
  finished_ = false;
  fill();
  applyWindowColour();
  placeAtRememberedPosition();
  if (settings_.fadeOptionsWindow) fader_->fadeIn();
  show();
  raise();
  activateWindow();
  checks_[int(OptCheck::CheckEnum)]->setFocus();
}

void OptionsForm::finish(bool closes) {
  if (!closes) return;
  finished_ = true;
  close();
}

void OptionsForm::cancel() { finish(unit_.CancelButClick()); }

void OptionsForm::closeEvent(QCloseEvent* event) {
  if (!finished_) {
    if (!unit_.FormCloseQuery()) {
      fill();
      event->ignore();
      return;
    }
    finished_ = true;
  }
  // Remembered however the window closes (CANCEL does not restore positions).
  rememberPosition();
  if (coloursChanged_) coloursChanged_();
  if (settings_.fadeOptionsWindow && isVisible()) {
    // The window goes when the fade has run; the caller's loop keeps running meanwhile.
    event->ignore();
    if (!fader_->running()) fader_->fadeOut([this] {
        hide();
        emit closed();
      });
    return;
  }
  event->accept();
  emit closed();
}

OptionsResult runOptionsWindow(QWidget* caller, Settings& settings, UserInterface& ui,
                               std::function<void()> coloursChanged, bool centre) {
  // A window of its own rather than a child of caller: disabling caller would disable it too.
  OptionsForm form(settings, ui);
  if (centre) form.centreOnNextShow();
  form.setColoursChanged(std::move(coloursChanged));
  QWidget* callerWindow = caller ? caller->window() : nullptr;
  if (callerWindow) {
    form.winId();
    if (form.windowHandle() && callerWindow->windowHandle())
      form.windowHandle()->setTransientParent(callerWindow->windowHandle());
  }
  // Boxes and dialogs asked meanwhile belong to the options window.
  auto* qtUi = dynamic_cast<QtUserInterface*>(&ui);
  if (qtUi) qtUi->setParentWidget(&form);
  showAndWait(form, callerWindow, [&form] { form.activate(); });
  if (qtUi) qtUi->setParentWidget(callerWindow);
  return form.result();
}

}  // namespace sonalog::ui

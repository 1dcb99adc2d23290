#include "ui/OptionsForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

#include "platform/UserInterface.h"
#include "ui/Fader.h"
#include "ui/QtSettings.h"
#include "ui/QtText.h"
#include "ui/QtUserInterface.h"
#include "ui/WindowPlacement.h"
#include "ui/WindowWait.h"

namespace sonalog::ui {

namespace {


// The hint of each control, shown for ten seconds (the info check boxes' and the edit fields' come
// from the logic).
struct Hint {
  const char* control;
  const char* text;
};
constexpr Hint kHints[] = {
    {"ComboStyle", "How dates are written"},
    {"ComboK", "How file sizes are written"},
    {"ComboStereo", "How stereo modes are written"},
    {"ComboVBR", "How a variable bitrate is written (nnn = the average bitrate)"},
    {"erroractioncombo", "What a scan does with a file it cannot analyse"},
    {"errorexportcombo", "How an unknown value is written in the viewer and in exports"},
    {"Combopopt", "How much of each file a scan reads"},
    {"phelp", "What fast and slow processing do"},
    {"ComboSkip", "What APPEND does with a file that is already in the list"},
    {"ehelp", "What an existing entry is"},
    {"CheckSh", "Also index hidden files (names starting with a dot)"},
    {"ListLoadCombo", "Which list is loaded when the program starts"},
    {"StartListBut", "Choose the list to load when the program starts"},
    {"CheckSort", "Sort the list after each scan"},
    {"sortcombo", "The field the list is sorted by"},
    {"CheckDescend", "Sort from the largest to the smallest"},
    {"CheckCase", "Tell upper from lower case when sorting by file name, path or volume label"},
    {"ooptcombo", "The type of file Export writes"},
    {"doption0", "Separate the fields with commas"},
    {"doption1", "Put each field in round brackets"},
    {"doption2", "Put each field in square brackets"},
    {"doption3", "Put each field in braces"},
    {"doption4", "Separate the fields with spaces"},
    {"doption5", "Separate the fields with tabs (text mode only)"},
    {"AddHeaderCheck", "Write a row of field names first and separate the fields with tabs"},
    {"CheckHead", "Copy a header message file to the start of each export"},
    {"headbut", "Choose the header message file for text exports"},
    {"head2but", "Choose the header message file for HTML exports"},
    {"ButEditHeadText", "Edit the header message file for text exports"},
    {"ButEditHeadHtml", "Edit the header message file for HTML exports"},
    {"CheckFoot", "Copy a footer message file to the end of each export"},
    {"footbut", "Choose the footer message file for text exports"},
    {"foot2but", "Choose the footer message file for HTML exports"},
    {"ButEditFootText", "Edit the footer message file for text exports"},
    {"ButEditFootHtml", "Edit the footer message file for HTML exports"},
    {"CheckHtag", "Your header and footer files carry the html, title and body tags"},
    {"bgcheck", "Give HTML exports a background colour"},
    {"bgpic", "Click to choose the background colour"},
    {"txcheck", "Give HTML exports a text colour"},
    {"txpic", "Click to choose the text colour"},
    {"ButTfont", "Font of the HTML table"},
    {"ButCapFont", "Font of the table captions"},
    {"CheckPtoo", "Use the table font and colours in plain HTML too"},
    {"CheckSplit", "Put artist and title in separate cells"},
    {"CheckCenter", "Center the artist and title cells"},
    {"ComboCap", "Captions above HTML tables"},
    {"CheckFpb", "Batch captions show the whole folder, not just its last part"},
    {"ButBatchCap", "How captions work in batch export"},
    {"Checkhr", "XLS playtime with hours (h:mm:ss)"},
    {"Checkms", "XLS playtime with milliseconds"},
    {"ComboCow", "The window whose appearance you set here"},
    {"PanelW", "Click to choose the colour of this window"},
    {"ComboTap", "Whether this window fades in and out"},
    {"DefBut", "Set the options on this window to their defaults"},
    {"OkBut", "Keep these options and save them"},
    {"CancelBut", "Forget the changes made since this window opened"},
    {"ButSaveOptAs", "Save all options to a file of your choice"},
    {"ButLoadOptFrom", "Load all options from a file saved earlier"},
    {"ButResAll", "Set ALL options of the program to their state after installation"},
};

QLabel* label(const char* text, QWidget* buddy = nullptr) {
  auto* l = new QLabel(QString::fromUtf8(text));
  if (buddy) l->setBuddy(buddy);
  return l;
}

QPushButton* button(const char* name, const char* caption) {
  auto* b = new QPushButton(QString::fromUtf8(caption));
  b->setObjectName(QString::fromUtf8(name));
  b->setAutoDefault(false);
  return b;
}

// A button that shows a colour and opens the colour dialog.
QPushButton* colourPanel(const char* name) {
  auto* b = button(name, "");
  b->setFixedSize(44, 20);
  return b;
}

void showColour(QPushButton* panel, std::optional<Colour> colour) {
  panel->setStyleSheet(colour ? QStringLiteral("QPushButton { background-color: %1; border: 1px solid #555; }")
                                    .arg(qtColour(*colour).name())
                              : QStringLiteral("QPushButton { background: transparent; border: 1px solid #888; }"));
}

QWidget* row(std::initializer_list<QWidget*> widgets, bool stretch = true) {
  auto* w = new QWidget;
  auto* h = new QHBoxLayout(w);
  h->setContentsMargins(0, 0, 0, 0);
  for (QWidget* x : widgets) h->addWidget(x);
  if (stretch) h->addStretch(1);
  return w;
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

QGroupBox* OptionsForm::buildInfo() {
  auto* box = new QGroupBox(" &Info to display/export ");
  box->setObjectName("FrameInfo");
  auto* v = new QVBoxLayout(box);
  // The value fields in their order, then the enumeration.
  auto addBox = [&](const ShownFieldInfo& f) {
    auto* c = new QCheckBox(QString::fromUtf8(f.caption));
    checks_[int(shownFieldCheck(f.field))] = c;
    v->addWidget(c);
  };
  for (const ShownFieldInfo& f : valueFieldTable()) addBox(f);
  addBox(shownField(ShownField::Enumeration));
  auto* always = label("- Filename is always included -");
  auto* note = label("   playtimes are rounded in sec.");
  for (QLabel* l : {always, note}) {
    QFont f = l->font();
    f.setItalic(true);
    l->setFont(f);
  }
  v->addWidget(always);
  v->addWidget(note);
  return box;
}

QGroupBox* OptionsForm::buildStyles() {
  auto* box = new QGroupBox(" S&tyles ");
  box->setObjectName("FrameStyles");
  auto* g = new QGridLayout(box);
  const std::pair<OptCombo, const char*> rows[] = {{OptCombo::ComboStyle, "Date:"},
                                                   {OptCombo::ComboK, "Size:"},
                                                   {OptCombo::ComboStereo, "Stereo:"},
                                                   {OptCombo::ComboVBR, "VBR:"}};
  int r = 0;
  for (const auto& [combo, caption] : rows) {
    auto* c = combos_[int(combo)];
    g->addWidget(label(caption, c), r, 0, Qt::AlignRight);
    g->addWidget(c, r, 1);
    ++r;
  }
  g->setColumnStretch(1, 1);
  return box;
}

QGroupBox* OptionsForm::buildProcessing() {
  auto* box = new QGroupBox(" &Processing ");
  box->setObjectName("FrameProcessing");
  auto* g = new QGridLayout(box);
  int r = 0;
  auto* onError = label("On error:", combos_[int(OptCombo::erroractioncombo)]);
  g->addWidget(onError, r, 0, Qt::AlignRight);
  g->addWidget(row({combos_[int(OptCombo::erroractioncombo)], combos_[int(OptCombo::errorexportcombo)]}), r++, 1);

  auto* phelp = button("phelp", "?");
  phelp->setFixedWidth(28);
  connect(phelp, &QPushButton::clicked, this, [this] { act([this] { unit_.phelpClick(); }); });
  g->addWidget(label("Reading:", combos_[int(OptCombo::Combopopt)]), r, 0, Qt::AlignRight);
  g->addWidget(row({combos_[int(OptCombo::Combopopt)], phelp}), r++, 1);

  auto* ehelp = button("ehelp", "?");
  ehelp->setFixedWidth(28);
  connect(ehelp, &QPushButton::clicked, this, [this] { act([this] { unit_.ehelpClick(); }); });
  g->addWidget(label("Upon encountering existing entries:", combos_[int(OptCombo::ComboSkip)]), r++, 0, 1, 2);
  g->addWidget(row({combos_[int(OptCombo::ComboSkip)], ehelp}), r++, 1);

  // The two sentences with fields in them read as one line each.
  auto* minEdit = edits_[int(OptEdit::minsizetext)];
  g->addWidget(row({label("Index mp3's between", minEdit), minEdit, label("KB and"),
                    edits_[int(OptEdit::maxsizetext)], label("MB.")}),
               r++, 0, 1, 2);
  g->addWidget(checks_[int(OptCheck::CheckSh)], r++, 0, 1, 2);
  auto* maxEdit = edits_[int(OptEdit::EditMaxcursav)];
  g->addWidget(row({label("Don't ask to save less than", maxEdit), maxEdit, label("unsaved items.")}), r++, 0, 1, 2);

  startListBut_ = button("StartListBut", "...");
  startListBut_->setFixedWidth(36);
  g->addWidget(label("On start-up:", combos_[int(OptCombo::ListLoadCombo)]), r, 0, Qt::AlignRight);
  g->addWidget(row({combos_[int(OptCombo::ListLoadCombo)], startListBut_}), r++, 1);

  sortByLabel_ = label("Sort by:", combos_[int(OptCombo::sortcombo)]);
  g->addWidget(checks_[int(OptCheck::CheckSort)], r, 0, Qt::AlignRight);
  g->addWidget(row({sortByLabel_, combos_[int(OptCombo::sortcombo)]}), r++, 1);
  g->addWidget(checks_[int(OptCheck::CheckDescend)], r++, 1);
  g->addWidget(checks_[int(OptCheck::CheckCase)], r++, 1);
  g->setColumnStretch(1, 1);
  return box;
}

QGroupBox* OptionsForm::buildExport() {
  auto* box = new QGroupBox(" E&xport format ");
  box->setObjectName("FrameExport");
  auto* g = new QGridLayout(box);
  int r = 0;
  g->addWidget(label("File type:", combos_[int(OptCombo::ooptcombo)]), r, 0, Qt::AlignRight);
  g->addWidget(combos_[int(OptCombo::ooptcombo)], r++, 1, Qt::AlignLeft);

  auto* delimiterRow = new QWidget;
  auto* dh = new QHBoxLayout(delimiterRow);
  dh->setContentsMargins(0, 0, 0, 0);
  for (size_t i = 0; i < delimiters_.size(); ++i) {
    auto* b = new QRadioButton(QString::fromUtf8(kDelimiterTexts[i]));
    b->setObjectName(QStringLiteral("doption%1").arg(i));
    delimiters_[i] = b;
    dh->addWidget(b);
  }
  dh->addStretch(1);
  g->addWidget(label("Delimiter:"), r, 0, Qt::AlignRight);
  g->addWidget(delimiterRow, r++, 1);

  auto* pad = edits_[int(OptEdit::estext)];
  g->addWidget(row({label("Append spaces until filename length is", pad), pad}), r++, 0, 1, 2);

  auto* headerRow = new QWidget;
  auto* hv = new QVBoxLayout(headerRow);
  hv->setContentsMargins(0, 0, 0, 0);
  hv->setSpacing(0);
  hv->addWidget(checks_[int(OptCheck::AddHeaderCheck)]);
  const char* notes[] = {"- appllies only in text mode", "- use to export to access and other prog.",
                         "- overrides all options above"};
  for (size_t i = 0; i < 3; ++i) {
    headerRowLabels_[i] = label(notes[i]);
    headerRowLabels_[i]->setIndent(24);
    hv->addWidget(headerRowLabels_[i]);
  }
  g->addWidget(headerRow, r++, 0, 1, 2);

  const char* fileButtons[2][4] = {{"headbut", "head2but", "ButEditHeadText", "ButEditHeadHtml"},
                                   {"footbut", "foot2but", "ButEditFootText", "ButEditFootHtml"}};
  const char* fileCaptions[4] = {"txt", "htm", "edit txt", "edit htm"};
  for (int which = 0; which < 2; ++which) {
    auto& buttons = which == 0 ? headerButtons_ : footerButtons_;
    for (int i = 0; i < 4; ++i) {
      buttons[i] = button(fileButtons[which][i], fileCaptions[i]);
      buttons[i]->setMinimumWidth(0);
      buttons[i]->setMaximumWidth(buttons[i]->fontMetrics().horizontalAdvance(buttons[i]->text()) + 24);
    }
    g->addWidget(checks_[int(which == 0 ? OptCheck::CheckHead : OptCheck::CheckFoot)], r, 0);
    g->addWidget(row({buttons[0], buttons[1], buttons[2], buttons[3]}), r++, 1);
  }
  g->addWidget(checks_[int(OptCheck::CheckHtag)], r++, 0, 1, 2);

  auto* tableRow = new QWidget;
  auto* th = new QHBoxLayout(tableRow);
  th->setContentsMargins(0, 0, 0, 0);
  const char* tableCaptions[] = {"Cellspacing", "Cellpadding", "Border"};
  for (int i = 0; i < 3; ++i) {
    auto* e = edits_[int(OptEdit::cstext0) + i];
    th->addWidget(label(tableCaptions[i], e));
    th->addWidget(e);
    th->addSpacing(8);
  }
  th->addStretch(1);
  g->addWidget(label("HTML table:"), r, 0, Qt::AlignRight);
  g->addWidget(tableRow, r++, 1);

  bgpic_ = colourPanel("bgpic");
  txpic_ = colourPanel("txpic");
  g->addWidget(label("Colours:"), r, 0, Qt::AlignRight);
  g->addWidget(row({checks_[int(OptCheck::bgcheck)], bgpic_, checks_[int(OptCheck::txcheck)], txpic_}), r++, 1);

  capFontBut_ = button("ButCapFont", "caption font");
  g->addWidget(label("Fonts:"), r, 0, Qt::AlignRight);
  g->addWidget(row({button("ButTfont", "font"), capFontBut_}), r++, 1);
  auto* ptooLabel = label("apply on plain html", checks_[int(OptCheck::CheckPtoo)]);
  g->addWidget(row({checks_[int(OptCheck::CheckPtoo)], ptooLabel}), r++, 1);
  g->addWidget(row({checks_[int(OptCheck::CheckSplit)], checks_[int(OptCheck::CheckCenter)]}), r++, 1);

  auto* batch = button("ButBatchCap", "batch?");
  g->addWidget(label("Table captions:", combos_[int(OptCombo::ComboCap)]), r, 0, Qt::AlignRight);
  g->addWidget(combos_[int(OptCombo::ComboCap)], r++, 1, Qt::AlignLeft);
  g->addWidget(row({checks_[int(OptCheck::CheckFpb)], batch}), r++, 1);

  g->addWidget(label("XLS playtime:"), r, 0, Qt::AlignRight);
  g->addWidget(row({checks_[int(OptCheck::Checkhr)], checks_[int(OptCheck::Checkms)]}), r++, 1);
  g->setColumnStretch(1, 1);
  return box;
}

QGroupBox* OptionsForm::buildAppearance() {
  auto* box = new QGroupBox("Appearance of");
  box->setObjectName("FrameAppearance");
  auto* h = new QHBoxLayout(box);
  panelW_ = colourPanel("PanelW");
  panelW_->setFixedSize(60, 22);
  h->addWidget(combos_[int(OptCombo::ComboCow)]);
  h->addWidget(panelW_);
  h->addSpacing(12);
  h->addWidget(label("appears", combos_[int(OptCombo::ComboTap)]));
  h->addWidget(combos_[int(OptCombo::ComboTap)]);
  h->addStretch(1);
  return box;
}

void OptionsForm::build() {
  const char* checkCaptions[kOptCheckCount] = {};
  checkCaptions[int(OptCheck::CheckSh)] = "Include system && hidden files";
  checkCaptions[int(OptCheck::CheckSort)] = "Sort";
  checkCaptions[int(OptCheck::CheckDescend)] = "Reverse order (descending)";
  checkCaptions[int(OptCheck::CheckCase)] = "Case sensitive";
  checkCaptions[int(OptCheck::AddHeaderCheck)] = "Add header row && use tabs as delimiters";
  checkCaptions[int(OptCheck::CheckHead)] = "Header file:";
  checkCaptions[int(OptCheck::CheckFoot)] = "Footer file:";
  checkCaptions[int(OptCheck::CheckHtag)] = "use html, title && body tags from my files";
  checkCaptions[int(OptCheck::bgcheck)] = "Bgcolor";
  checkCaptions[int(OptCheck::txcheck)] = "Textcolor";
  checkCaptions[int(OptCheck::CheckPtoo)] = "";
  checkCaptions[int(OptCheck::CheckSplit)] = "Split artist - title";
  checkCaptions[int(OptCheck::CheckCenter)] = "Center artist - title";
  checkCaptions[int(OptCheck::CheckFpb)] = "full path";
  checkCaptions[int(OptCheck::Checkhr)] = "hours";
  checkCaptions[int(OptCheck::Checkms)] = "milliseconds";
  for (int i = 0; i < kOptCheckCount; ++i) {
    if (!checkCaptions[i]) continue;  // the info boxes are made with their group
    checks_[i] = new QCheckBox(QString::fromUtf8(checkCaptions[i]));
  }
  for (int i = 0; i < kOptComboCount; ++i) {
    auto* c = new QComboBox;
    c->setObjectName(controlName(OptCombo(i)));
    for (const char* item : comboTexts(OptCombo(i))) c->addItem(QString::fromUtf8(item));
    c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    combos_[i] = c;
  }
  for (int i = 0; i < kOptEditCount; ++i) {
    auto* e = new QLineEdit;
    e->setObjectName(controlName(OptEdit(i)));
    const int length = editRange(OptEdit(i)).maxLength;
    e->setMaxLength(length);
    e->setAlignment(Qt::AlignRight);
    e->setFixedWidth(e->fontMetrics().horizontalAdvance(QString(length + 1, QLatin1Char('0'))) + 12);
    e->installEventFilter(this);
    edits_[i] = e;
  }

  auto* info = buildInfo();
  for (int i = 0; i < kOptCheckCount; ++i) checks_[i]->setObjectName(controlName(OptCheck(i)));

  auto* hints = new QLabel(qt(kHintsLabel).remove(QLatin1Char('\r')));
  hints->setObjectName("HintLabel");

  auto* left = new QVBoxLayout;
  left->addWidget(info);
  left->addWidget(buildStyles());
  left->addStretch(1);
  auto* middle = new QVBoxLayout;
  middle->addWidget(buildProcessing());
  middle->addWidget(buildAppearance());
  middle->addStretch(1);
  auto* right = new QVBoxLayout;
  right->addWidget(buildExport());
  right->addStretch(1);

  auto* columns = new QHBoxLayout;
  columns->addLayout(left);
  columns->addLayout(middle);
  columns->addLayout(right);

  auto* buttons = new QHBoxLayout;
  const std::pair<const char*, const char*> leftButtons[] = {{"DefBut", "&DEFAULTS"},
                                                             {"ButSaveOptAs", "&Save options as"},
                                                             {"ButLoadOptFrom", "&Load options from"},
                                                             {"ButResAll", "&Reset ALL options"}};
  for (const auto& [name, caption] : leftButtons) buttons->addWidget(button(name, caption));
  buttons->addStretch(1);
  auto* ok = button("OkBut", "O&K");
  auto* cancel = button("CancelBut", "&CANCEL");
  for (QPushButton* b : {ok, cancel}) b->setMinimumWidth(96);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);

  auto* v = new QVBoxLayout(this);
  v->addWidget(hints);
  v->addLayout(columns, 1);
  v->addLayout(buttons);
}

void OptionsForm::setHints() {
  for (const Hint& h : kHints) {
    if (auto* w = findChild<QWidget*>(QString::fromUtf8(h.control))) setHint(w, h.text);
  }
  for (const ShownFieldInfo& f : shownFieldTable()) setHint(checks_[int(shownFieldCheck(f.field))], f.hint);
  for (int i = 0; i < kOptEditCount; ++i) setHint(edits_[i], editHint(OptEdit(i)).c_str());
}

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
                               std::function<void()> coloursChanged) {
  // A window of its own rather than a child of caller: disabling caller would disable it too.
  OptionsForm form(settings, ui);
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

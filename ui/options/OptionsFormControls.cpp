// The options window's controls: its groups built one at a time, laid out in three columns, and
// their hints.
#include "ui/options/OptionsForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/widgets/QtText.h"

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

QWidget* row(std::initializer_list<QWidget*> widgets, bool stretch = true) {
  auto* w = new QWidget;
  auto* h = new QHBoxLayout(w);
  h->setContentsMargins(0, 0, 0, 0);
  for (QWidget* x : widgets) h->addWidget(x);
  if (stretch) h->addStretch(1);
  return w;
}

}  // namespace

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

}  // namespace sonalog::ui

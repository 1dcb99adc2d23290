#include "ui/viewer/ViewForm.h"

#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFontDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

#include "platform/Dates.h"
#include "ui/options/OptionsForm.h"
#include "ui/search/SearchWindows.h"
#include "ui/viewer/FindForm.h"
#include "ui/viewer/GridTextWidth.h"
#include "ui/viewer/InsertForm.h"
#include "ui/viewer/SkipFMsgForm.h"
#include "ui/viewer/ViewFormGrid.h"
#include "ui/viewer/ViewModel.h"
#include "ui/widgets/Fader.h"
#include "ui/widgets/QtSettings.h"
#include "ui/widgets/QtText.h"
#include "ui/widgets/QtUserInterface.h"
#include "ui/widgets/WindowPlacement.h"
#include "viewer/InsertUnit.h"
#include "viewer/SkipFmsg.h"

namespace sonalog::ui {

namespace {

// The viewer that runViewerWindow shows, for the program's end.
QPointer<TViewForm> shownViewer;

constexpr int kMinClientSize = 200;
constexpr int kViewerFadeIntervalMs = 14;
// Pixels Qt's item delegate keeps free beside a cell's text.
constexpr int kCellMargin = 6;
constexpr int kRowExtra = 4;

QFont fontOf(const FontSetting& f) {
  return gridFont(f.name, f.size, f.style & kFontBold, f.style & kFontItalic,
                  f.style & kFontUnderline, f.style & kFontStrikeOut);
}

QPushButton* button(QWidget* parent, const char* name, const char* caption) {
  auto* b = new QPushButton(QString::fromUtf8(caption), parent);
  b->setObjectName(name);
  return b;
}

}  // namespace

TViewForm::TViewForm(InternalList& list, Settings& settings, UserInterface& ui, QWidget* parent)
    : QWidget(parent, Qt::Window),
      list_(list),
      settings_(settings),
      ui_(ui),
      unit_(list, settings, ui),
      find_(ui),
      play_(ui) {
  setObjectName("TViewForm");
  setWindowTitle(QStringLiteral(" Internal list viewer"));
  setMinimumSize(kMinClientSize, kMinClientSize);
  runDialog = [](QDialog& d) { return d.exec(); };
  fader_ = std::make_unique<Fader>(this, kViewerFadeIntervalMs);
  buildControls();
  buildMenu();
  buildShortcuts();
}

TViewForm::~TViewForm() {
  // The grid asks the logic for texts while QWidget's destructor hides it, after the logic
  // members are gone: the grid goes first.
  delete grid_;
  grid_ = nullptr;
}

void TViewForm::setHooks(Hooks hooks) {
  hooks_ = std::move(hooks);
  updatePanel();
}

// ---- Building the window ----

void TViewForm::buildControls() {
  grid_ = new ViewFormGrid(this);
  model_ = new ViewModel(unit_, this);
  grid_->setModel(model_);
  grid_->setTextElideMode(Qt::ElideNone);
  grid_->setWordWrap(false);
  grid_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  grid_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  grid_->verticalHeader()->hide();
  grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid_->verticalHeader()->setMinimumSectionSize(1);
  QHeaderView* header = grid_->horizontalHeader();
  header->setSectionsMovable(true);
  header->setSectionsClickable(true);
  header->setHighlightSections(false);
  header->setSectionResizeMode(QHeaderView::Interactive);
  header->setMinimumSectionSize(4);
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  grid_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(header, &QHeaderView::sectionClicked, this, &TViewForm::SG1HeaderClick);
  connect(header, &QHeaderView::sectionResized, this, [this](int column, int, int width) {
    if (!settingWidths_) unit_.storeManualWidth(column, width - kCellMargin);
  });
  connect(grid_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { if (ready()) menu_->popup(grid_->viewport()->mapToGlobal(at)); });
  connect(grid_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int top) {
    if (showingSelection_ || updating_ || !ready()) return;
    unit_.selection().scrolled(static_cast<uint32_t>(std::max(0, top)));
    showSelection();
  });
  connect(grid_, &ViewFormGrid::rowClicked, this, [this](int row, bool shift, bool ctrl) {
    if (!ready()) return;
    unit_.selection().click(static_cast<uint32_t>(row), shift, ctrl);
    showSelection();
  });
  connect(grid_, &ViewFormGrid::rowDragged, this, [this](int row) {
    if (!ready()) return;
    unit_.selection().dragTo(static_cast<uint32_t>(row));
    showSelection();
  });
  connect(grid_, &ViewFormGrid::moveRequested, this, &TViewForm::moveSelection);
  connect(grid_, &ViewFormGrid::editRequested, this, &TViewForm::EditButClick);
  connect(grid_, &ViewFormGrid::copyRequested, this, &TViewForm::copyRows);
  connect(grid_, &ViewFormGrid::textTyped, this, &TViewForm::typeAhead);
  connect(grid_, &ViewFormGrid::deleteRequested, this, &TViewForm::DeleteButClick);

  // The panel scrolls when the window is smaller than it, so every control stays reachable.
  auto* panelScroll = new QScrollArea(this);
  panelScroll->setObjectName("PanelScroll");
  panelScroll->setWidgetResizable(true);
  panelScroll->setFrameShape(QFrame::NoFrame);
  panelScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* panel = new QWidget(panelScroll);
  panel->setObjectName("PanelButtons");
  auto* col = new QVBoxLayout(panel);
  col->setContentsMargins(4, 4, 4, 4);
  col->setSpacing(3);

  sblab_ = new QLabel(QStringLiteral("Sorted by:"), panel);
  sblab_->setObjectName("sblab");
  sortlab_ = new QLabel(panel);
  sortlab_->setObjectName("sortlab");
  col->addWidget(sblab_);
  col->addWidget(sortlab_);

  editBut_ = button(panel, "EditBut", "&Edit");
  insertBut_ = button(panel, "InsertBut", "&Insert");
  deleteBut_ = button(panel, "DeleteBut", "Delete");
  undoBut_ = button(panel, "UndoBut", "Undo");
  findBut_ = button(panel, "FindBut", "Find");
  resortBut_ = button(panel, "ResortBut", "&Re-sort");
  primaryBut_ = button(panel, "ButPrimary", "MAKE\nP&RIMARY");
  playBut_ = button(panel, "ButPlay", "&Play");
  setHint(resortBut_, "Sort again as specified in main options");
  setHint(playBut_, "Play selected item[s]");
  setHint(deleteBut_, "Delete selected item[s]  (Ctrl+Del)");
  setHint(undoBut_, "Undo the last change  (Ctrl+Z)");
  setHint(findBut_, "Find or filter  (Ctrl+F)");
  for (QPushButton* b : {editBut_, insertBut_, deleteBut_, undoBut_, findBut_, resortBut_,
                         primaryBut_, playBut_})
    col->addWidget(b);
  col->addSpacing(6);

  dupBut_ = button(panel, "DupBut", "D&uplicates");
  compBut_ = button(panel, "CompBut", "&Compare");
  saveBut_ = button(panel, "SaveBut", "&Save as");
  exportBut_ = button(panel, "ExportBut", "E&xport");
  optBut_ = button(panel, "OptBut", "&Options");
  for (QPushButton* b : {dupBut_, compBut_, saveBut_, exportBut_, optBut_}) col->addWidget(b);
  col->addSpacing(6);

  auto* fontRow = new QHBoxLayout;
  fontBut_ = button(panel, "FontBut", "&Font");
  upDown1_ = new QSpinBox(panel);
  upDown1_->setObjectName("UpDown1");
  upDown1_->setRange(kMinViewerFontSize, kMaxViewerFontSize);
  setHint(upDown1_, "Change font size");
  fontRow->addWidget(fontBut_);
  fontRow->addWidget(upDown1_);
  col->addLayout(fontRow);

  checkSplit_ = new QCheckBox(QStringLiteral("Spli&t art-tit."), panel);
  checkSplit_->setObjectName("CheckSplit");
  col->addWidget(checkSplit_);

  auto* widths = new QGroupBox(QStringLiteral("Cell widths"), panel);
  auto* wl = new QVBoxLayout(widths);
  wl->setContentsMargins(4, 2, 4, 2);
  mcwcheck_ = new QCheckBox(QStringLiteral("&Manual"), widths);
  mcwcheck_->setObjectName("mcwcheck");
  acwcheck_ = new QCheckBox(QStringLiteral("&Automatic"), widths);
  acwcheck_->setObjectName("acwcheck");
  auto* widthGroup = new QButtonGroup(widths);
  widthGroup->addButton(mcwcheck_);
  widthGroup->addButton(acwcheck_);
  wl->addWidget(mcwcheck_);
  wl->addWidget(acwcheck_);
  col->addWidget(widths);

  auto* colours = new QGroupBox(QStringLiteral("Colors"), panel);
  auto* cl = new QVBoxLayout(colours);
  cl->setContentsMargins(4, 2, 4, 2);
  const char* schemeNames[3] = {"rbwindows", "rblight", "rbdark"};
  const char* schemeCaptions[3] = {"&Windows", "&Light", "&Dark"};
  for (int i = 0; i < 3; ++i) {
    schemes_[i] = new QRadioButton(QString::fromUtf8(schemeCaptions[i]), colours);
    schemes_[i]->setObjectName(schemeNames[i]);
    cl->addWidget(schemes_[i]);
    connect(schemes_[i], &QRadioButton::clicked, this, [this, i] {
      unit_.setColourScheme(static_cast<uint8_t>(i));
      applyColours();
    });
  }
  col->addWidget(colours);
  col->addStretch(1);
  // Close stays below the scrolled part: a small window can always be closed with the mouse.
  closeBut_ = button(this, "CloseBut", "Close");

  for (QPushButton* b : panel->findChildren<QPushButton*>()) b->installEventFilter(this);
  closeBut_->installEventFilter(this);

  connect(editBut_, &QPushButton::clicked, this, &TViewForm::EditButClick);
  connect(insertBut_, &QPushButton::clicked, this, &TViewForm::InsertButClick);
  connect(deleteBut_, &QPushButton::clicked, this, &TViewForm::DeleteButClick);
  connect(undoBut_, &QPushButton::clicked, this, &TViewForm::UndoButClick);
  connect(findBut_, &QPushButton::clicked, this, &TViewForm::FindButClick);
  connect(resortBut_, &QPushButton::clicked, this, &TViewForm::ResortButClick);
  connect(primaryBut_, &QPushButton::clicked, this, &TViewForm::ButPrimaryClick);
  connect(playBut_, &QPushButton::clicked, this, &TViewForm::ButPlayClick);
  connect(fontBut_, &QPushButton::clicked, this, &TViewForm::FontButClick);
  connect(dupBut_, &QPushButton::clicked, this, [this] { run(unit_.commands().duplicates); });
  connect(compBut_, &QPushButton::clicked, this, [this] { run(unit_.commands().compare); });
  connect(closeBut_, &QPushButton::clicked, this, &QWidget::close);
  connect(saveBut_, &QPushButton::clicked, this, [this] {
    if (ready() && hooks_.saveAs) hooks_.saveAs();
  });
  connect(exportBut_, &QPushButton::clicked, this, [this] {
    if (ready() && hooks_.exportList) hooks_.exportList();
  });
  connect(optBut_, &QPushButton::clicked, this, [this] {
    if (!ready() || !hooks_.options) return;
    if (hooks_.options()) rebuild();
  });
  connect(upDown1_, &QSpinBox::valueChanged, this, [this](int size) {
    if (updating_ || !ready()) return;
    unit_.setFontSize(size);
    applyFont();
    showList();
  });
  connect(checkSplit_, &QCheckBox::toggled, this, [this](bool on) {
    if (updating_ || !ready()) return;
    unit_.setSplit(on);
    showList();
  });
  auto widthMode = [this](bool manual) {
    if (updating_) return;
    unit_.setManualWidths(manual);
    showList();
  };
  connect(mcwcheck_, &QCheckBox::clicked, this, [widthMode] { widthMode(true); });
  connect(acwcheck_, &QCheckBox::clicked, this, [widthMode] { widthMode(false); });

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(grid_, 1);
  panelScroll->setWidget(panel);
  const int panelWidth =
      panel->sizeHint().width() + panelScroll->verticalScrollBar()->sizeHint().width();
  panelScroll->setFixedWidth(panelWidth);
  auto* side = new QVBoxLayout;
  side->setContentsMargins(0, 0, 0, 4);
  side->setSpacing(2);
  side->addWidget(panelScroll, 1);
  closeBut_->setFixedWidth(panelWidth - 8);
  side->addWidget(closeBut_, 0, Qt::AlignHCenter);
  layout->addLayout(side, 0);
}

void TViewForm::buildMenu() {
  menu_ = new QMenu(this);
  menu_->setObjectName("PopupMenu1");
  auto add = [this](QMenu* m, const char* name, const char* text, auto slot) {
    QAction* a = m->addAction(QString::fromUtf8(text));
    a->setObjectName(name);
    connect(a, &QAction::triggered, this, slot);
    return a;
  };
  menuEdit_ = add(menu_, "MenuEdit", "&Edit  (Alt+E)", &TViewForm::EditButClick);
  menuInsert_ = menu_->addAction(QStringLiteral("&Insert  (Alt+I)"));
  menuInsert_->setObjectName("MenuInsert");
  connect(menuInsert_, &QAction::triggered, this, [this] { run(unit_.commands().menuInsert); });
  menuDelete_ = add(menu_, "MenuDelete", "&Delete  (Ctrl+Del)", &TViewForm::DeleteButClick);
  menuUndo_ = add(menu_, "MenuUndo", "&Undo  (Ctrl+Z)", &TViewForm::UndoButClick);
  menu_->addSeparator();
  menuFind_ = add(menu_, "MenuFind", "&Find or filter  (Ctrl+F)", &TViewForm::FindButClick);
  menuResort_ = menu_->addAction(QStringLiteral("&Re-sort  (Alt+R)"));
  menuResort_->setObjectName("MenuResort");
  connect(menuResort_, &QAction::triggered, this, [this] { run(unit_.commands().menuResort); });
  menuPlay_ = add(menu_, "MenuPlay", "&Play  (Alt+P)", &TViewForm::ButPlayClick);
  menu_->addSeparator();
  menuFont_ = add(menu_, "MenuFont", "List fo&nt  (Alt+F)", &TViewForm::FontButClick);

  colourMenu_ = menu_->addMenu(QStringLiteral("&List colors"));
  colourMenu_->setObjectName("MenuColors");
  auto* colourGroup = new QActionGroup(this);
  for (int i = 0; i < 3; ++i) {
    menuColours_[i] = colourMenu_->addAction(QString());
    menuColours_[i]->setObjectName(QStringLiteral("MenuColors%1").arg(i));
    menuColours_[i]->setCheckable(true);
    colourGroup->addAction(menuColours_[i]);
    connect(menuColours_[i], &QAction::triggered, this, [this, i] {
      unit_.setColourScheme(static_cast<uint8_t>(i));
      applyColours();
    });
  }

  QMenu* timeMenu = menu_->addMenu(QStringLiteral("&Total time display"));
  timeMenu->setObjectName("MenuTime");
  const char* timeTexts[4] = {"Like &d.h:m:s", "Like &h:m:s",
                              "Like d da&ys, h hours, m minutes, s seconds",
                              "Like h hou&rs, m minutes, s seconds"};
  auto* timeGroup = new QActionGroup(this);
  for (int i = 0; i < 4; ++i) {
    menuTime_[i] = timeMenu->addAction(QString::fromUtf8(timeTexts[i]));
    menuTime_[i]->setObjectName(QStringLiteral("MenuTime%1").arg(i));
    menuTime_[i]->setCheckable(true);
    timeGroup->addAction(menuTime_[i]);
    connect(menuTime_[i], &QAction::triggered, this, [this, i] {
      unit_.setTotalTimeStyle(static_cast<uint8_t>(i));
      updatePanel();
    });
  }

  QMenu* widthMenu = menu_->addMenu(QStringLiteral("Cell &widths"));
  auto* widthGroup = new QActionGroup(this);
  menuCwManual_ = widthMenu->addAction(QStringLiteral("&Manual"));
  menuCwManual_->setObjectName("MenuCwManual");
  menuCwAutomatic_ = widthMenu->addAction(QStringLiteral("&Automatic"));
  menuCwAutomatic_->setObjectName("MenuCwAutomatic");
  for (QAction* a : {menuCwManual_, menuCwAutomatic_}) {
    a->setCheckable(true);
    widthGroup->addAction(a);
  }
  connect(menuCwManual_, &QAction::triggered, this, [this] { mcwcheck_->click(); });
  connect(menuCwAutomatic_, &QAction::triggered, this, [this] { acwcheck_->click(); });
}

void TViewForm::buildShortcuts() {
  auto key = [this](QKeySequence seq, auto slot) {
    auto* s = new QShortcut(seq, this);
    s->setContext(Qt::WindowShortcut);
    connect(s, &QShortcut::activated, this, slot);
  };
  key(QKeySequence(Qt::Key_Escape), [this] {
    if (ready()) close();
  });
  key(QKeySequence(Qt::CTRL | Qt::Key_Delete), &TViewForm::DeleteButClick);
  key(QKeySequence(Qt::CTRL | Qt::Key_F), &TViewForm::FindButClick);
  key(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_F), &TViewForm::FindNextKey);
  key(QKeySequence(Qt::Key_F3), &TViewForm::FindNextKey);
  key(QKeySequence(Qt::CTRL | Qt::Key_Z), &TViewForm::UndoButClick);
}

// ---- Showing the list ----

void TViewForm::openViewer() {
  grid_->horizontalHeader()->setDefaultSectionSize(
      ViewUnit::initialColumnWidth(settings_.viewerSize.left));
  sonalog::ui::restoreGeometry(this, settings_.viewerWindowPos.left, settings_.viewerWindowPos.top,
                  settings_.viewerSize.left, settings_.viewerSize.top);
  updating_ = true;
  checkSplit_->setChecked(settings_.viewerSplitArtistTitle);
  updating_ = false;
  // Shown first: the first column's width depends on the grid's final width.
  if (settings_.viewerMaximized)
    showMaximized();
  else
    show();
  applyFont();  // before open(): the width function measures with the grid's font
  unit_.open();
  applyFont();  // open() clamps the size
  showList();
  applyPosition({});
  if (settings_.fadeViewerWindow) fader_->fadeIn();
  raise();
  activateWindow();
}

void TViewForm::listChanged() {
  if (list_.items.empty()) return;
  rebuild();
}

void TViewForm::rebuild(bool keepPosition) {
  unit_.rebuild();  // keeps the current row and the range where they were
  if (!keepPosition) unit_.selection().place({});
  showList();
}

void TViewForm::showList() {
  updating_ = true;
  grid_->setUpdatesEnabled(false);
  model_->refresh();
  const QFontMetrics fm(grid_->font());
  grid_->verticalHeader()->setDefaultSectionSize(fm.height() + kRowExtra);
  applyWidths();
  applyColours();
  grid_->setUpdatesEnabled(true);
  updating_ = false;
  updatePanel();
  showSelection();
}

void TViewForm::applyWidths() {
  settingWidths_ = true;
  const std::vector<int> widths = unit_.columnWidths(grid_->viewport()->width());
  for (size_t c = 0; c < widths.size(); ++c)
    grid_->horizontalHeader()->resizeSection(static_cast<int>(c), widths[c] + kCellMargin);
  settingWidths_ = false;
}

void TViewForm::applyFont() {
  const QFont font = fontOf(settings_.viewerFont);
  grid_->setFont(font);
  grid_->horizontalHeader()->setFont(font);
  auto measure = std::make_shared<GridTextWidth>(font);
  unit_.setTextWidth([measure](std::string_view text) { return (*measure)(text); });
  updating_ = true;
  upDown1_->setValue(settings_.viewerFont.size);
  updating_ = false;
}

void TViewForm::applyColours() {
  const GridColours c = unit_.colours();
  QPalette p = QApplication::palette(grid_);
  QColor cells = p.color(QPalette::Base), text = p.color(QPalette::Text);
  QColor fixed = p.color(QPalette::Button), fixedText = p.color(QPalette::ButtonText);
  if (!c.system) {
    cells = qtColour(c.cells);
    text = qtColour(c.text);
    fixed = qtColour(c.fixed);
    fixedText = qtColour(c.inverted ? c.cells : c.text);
  } else if (c.inverted) {
    std::swap(cells, text);
  }
  p.setColor(QPalette::Base, cells);
  p.setColor(QPalette::AlternateBase, cells);
  p.setColor(QPalette::Text, text);
  grid_->setPalette(p);
  if (c.system) {
    grid_->horizontalHeader()->setStyleSheet(QString());
  } else {
    grid_->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView { background-color: %1; }"
                       " QHeaderView::section { background-color: %1; color: %2; padding: 1px 2px;"
                       " border: none; border-right: 1px solid %3; border-bottom: 1px solid %3; }")
            .arg(fixed.name(), fixedText.name(), fixed.darker(140).name()));
  }
  const auto texts = unit_.colourMenuTexts();
  const uint8_t scheme = unit_.colourScheme();
  for (int i = 0; i < 3; ++i) {
    menuColours_[i]->setText(qt(texts[static_cast<size_t>(i)]));
    menuColours_[i]->setChecked(i == scheme);
    schemes_[i]->setChecked(i == scheme);
  }
}

void TViewForm::updatePanel() {
  const ViewCommands c = unit_.commands();
  setWindowTitle(qt(c.caption));
  sortlab_->setText(qt(c.sortLabel));
  sblab_->setEnabled(c.sortLabelEnabled);
  QHeaderView* header = grid_->horizontalHeader();
  header->setSortIndicatorShown(c.sortColumn >= 0);
  if (c.sortColumn >= 0)
    header->setSortIndicator(c.sortColumn, c.sortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
  auto show = [](QWidget* w, const ViewCommand& command) {
    w->setVisible(command.visible);
    w->setEnabled(command.enabled);
  };
  auto showAction = [](QAction* a, const ViewCommand& command) {
    a->setVisible(command.visible);
    a->setEnabled(command.enabled);
    if (!command.caption.empty()) a->setText(qt(command.caption));
  };
  show(editBut_, c.edit);
  show(insertBut_, c.insert);
  insertBut_->setText(qt(c.insert.caption));
  show(deleteBut_, c.remove);
  show(undoBut_, c.undo);
  show(findBut_, c.find);
  show(resortBut_, c.resort);
  setHint(resortBut_, c.resortHint.c_str());
  show(primaryBut_, c.primary);
  show(playBut_, c.play);
  show(fontBut_, c.font);
  show(upDown1_, c.font);
  // The other windows' commands are there only when the caller gave them.
  dupBut_->setEnabled(c.duplicates.enabled && bool(hooks_.duplicates));
  compBut_->setEnabled(c.compare.enabled && bool(hooks_.compare));
  saveBut_->setEnabled(bool(hooks_.saveAs));
  exportBut_->setEnabled(bool(hooks_.exportList));
  optBut_->setEnabled(bool(hooks_.options));
  showAction(menuEdit_, c.edit);
  showAction(menuInsert_, c.menuInsert);
  showAction(menuDelete_, c.remove);
  showAction(menuUndo_, c.undo);
  showAction(menuFind_, c.menuFind);
  showAction(menuResort_, c.menuResort);
  showAction(menuPlay_, c.play);
  showAction(menuFont_, c.font);
  updating_ = true;
  mcwcheck_->setChecked(settings_.viewerManualWidths);
  acwcheck_->setChecked(!settings_.viewerManualWidths);
  menuCwManual_->setChecked(settings_.viewerManualWidths);
  menuCwAutomatic_->setChecked(!settings_.viewerManualWidths);
  checkSplit_->setChecked(settings_.viewerSplitArtistTitle);
  updating_ = false;
  for (int i = 0; i < 4; ++i) menuTime_[i]->setChecked(i == (settings_.viewerTotalTimeStyle & 3));
}

// ---- Rows ----

GridPosition TViewForm::position() const { return unit_.selection().position(); }

void TViewForm::applyPosition(const GridPosition& pos) {
  unit_.selection().place(pos);
  showSelection();
}

void TViewForm::showSelection() {
  ViewSelection& sel = unit_.selection();
  sel.setVisibleRows(static_cast<uint32_t>(grid_->wholeRows()));
  const int rows = model_->rowCount();
  showingSelection_ = true;
  if (rows == 0 || sel.empty()) {
    grid_->selectionModel()->clear();
  } else {
    const RowRange range = sel.range();
    const int lastColumn = std::max(0, model_->columnCount() - 1);
    grid_->verticalScrollBar()->setValue(static_cast<int>(sel.top()));
    grid_->selectionModel()->setCurrentIndex(model_->index(static_cast<int>(sel.current()), 0),
                                             QItemSelectionModel::NoUpdate);
    grid_->selectionModel()->select(
        QItemSelection(model_->index(static_cast<int>(range.first), 0),
                       model_->index(static_cast<int>(range.last), lastColumn)),
        QItemSelectionModel::ClearAndSelect);
  }
  showingSelection_ = false;
}

int TViewForm::visibleRows() const { return grid_->wholeRows(); }

void TViewForm::moveSelection(RowMove move, bool extend) {
  if (!ready()) return;
  unit_.selection().move(move, extend);
  showSelection();
}

void TViewForm::copyRows() {
  if (!ready() || unit_.selection().empty()) return;
  std::vector<int> columns;  // as the user arranged them
  const QHeaderView* header = grid_->horizontalHeader();
  for (int v = 0; v < header->count(); ++v)
    if (!header->isSectionHidden(header->logicalIndex(v))) columns.push_back(header->logicalIndex(v));
  QGuiApplication::clipboard()->setText(qt(unit_.copyText(unit_.selection().range(), columns)));
}

void TViewForm::typeAhead(const QString& text) {
  if (!ready()) return;
  // Letters typed in quick succession make one prefix, as in a file manager.
  const bool growing =
      typedTimer_.isValid() && typedTimer_.elapsed() < QApplication::keyboardInputInterval();
  typed_ = growing ? typed_ + text : text;
  typedTimer_.start();
  if (unit_.jumpToName(toStd(typed_), growing)) showSelection();
}

std::vector<uint32_t> TViewForm::selectedRows() const {
  std::vector<uint32_t> rows;
  if (unit_.selection().empty()) return rows;
  const RowRange range = unit_.selection().range();
  for (uint32_t r = range.first; r <= range.last; ++r) rows.push_back(r);
  return rows;
}

bool TViewForm::ready() const { return !unit_.busy() && !list_.items.empty(); }

// ---- Commands ----

void TViewForm::EditButClick() { run(unit_.commands().edit); }
void TViewForm::InsertButClick() { run(unit_.commands().insert); }
void TViewForm::DeleteButClick() { run(unit_.commands().remove); }
void TViewForm::UndoButClick() { run(unit_.commands().undo); }
void TViewForm::FindButClick() { run(unit_.commands().find); }
void TViewForm::FindNextKey() { run(unit_.commands().findNext); }
void TViewForm::ResortButClick() { run(unit_.commands().resort); }
void TViewForm::ButPrimaryClick() { run(unit_.commands().primary); }
void TViewForm::ButPlayClick() { run(unit_.commands().play); }
void TViewForm::FontButClick() { run(unit_.commands().font); }

void TViewForm::run(const ViewCommand& command) {
  if (!command.enabled) return;
  emit commandRun(command.action);
  switch (command.action) {
    case ViewAction::None: break;
    case ViewAction::Edit: editItem(); break;
    case ViewAction::Insert: insertItem(); break;
    case ViewAction::FindNext: findNext(); break;
    case ViewAction::Unfilter: apply([&](GridPosition& pos) { return unit_.unfilter(pos); }); break;
    case ViewAction::Delete: deleteRows(); break;
    case ViewAction::Undo: apply([&](GridPosition& pos) { return unit_.undo(pos); }); break;
    case ViewAction::Find: findOrFilter(); break;
    case ViewAction::Resort: apply([&](GridPosition& pos) { return unit_.resort(pos); }, true); break;
    case ViewAction::MakePrimary:
      if (unit_.makePrimary()) showList();
      break;
    case ViewAction::Play: play_.play(list_.items, selectedRows()); break;
    case ViewAction::Font: chooseFont(); break;
    case ViewAction::Duplicates:
      if (hooks_.duplicates) afterForeignRun(hooks_.duplicates());
      break;
    case ViewAction::Compare:
      if (hooks_.compare) afterForeignRun(hooks_.compare());
      break;
  }
}

bool TViewForm::apply(const std::function<bool(GridPosition&)>& command, bool reordered) {
  GridPosition pos = position();
  const bool done = command(pos);
  if (done) unit_.selection().place(pos);
  if (done && !reordered) {
    showList();
    return true;
  }
  if (done) model_->refreshCells();
  updatePanel();
  showSelection();
  return done;
}

void TViewForm::SG1HeaderClick(int column) {
  if (!ready()) return;
  apply([&](GridPosition& pos) { return unit_.headerClick(column, pos); }, true);
}

void TViewForm::deleteRows() {
  const RowRange rows = unit_.selection().range();
  ViewUnit::DeleteResult result = ViewUnit::DeleteResult::Refused;
  apply([&](GridPosition& pos) {
    result = unit_.deleteRows(rows.first, rows.last, pos);
    return result == ViewUnit::DeleteResult::Deleted || result == ViewUnit::DeleteResult::Unfiltered;
  });
  if (result == ViewUnit::DeleteResult::CloseViewer) {
    if (hooks_.listCleared) hooks_.listCleared();
    closeForCleared();
  }
}

void TViewForm::editItem() {
  const uint32_t row = unit_.selection().current();
  InsertUnit editor(InsertUnit::Mode::Edit, list_.items[row], settings_, list_.sortCode,
                    unit_.filtered());
  TInsertForm form(editor, settings_, this);
  if (runDialog(form) != QDialog::Accepted) return;
  editor.rememberChoice(form.choice(), settings_);
  apply([&](GridPosition& pos) {
    return unit_.edit(row, editor.record(), static_cast<uint8_t>(std::max(0, form.choice())), pos);
  });
}

void TViewForm::insertItem() {
  InsertUnit editor(InsertUnit::Mode::Insert, InsertUnit::insertDefaults(platform::today()),
                    settings_, list_.sortCode, false);
  TInsertForm form(editor, settings_, this);
  if (runDialog(form) != QDialog::Accepted) return;
  editor.rememberChoice(form.choice(), settings_);
  apply([&](GridPosition& pos) {
    return unit_.insert(pos.current, editor.record(),
                        static_cast<uint8_t>(std::max(0, form.choice())), pos);
  });
}

void TViewForm::findOrFilter() {
  if (!find_.canOpen(list_.items.size())) return;
  TFindForm form(settings_, unit_.filtered(), !unit_.grid().tooLarge(), qt(find_.text()), this);
  runDialog(form);
  findClosed(form.mode(), form.text());
}

void TViewForm::findClosed(FindMode mode, const QString& text) {
  const std::string typed = toStd(text);
  find_.closed(mode, typed);
  const GridPosition pos = position();
  const auto visible = static_cast<uint32_t>(visibleRows());
  std::optional<FindUnit::Found> found;
  switch (find_.lastMode()) {
    case FindMode::None: return;
    case FindMode::First:
      found = find_.findFirst(list_.items, typed, settings_.ChkMatch, pos.current, visible);
      break;
    case FindMode::Next:
      found = find_.findNext(list_.items, typed, settings_.ChkMatch, pos.current, visible);
      break;
    case FindMode::Filter:
      if (apply([&](GridPosition& p) { return unit_.filter(typed, settings_.ChkMatch, p); }))
        afterFilter();
      return;
  }
  if (found) applyPosition({found->row, found->top});
}

void TViewForm::findNext() {
  const GridPosition pos = position();
  if (auto found = find_.repeat(list_.items, settings_.ChkMatch, pos.current,
                                static_cast<uint32_t>(visibleRows())))
    applyPosition({found->row, found->top});
}

void TViewForm::afterFilter() {
  if (!showFilteredNote(settings_)) return;
  TSkipFMsgForm note(this);
  const bool ok = runDialog(note) == QDialog::Accepted;
  if (!filteredNoteClosed(settings_, note.dontShowAgain(), ok))
    apply([&](GridPosition& pos) { return unit_.undo(pos); });
}

void TViewForm::chooseFont() {
  QFontDialog dialog(grid_->font(), this);
  dialog.setObjectName("FontDialog");
  if (runDialog(dialog) != QDialog::Accepted) return;
  const QFont chosen = dialog.selectedFont();
  unit_.setFont(toStd(chosen.family()), fontStyle(chosen), chosen.pointSize(),
                toStd(grid_->font().family()));
  applyFont();
  showList();
}

void TViewForm::afterForeignRun(bool changed) {
  if (!changed) {
    updatePanel();
    return;
  }
  if (list_.items.empty()) {
    ui_.warning(kViewerClearedText);
    if (hooks_.listCleared) hooks_.listCleared();
    closeForCleared();
    return;
  }
  rebuild();
}

// ---- Closing, keys, size ----

void TViewForm::closeForCleared() {
  closeAnswered_ = true;
  close();
  closeAnswered_ = false;
}

bool TViewForm::closeForExit() {
  if (unit_.busy() || !unit_.closeQuery()) return false;
  closeForCleared();  // the question has been answered
  return true;
}

void TViewForm::closeEvent(QCloseEvent* event) {
  if (unit_.busy()) {
    event->ignore();
    return;
  }
  if (!closeAnswered_ && !unit_.closeQuery()) {
    event->ignore();
    return;
  }
  fader_->finish();
  settings_.viewerMaximized = isMaximized();
  if (!isMaximized()) {
    settings_.viewerWindowPos = {geometry().x(), geometry().y()};
    settings_.viewerSize = {width(), height()};
  }
  const bool changed = unit_.closed();
  if (hooks_.closed) hooks_.closed(changed);
  event->accept();
  emit viewerClosed();
}

void TViewForm::keyPressEvent(QKeyEvent* event) {
  if (unit_.busy()) return;
  QWidget::keyPressEvent(event);
}

bool TViewForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && qobject_cast<QPushButton*>(watched)) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      moveSelection(key == Qt::Key_Up ? RowMove::Up : RowMove::Down, false);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TViewForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (!updating_) showSelection();
}

void runViewerWindow(MainUnit& main, QtUserInterface& ui, QWidget* caller,
                     std::function<void()> saveAs, std::function<void()> exportList) {
  TViewForm form(main.list(), main.settings(), ui);
  TViewForm::Hooks hooks;
  hooks.saveAs = std::move(saveAs);
  hooks.exportList = std::move(exportList);
  hooks.options = [&form, &main, &ui] {
    const OptionsResult r = runOptionsWindow(&form, main.settings(), ui);
    return r.displayChanged || r.sortOptionChanged || r.otherSettingsChanged;
  };
  hooks.duplicates = [&form, &main] { return showDuplicatesSearch(main, &form); };
  hooks.compare = [&form, &main] { return showListComparison(main, &form); };
  hooks.closed = [&main](bool changed) {
    main.closeSearchWindows();
    main.viewerClosed(changed);
  };
  hooks.listCleared = [&main] { main.viewerEmptiedList(); };
  form.setHooks(std::move(hooks));
  main.setCloseViewer([&form] { form.closeForCleared(); });
  const QPointer<TViewForm> previous = shownViewer;
  shownViewer = &form;
  main.viewerOpened();

  QEventLoop loop;
  QObject::connect(&form, &TViewForm::viewerClosed, &loop, &QEventLoop::quit);
  if (caller) caller->setEnabled(false);
  form.openViewer();
  if (form.isVisible()) loop.exec();
  if (caller) caller->setEnabled(true);
  main.setCloseViewer({});
  shownViewer = previous;
}

bool closeViewerForExit() { return !shownViewer || shownViewer->closeForExit(); }

}  // namespace sonalog::ui

// The viewer window's controls, menu and shortcuts: built once, wired to the window's commands.

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
#include <vector>
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

// Checkable entries of a submenu, one checked at a time, named name0, name1...; a click runs
// choose with the entry's index.
void addChoices(QWidget* owner, QMenu* menu, const QString& name, const std::vector<QString>& texts,
                QAction** entries, const std::function<void(int)>& choose) {
  auto* group = new QActionGroup(owner);
  for (int i = 0; i < static_cast<int>(texts.size()); ++i) {
    QAction* entry = entries[i] = menu->addAction(texts[static_cast<size_t>(i)]);
    entry->setObjectName(name + QString::number(i));
    entry->setCheckable(true);
    group->addAction(entry);
    QObject::connect(entry, &QAction::triggered, owner, [choose, i] { choose(i); });
  }
}

QPushButton* button(QWidget* parent, const char* name, const char* caption) {
  auto* b = new QPushButton(QString::fromUtf8(caption), parent);
  b->setObjectName(name);
  return b;
}

}  // namespace

void TViewForm::buildControls() {
  buildGrid();

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

  buildPanelButtons(panel, col);
  buildPanelOptions(panel, col);
  col->addStretch(1);
  // Close stays below the scrolled part: a small window can always be closed with the mouse.
  closeBut_ = button(this, "CloseBut", "Close");

  for (QPushButton* b : panel->findChildren<QPushButton*>()) b->installEventFilter(this);
  closeBut_->installEventFilter(this);

  connectPanel();

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

void TViewForm::buildGrid() {
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
}

void TViewForm::buildPanelButtons(QWidget* panel, QVBoxLayout* col) {
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
}

void TViewForm::buildPanelOptions(QWidget* panel, QVBoxLayout* col) {
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
}

void TViewForm::connectPanel() {
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
  // The captions follow the scheme in use (applyColours).
  addChoices(this, colourMenu_, QStringLiteral("MenuColors"), {QString(), QString(), QString()}, menuColours_,
             [this](int i) {
               unit_.setColourScheme(static_cast<uint8_t>(i));
               applyColours();
             });

  QMenu* timeMenu = menu_->addMenu(QStringLiteral("&Total time display"));
  timeMenu->setObjectName("MenuTime");
  addChoices(this, timeMenu, QStringLiteral("MenuTime"),
             {QStringLiteral("Like &d.h:m:s"), QStringLiteral("Like &h:m:s"),
              QStringLiteral("Like d da&ys, h hours, m minutes, s seconds"),
              QStringLiteral("Like h hou&rs, m minutes, s seconds")},
             menuTime_, [this](int i) {
               unit_.setTotalTimeStyle(static_cast<uint8_t>(i));
               updatePanel();
             });

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

}  // namespace sonalog::ui

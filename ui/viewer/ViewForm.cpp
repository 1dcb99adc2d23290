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
constexpr int kRowExtra = 4;

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
  // The logic asks for a width function whenever the font setting changes, before it measures.
  unit_.setTextWidth([](const FontSetting& font) {
    auto measure = std::make_shared<GridTextWidth>(installedFont(font));
    return TextWidth([measure](std::string_view text) { return (*measure)(text); });
  });
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
  const QFont font = installedFont(settings_.viewerFont);
  grid_->setFont(font);
  grid_->horizontalHeader()->setFont(font);
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
  if (c.sortColumn >= 0) {
    header->setSortIndicator(c.sortColumn, c.sortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
    // The sort mark takes room in its header: an automatic width made for texts shorter than the
    // header (short names, a list too large to show) would cut the header's last letters.
    if (!settings_.viewerManualWidths && header->sectionSize(c.sortColumn) < header->sectionSizeHint(c.sortColumn)) {
      settingWidths_ = true;
      header->resizeSection(c.sortColumn, header->sectionSizeHint(c.sortColumn));
      settingWidths_ = false;
    }
  }
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
  QFontDialog dialog(forFontDialog(grid_->font()), this);
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

#pragma once
// The options window (TOptform): a view over OptUnit. Every control is named as in the rest of
// the program (CheckTime, ComboStyle, OkBut, ...), is filled from the settings after each user
// action, and hands the action to OptUnit, which holds every rule.
//
// Entry point for the main window and the viewer:
//
//   OptionsResult runOptionsWindow(QWidget* caller, Settings& settings, UserInterface& ui,
//                                  std::function<void()> coloursChanged = {});
//
// It disables caller, shows the window and runs a local event loop until the window closed
// (OK, CANCEL/Escape, the title bar or Reset ALL), enables caller again and returns what
// changed: displayChanged (the viewer rebuilds its grid), sortOptionChanged (the viewer re-checks
// its Re-sort button), mainWindowChanged (colour or fading of the main window),
// otherSettingsChanged (options were loaded from a file or everything was reset: re-apply
// positions, folders and switches). coloursChanged, when given, is called whenever a window
// colour changed while the window is open (a colour chosen, DEFAULTS, CANCEL, Load), so the
// caller can show it at once.

#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "settings/OptUnit.h"
#include "ui/widgets/SmallWindow.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QGroupBox;

namespace sonalog::ui {

class Fader;

// The colour and font dialogs of the desktop: QColorDialog (its 16 custom colours loaded from and
// written back to the settings) and QFontDialog.
class QtOptionsDialogs : public OptionsDialogs {
 public:
  explicit QtOptionsDialogs(QWidget* parent) : parent_(parent) {}
  std::optional<Colour> chooseColour(Colour initial, std::array<Colour, kCustomColourCount>& custom) override;
  std::optional<FontSetting> chooseFont(const FontSetting& initial) override;

 private:
  QWidget* parent_;
};

class OptionsForm : public SmallWindow {
  Q_OBJECT
 public:
  // dialogs: null for the desktop's colour and font dialogs (tests pass a fake).
  OptionsForm(Settings& settings, UserInterface& ui, QWidget* parent = nullptr,
              OptionsDialogs* dialogs = nullptr);
  ~OptionsForm() override;

  // Takes the copy that CANCEL restores, fills the controls, places and shows the window.
  void activate();
  const OptionsResult& result() const { return unit_.result(); }
  bool finished() const { return finished_; }
  void setColoursChanged(std::function<void()> callback) { coloursChanged_ = std::move(callback); }

 signals:
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  // Escape is CANCEL.
  void cancel() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void build();
  QGroupBox* buildInfo();
  QGroupBox* buildStyles();
  QGroupBox* buildProcessing();
  QGroupBox* buildExport();
  QGroupBox* buildAppearance();
  void connectAll();
  void setHints();

  // Runs one user action and shows its outcome.
  void act(const std::function<void()>& action);
  void fill();
  void applyWindowColour();
  void flashHeaderRow();
  void paintEdit(OptEdit edit, Colour background);
  void editTyped(OptEdit edit);
  void editLeft(OptEdit edit);
  void finish(bool closes);

  std::unique_ptr<QtOptionsDialogs> qtDialogs_;
  OptUnit unit_;
  UserInterface& ui_;
  Settings& settings_;
  std::function<void()> coloursChanged_;
  Fader* fader_ = nullptr;
  bool filling_ = false;
  QLineEdit* typing_ = nullptr;  // the field whose text the user is typing
  bool finished_ = false;

  std::array<QCheckBox*, kOptCheckCount> checks_{};
  std::array<QComboBox*, kOptComboCount> combos_{};
  std::array<QLineEdit*, kOptEditCount> edits_{};
  std::array<QRadioButton*, 6> delimiters_{};
  QLabel* sortByLabel_ = nullptr;
  std::array<QLabel*, 3> headerRowLabels_{};
  QPushButton* bgpic_ = nullptr;
  QPushButton* txpic_ = nullptr;
  QPushButton* panelW_ = nullptr;
  std::array<QPushButton*, 4> headerButtons_{};
  std::array<QPushButton*, 4> footerButtons_{};
  QPushButton* startListBut_ = nullptr;
  QPushButton* capFontBut_ = nullptr;
};

// centre: the stored position is a reset one, made for another screen or size; the window opens
// centred on its screen instead.
OptionsResult runOptionsWindow(QWidget* caller, Settings& settings, UserInterface& ui,
                               std::function<void()> coloursChanged = {}, bool centre = false);

}  // namespace sonalog::ui

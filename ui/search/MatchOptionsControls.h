#pragma once
// The matching controls that the duplicates options window and the compare options window both
// show: the threshold track bar, high characters, size and time limits, bitrate, the action mode,
// the process priority and the first-letter switch. Each control stores its setting the moment it
// changes; the two windows differ only in a few names and captions, given here.

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QWidget>

#include "settings/Settings.h"
#include "ui/widgets/ClickableLabel.h"

namespace sonalog::ui {

// What differs between the two windows.
struct MatchControlsTexts {
  const char* trackName;        // "TrackBar1" / "comptrack"
  const char* highName;         // "HighCheck" / "HighCharCheck"
  const char* normalPriority;   // "No&rmal priority" / "&Normal priority"
  const char* priorityNotes[3]; // the notes beside low, normal, high
  const char* letterCheck;      // LetterCheck's caption
  const char* letterLab;        // LetterLab's text
};

class MatchOptionsControls : public QObject {
 public:
  // Creates the controls as children of parent; the window lays them out.
  MatchOptionsControls(Settings& settings, const MatchControlsTexts& texts, QWidget* parent);

  // Shows every setting in its control (after the window normalised them).
  void showSettings();
  // The size and time rows; the action mode beside the priority group with its notes.
  QLayout* limitsLayout();
  QLayout* modeLayout();
  // Adds the action mode and priority, the first-letter switch, the window's note and its GO.
  void addLowerPart(QBoxLayout* layout, QLabel* note, QPushButton* go);

  QLabel* thresholdLabel;   // LabSpecPlease
  QSlider* track;           // 50..100
  QLabel* thresholdValue;   // LabThreshold: the track bar's value as a number (99 and 100 differ)
  QWidget* trackRow;        // the track bar with its number beside it
  QWidget* trackScale;      // "50" ... "95", "100 %"
  QCheckBox* highCheck;
  QCheckBox* sizeCheck;     // sizedifcheck
  QLineEdit* sizeEdit;      // SizeEdit
  QLabel* sizeUnit;         // "KB"
  QCheckBox* timeCheck;     // timedifcheck
  QLineEdit* timeEdit;      // TimeEdit
  QLabel* timeUnit;         // "sec"
  QCheckBox* bitCheck;      // Bitcheck
  QRadioButton* actionButtons[3];  // rbut1..rbut3
  QGroupBox* priorityGroup;
  QRadioButton* priorityButtons[3];  // LowPriorityCheck, NormalPriorityCheck, HighPriorityCheck
  QLabel* priorityNotes[3];
  QCheckBox* letterCheck;   // LetterCheck
  ClickableLabel* letterLab;

 private:
  // The controls, one group at a time.
  void buildThreshold(const char* trackName, QWidget* parent);
  void buildLimits(QWidget* parent);
  void buildModes(const MatchControlsTexts& texts, QWidget* parent);
  QCheckBox* boundCheck(const char* name, const char* caption, const char* hint, bool Settings::*setting,
                        QWidget* parent);
  // An edit of digits digits whose text goes through changed (which checks and stores it).
  QLineEdit* limitEdit(const char* name, int digits, const char* hint,
                       bool (*changed)(Settings&, std::string_view), QWidget* parent);

  Settings& settings_;
  bool showing_ = false;  // showSettings is filling the controls: nothing to store
};

}  // namespace sonalog::ui

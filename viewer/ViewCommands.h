#pragma once
// What each button and pop-up menu entry of the viewer does in the current state: whether it can
// be used, whether it is shown, its caption where that changes, and the action it runs. The
// window shows this answer and runs the action; it keeps no rules of its own.

#include <cstdint>
#include <string>

namespace sonalog {

enum class ViewAction : uint8_t {
  None,
  Edit,
  Insert,
  FindNext,
  Unfilter,
  Delete,
  Undo,
  Find,
  Resort,
  MakePrimary,
  Play,
  Font,
  Duplicates,
  Compare,
};

struct ViewCommand {
  ViewAction action = ViewAction::None;
  bool enabled = false;
  bool visible = true;
  std::string caption;  // set where the caption changes with the state
  bool operator==(const ViewCommand&) const = default;
};

struct ViewCommands {
  // The button panel.
  ViewCommand edit;        // EditBut
  ViewCommand insert;      // InsertBut: Insert, or UNFILTER while filtered
  ViewCommand remove;      // DeleteBut
  ViewCommand undo;        // UndoBut
  ViewCommand find;        // FindBut
  ViewCommand findNext;    // F3 and Ctrl+Alt+F
  ViewCommand resort;      // ResortBut: hidden while filtered
  ViewCommand primary;     // ButPrimary: shown only while filtered
  ViewCommand play;        // ButPlay
  ViewCommand duplicates;  // DupBut
  ViewCommand compare;     // CompBut
  ViewCommand font;        // FontBut, UpDown1 and the font menu entry
  // The pop-up menu entries whose caption or action change.
  ViewCommand menuInsert;  // Insert or Unfilter
  ViewCommand menuResort;  // Re-sort or Make primary
  ViewCommand menuFind;
  std::string resortHint;
  std::string sortLabel;   // sortlab
  bool sortLabelEnabled = false;  // sblab
  // The column of the list's sort key, for the header's sort indicator (-1: none shows it).
  int sortColumn = -1;
  bool sortDescending = false;
  std::string caption;     // the window's
  bool operator==(const ViewCommands&) const = default;
};

}  // namespace sonalog

#pragma once
// The viewer's Duplicates and Compare buttons. Each opens its options window and, on GO, its run
// window, and returns when both have closed (a local event loop runs meanwhile, the viewer is
// disabled). While they are open, MainUnit refuses the main window's commands that must not run
// (setSecondaryRunOpen) and the other subsystem's options window refuses to open.

#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

#include "core/MainUnit.h"

namespace sonalog::ui {

// The Duplicates button: TPreDupForm, then on GO TDupSearchForm. Returns true when the internal
// list lost items (the viewer rebuilds its grid). marksChanged, when given, receives the deletion
// marks (one per item, 0 = queued) whenever more items are queued while the search runs.
bool showDuplicatesSearch(MainUnit& main, QWidget* viewer,
                          std::function<void(const std::vector<uint8_t>&)> marksChanged = {});

// The Compare button: TPreCompForm, then on GO TCompForm. Returns true when the internal list
// may have changed (the viewer rebuilds its grid; an emptied list makes it say
// "List cleared (closing view window)." and close).
bool showListComparison(MainUnit& main, QWidget* viewer);

// True while the duplicates options or search window is open, and likewise for the comparison.
bool duplicatesWindowOpen();
bool compareWindowOpen();

// The viewer or the program is closing: an open options window is cancelled and a run window
// closes, stopping its run (the duplicates search asks its revert question as usual).
void closeSearchWindows();

}  // namespace sonalog::ui

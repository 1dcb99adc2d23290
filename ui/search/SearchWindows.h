#pragma once
// The viewer's Duplicates and Compare buttons. Each opens its options window and, on GO, its run
// window, and returns when both have closed (the viewer is disabled meanwhile). MainUnit keeps
// which of them is open: it refuses the main window's commands that must not run meanwhile, the
// other subsystem's options window refuses to open, and MainUnit::closeSearchWindows() closes
// the open window when the viewer or the program closes (the duplicates search asks its revert
// question as usual).

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

}  // namespace sonalog::ui

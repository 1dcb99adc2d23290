#pragma once
// The duplicates options window (TPreDupForm): the matching options, the action mode and the
// priority of the search. GO starts the search; any other close (Escape, losing the focus) is a
// cancel that puts the options back as they were when the window opened.

#include <QWidget>

#include "duplicates/PreDupUnit.h"
#include "ui/search/SearchOptionsWindow.h"

namespace sonalog::ui {

class TPreDupForm : public SearchOptionsWindow {
  Q_OBJECT
 public:
  TPreDupForm(Settings& settings, QWidget* parent = nullptr);

  // After the window closed: whether GO was pressed, and the search's options then.
  bool started() const override { return session_.started(); }
  const DupSearchOptions& options() const { return options_; }

  void GoButClick();

 protected:
  // False, after "Close compare window first.", when the comparison or its options window is open.
  bool openSearch(bool compareOpen) override { return session_.open(settings_, ui_, compareOpen); }
  void showOptions() override;
  void restoreOptions() override { session_.cancel(settings_); }

 private:
  PreDupSession session_;
  DupSearchOptions options_;
};

}  // namespace sonalog::ui

#pragma once
// A viewer over a small generated list in a per-test working folder.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/ListItem.h"
#include "settings/Settings.h"
#include "tests/support/FakeUi.h"
#include "tests/support/Items.h"
#include "tests/support/TempHome.h"
#include "viewer/ViewUnit.h"

namespace sonalog::testing {

inline ListItem viewerItem(const std::string& name, int32_t frames = 1000, uint8_t freq = 0) {
  return ItemBuilder(name)
      .folder("/music/" + name.substr(0, 1))
      .sizeKB(4000 + static_cast<int32_t>(name.size()))
      .frames(frames)
      .frequency(freq)
      .fileDate(37980)
      .dateAdded(45000);
}

inline std::vector<std::string> namesOf(const std::vector<ListItem>& items) {
  std::vector<std::string> out;
  for (const ListItem& it : items) out.push_back(it.fileName);
  return out;
}

// Counts the busy cursor as the desktop does: every "on" must be matched by an "off".
struct BusyCountingUi : FakeUi {
  int busyDepth = 0;
  void setBusy(bool busy) override { busyDepth += busy ? 1 : -1; }
};

class ViewerTest : public ::testing::Test {
 protected:
  void fill(const std::vector<std::string>& names) {
    list.items.clear();
    for (const std::string& n : names) list.items.push_back(viewerItem(n));
  }
  void openWith(const std::vector<std::string>& names) {
    fill(names);
    view.open();
  }
  std::vector<std::string> names() const { return namesOf(list.items); }
  std::string workFile(const char* name) const { return home.home() + name; }
  // A plain file where the working folder was: no temporary file can be made there, whoever
  // runs the test.
  void removeWorkingFolder() const {
    const std::string folder = home.home().substr(0, home.home().size() - 1);
    std::filesystem::remove_all(folder);
    std::ofstream(folder) << "not a folder";
  }
  void restoreWorkingFolder() const {
    std::filesystem::remove(home.home().substr(0, home.home().size() - 1));
    std::filesystem::create_directories(home.home());
  }

  TempHome home;
  BusyCountingUi ui;
  InternalList list;
  Settings settings;
  ViewUnit view{list, settings, ui};
  GridPosition pos;
};

}  // namespace sonalog::testing

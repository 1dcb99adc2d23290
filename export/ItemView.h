#pragma once
// The items that one export file holds: the whole internal list, or the items of one folder in a
// batch export (by index, so the list is never copied).

#include <cstdint>
#include <vector>

#include "core/ListItem.h"

namespace sonalog {

class ItemView {
 public:
  // Every item; items must outlive the view.
  explicit ItemView(const std::vector<ListItem>& items) : items_(&items) {}
  // The items at the given indices, in that order; both vectors must outlive the view.
  ItemView(const std::vector<ListItem>& items, const std::vector<uint32_t>& indices)
      : items_(&items), indices_(&indices) {}

  size_t size() const { return indices_ ? indices_->size() : items_->size(); }
  const ListItem& operator[](size_t i) const { return (*items_)[indices_ ? (*indices_)[i] : i]; }

 private:
  const std::vector<ListItem>* items_;
  const std::vector<uint32_t>* indices_ = nullptr;
};

}  // namespace sonalog

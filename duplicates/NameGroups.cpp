#include "duplicates/NameGroups.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace sonalog {

std::vector<uint32_t> groupEqualNames(uint32_t count, const std::function<NameHashes(uint32_t)>& hashes,
                                      bool letters) {
  // Union-find whose root is always the smallest member.
  std::vector<uint32_t> parent(count);
  std::iota(parent.begin(), parent.end(), 0u);
  auto find = [&](uint32_t x) {
    while (parent[x] != x) x = parent[x] = parent[parent[x]];
    return x;
  };
  auto join = [&](uint32_t a, uint32_t b) {
    a = find(a);
    b = find(b);
    if (a != b) parent[std::max(a, b)] = std::min(a, b);
  };
  // Equal hashes end up next to each other once sorted; a sort of a flat array is far faster
  // than a hash map of a million nodes.
  std::vector<std::pair<uint64_t, uint32_t>> byHash(count);
  std::vector<std::pair<uint64_t, uint32_t>> byNormalized(letters ? count : 0);
  for (uint32_t i = 0; i < count; ++i) {
    const NameHashes h = hashes(i);
    byHash[i] = {h.folded, i};
    if (letters) byNormalized[i] = {h.normalized, i};
  }
  for (auto* sorted : {&byHash, &byNormalized}) {
    std::sort(sorted->begin(), sorted->end());
    for (size_t k = 1; k < sorted->size(); ++k)
      if ((*sorted)[k].first == (*sorted)[k - 1].first) join((*sorted)[k].second, (*sorted)[k - 1].second);
  }
  for (uint32_t i = 0; i < count; ++i) parent[i] = find(i);
  return parent;
}

}  // namespace sonalog

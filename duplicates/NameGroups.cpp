#include "duplicates/NameGroups.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>

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
  std::unordered_map<uint64_t, uint32_t> byFolded, byNormalized;
  byFolded.reserve(count);
  if (letters) byNormalized.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    const NameHashes h = hashes(i);
    join(i, byFolded.try_emplace(h.folded, i).first->second);
    if (letters) join(i, byNormalized.try_emplace(h.normalized, i).first->second);
  }
  for (uint32_t i = 0; i < count; ++i) parent[i] = find(i);
  return parent;
}

}  // namespace sonalog

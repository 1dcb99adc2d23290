#pragma once
// Groups of names that can reach the thresholds 99 and 100 together: at 100 only names equal but
// for case score anything, at 99 also names equal after normalising. Both runs score only the
// pairs within a group at those thresholds, which keeps them linear in the list size.

#include <cstdint>
#include <functional>
#include <vector>

#include "duplicates/TitleMatch.h"

namespace sonalog {

// Joins the count names whose folded hashes are equal and, with letters, whose normalised hashes
// are equal, transitively. Returns for each name its group's number: the smallest index in the
// group. Equal texts always share a group; a hash collision only adds pairs that the exact score
// then turns down, so grouping never changes a result.
std::vector<uint32_t> groupEqualNames(uint32_t count, const std::function<NameHashes(uint32_t)>& hashes,
                                      bool letters);

}  // namespace sonalog

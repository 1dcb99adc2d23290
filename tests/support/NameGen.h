#pragma once
// Catalogues of generated names for the duplicates tests and benchmarks: realistic
// "Artist - Title" names with near-duplicates (typos, case, accents, extra words, other
// separators), and adversarial ones (equal names, long names, punctuation, unknown values).

#include <cstdint>
#include <vector>

#include "core/ListItem.h"

namespace sonalog::testing {

struct CatalogueShape {
  double nearDuplicates = 0.15;  // share of items made from an earlier item's name
  double unknownValues = 0.05;   // share of items with an unknown size, playtime or bitrate
  bool adversarial = false;      // also equal names, long names, empty and punctuation-only names
};

std::vector<ListItem> generateCatalogue(size_t count, uint32_t seed, const CatalogueShape& shape = {});

}  // namespace sonalog::testing

// Writes the generated lists that bench/side_by_side.sh hands to the sonalog command:
//   internal20k.snlg, external20k.snlg, external20k.txt  two collections of 20 000 names, half of
//                                                         the external ones another spelling of
//                                                         an internal one (as bench_compare)
//   internal100k.snlg, external100k.snlg                 the same with 100 000 names each
//   catalogue100k.snlg, catalogue200k.snlg,               catalogues with near-duplicates (as
//   catalogue400k.snlg, catalogue1m.snlg                  bench_duplicates)

#include <cstdio>
#include <string>
#include <vector>

#include "core/ListFile.h"
#include "tests/support/CompareNames.h"
#include "tests/support/NameGen.h"

namespace {

using namespace sonalog;

struct ComparePair {
  std::vector<ListItem> internal, external;
};

// Two collections of `size` names; half of the external names are another spelling of an
// internal one.
ComparePair compareLists(size_t size) {
  testing::NameGenerator gen(2024, false);
  ComparePair lists;
  for (size_t k = 0; k < size; ++k) {
    ListItem i = gen.item();
    i.fileName = gen.variant(gen.distinctBase());
    lists.internal.push_back(i);
  }
  for (size_t k = 0; k < size; ++k) {
    ListItem i = gen.item();
    i.fileName = gen.chance(50) ? gen.variant(lists.internal[gen.pick(size)].fileName) : gen.variant(gen.distinctBase());
    lists.external.push_back(i);
  }
  return lists;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: make_lists FOLDER\n", stderr);
    return 2;
  }
  const std::string folder = argv[1];
  const ComparePair small = compareLists(20000);
  std::string text;
  for (const ListItem& i : small.external) text += i.fileName + "\r\n";
  FILE* f = std::fopen((folder + "/external20k.txt").c_str(), "wb");
  const bool textWritten = f && std::fwrite(text.data(), 1, text.size(), f) == text.size();
  if (f) std::fclose(f);
  bool ok = textWritten && writeListFile(folder + "/internal20k.snlg", small.internal, 0) &&
            writeListFile(folder + "/external20k.snlg", small.external, 0);
  const ComparePair large = compareLists(100000);
  ok = ok && writeListFile(folder + "/internal100k.snlg", large.internal, 0) &&
       writeListFile(folder + "/external100k.snlg", large.external, 0);
  const std::pair<size_t, const char*> catalogues[] = {
      {100000, "catalogue100k"}, {200000, "catalogue200k"}, {400000, "catalogue400k"}, {1000000, "catalogue1m"}};
  for (const auto& [count, name] : catalogues)
    ok = ok && writeListFile(folder + "/" + name + ".snlg", testing::generateCatalogue(count, 2024), 0);
  if (!ok) std::fputs("make_lists: cannot write the lists\n", stderr);
  return ok ? 0 : 1;
}

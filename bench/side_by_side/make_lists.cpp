// Writes the generated lists that bench/side_by_side.sh hands to the sonalog command:
//   internal20k.snlg, external20k.snlg, external20k.txt  two collections of 20 000 names, half of
//                                                         the external ones another spelling of
//                                                         an internal one (as bench_compare)
//   catalogue100k.snlg, catalogue1m.snlg                 catalogues with near-duplicates (as
//                                                         bench_duplicates)

#include <cstdio>
#include <string>
#include <vector>

#include "core/ListFile.h"
#include "tests/support/CompareNames.h"
#include "tests/support/NameGen.h"

int main(int argc, char** argv) {
  using namespace sonalog;
  if (argc != 2) {
    std::fputs("usage: make_lists FOLDER\n", stderr);
    return 2;
  }
  const std::string folder = argv[1];
  constexpr size_t kListSize = 20000;
  testing::NameGenerator gen(2024, false);
  std::vector<ListItem> internal, external;
  for (size_t k = 0; k < kListSize; ++k) {
    ListItem i = gen.item();
    i.fileName = gen.variant(gen.distinctBase());
    internal.push_back(i);
  }
  for (size_t k = 0; k < kListSize; ++k) {
    ListItem i = gen.item();
    i.fileName = gen.chance(50) ? gen.variant(internal[gen.pick(kListSize)].fileName) : gen.variant(gen.distinctBase());
    external.push_back(i);
  }
  std::string text;
  for (const ListItem& i : external) text += i.fileName + "\r\n";
  FILE* f = std::fopen((folder + "/external20k.txt").c_str(), "wb");
  const bool textWritten = f && std::fwrite(text.data(), 1, text.size(), f) == text.size();
  if (f) std::fclose(f);
  const bool ok = textWritten && writeListFile(folder + "/internal20k.snlg", internal, 0) &&
                  writeListFile(folder + "/external20k.snlg", external, 0) &&
                  writeListFile(folder + "/catalogue100k.snlg", testing::generateCatalogue(100000, 2024), 0) &&
                  writeListFile(folder + "/catalogue1m.snlg", testing::generateCatalogue(1000000, 2024), 0);
  if (!ok) std::fputs("make_lists: cannot write the lists\n", stderr);
  return ok ? 0 : 1;
}

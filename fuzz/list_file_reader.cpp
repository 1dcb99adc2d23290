// Fuzzes the list-file reader: any bytes must give a status (never a crash, a hang or an
// unbounded allocation), the file and memory readers must agree, and whatever reads back must
// write and read back to the same items.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/ListFile.h"

namespace {

using namespace sonalog;

// Every item takes at least 21 bytes of the file.
constexpr size_t kMinItemBytes = 21;

void check(bool condition) {
  if (!condition) std::abort();
}

bool sameItems(const std::vector<ListItem>& a, const std::vector<ListItem>& b) {
  if (a.size() != b.size()) return false;
  for (size_t k = 0; k < a.size(); ++k)
    if (!(a[k] == b[k]) || a[k].averageKbps != b[k].averageKbps) return false;
  return true;
}

// The same bytes through the buffered file reader.
ListReadStatus parseThroughFile(std::string_view bytes, bool oldest, ListFileContents& out) {
  const int fd = memfd_create("list", 0);
  if (fd < 0) return ListReadStatus::DiskError;
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  platform::ReadFile file;
  if (!file.open("/proc/self/fd/" + std::to_string(fd))) {
    ::close(fd);
    return ListReadStatus::DiskError;
  }
  ListByteReader in(file);
  ListFormat format;
  ListReadStatus status = readListMagic(in, format);
  if (status == ListReadStatus::Ok) {
    if (oldest && format == ListFormat::Third) format = ListFormat::Oldest;
    status = readListItems(in, format, out);
  }
  ::close(fd);
  return status;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (bool oldest : {false, true}) {
    ListFileContents inMemory;
    const ListReadStatus status = parseListFile(bytes, oldest, inMemory);
    check(inMemory.items.size() * kMinItemBytes <= size);
    check(!(oldest && status == ListReadStatus::OldestLayout));

    ListFileContents fromFile;
    check(parseThroughFile(bytes, oldest, fromFile) == status);
    check(sameItems(inMemory.items, fromFile.items));

    if (status == ListReadStatus::Ok) {
      const std::string written = encodeListFile(inMemory.items, inMemory.sortCode);
      ListFileContents again;
      check(parseListFile(written, false, again) == ListReadStatus::Ok);
      check(again.sortCode == inMemory.sortCode);
      check(sameItems(again.items, inMemory.items));
    }
  }
  return 0;
}

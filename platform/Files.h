#pragma once
// Directory listing, file facts and safe replacement of files the user owns.

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace sonalog::platform {

struct DirEntry {
  std::string name;
  bool isDirectory = false;
  int64_t size = 0;        // bytes, regular files only
  std::time_t mtime = 0;   // last write, seconds since the epoch
  uint64_t device = 0;     // filesystem the entry lives on (st_dev); tells mount boundaries
  uint64_t inode = 0;      // with device, identifies a folder reached twice through links
};

// Lists a folder's regular files and subfolders (never ".", "..", links to folders followed,
// special files). Hidden entries (names starting with ".") only with includeHidden.
// Returns nullopt when the folder cannot be read.
std::optional<std::vector<DirEntry>> listDirectory(const std::string& folder, bool includeHidden);

struct FileFacts {
  int64_t size = 0;
  std::time_t mtime = 0;
  bool isDirectory = false;
  uint64_t device = 0;
  uint64_t inode = 0;
};
std::optional<FileFacts> fileFacts(const std::string& path);
bool fileExists(const std::string& path);
bool removeFile(const std::string& path);

// Writes a file in full under a temporary name in the target's folder, then renames it over the
// target: the target is either the old file or the complete new one, never half-written.
// Usage: open(), write()..., commit(); destroying an uncommitted AtomicFile deletes the temporary.
class AtomicFile {
 public:
  explicit AtomicFile(std::string target);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  bool open();
  bool write(const void* data, size_t size);
  bool write(const std::string& s) { return write(s.data(), s.size()); }
  // Flushes, closes and renames over the target. False (and the target untouched) on any error.
  bool commit();
  // Drops the temporary file; the target stays as it was.
  void discard();
  bool ok() const { return ok_; }

 private:
  std::string target_;
  std::string temp_;
  int fd_ = -1;
  bool ok_ = true;
  std::string buffer_;
  bool flush();
};

}  // namespace sonalog::platform

#pragma once
// Directory listing, file facts and safe replacement of files the user owns.

#include <chrono>
#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
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
// Why files cannot be created in folder: the system's reason ("Permission denied", "Not a
// directory", "Read-only file system"), or empty when they can.
std::string folderWriteProblem(const std::string& folder);
bool removeFile(const std::string& path);

// Temporary files are named ".sonalog-XXXXXX.tmp" (short, so that they fit next to a target of
// the longest allowed name) and stay locked by the process that made them while it lives. One
// left behind by a killed run is no longer locked: removeStaleTemporaries() deletes those.
bool isTemporaryName(std::string_view name);
// Removes the unlocked temporary files in folder; the count removed.
size_t removeStaleTemporaries(const std::string& folder);

// Why the latest file write of this process failed: the file's name and the system's reason
// ("/home/u/out.txt: Permission denied"). Taking it clears it; empty when nothing failed since.
std::string takeLastWriteError();

// Two paths that name one file: the same device and inode (links followed) when both exist,
// the same place after resolving links when neither does yet.
bool sameFile(const std::string& a, const std::string& b);

// How long a FolderLock waits for another holder, and how the wait is made visible. Anyone who
// can read a folder can lock it, so the wait is bounded.
struct LockPatience {
  std::chrono::milliseconds noticeAfter{1000};   // then onWaiting is called, once
  std::chrono::milliseconds giveUpAfter{30000};  // then the lock is not taken: timedOut()
  std::function<void()> onWaiting;
};

// Holds an exclusive lock on a folder while it lives, so that read-modify-write cycles of one
// file in it (the configuration) by two runs take turns instead of losing one's change. The
// second run waits, within the patience given. A folder that cannot be opened is not locked.
class FolderLock {
 public:
  explicit FolderLock(const std::string& folder, const LockPatience& patience = {});
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  bool locked() const { return fd_ >= 0; }
  // Another holder kept the lock for longer than the patience allowed.
  bool timedOut() const { return timedOut_; }

 private:
  int fd_ = -1;
  bool timedOut_ = false;
};

// A private temporary file in a folder (the working folder's scratch copies): a unique name,
// locked while this object lives, removed when it is destroyed.
class TempFile {
 public:
  TempFile() = default;
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  // Creates the empty file in folder (which ends with "/" or not); false when it cannot be made.
  bool create(const std::string& folder);
  void remove();
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  int fd_ = -1;  // held open for the lock
};

// Marks a file that no AtomicFile of this process may replace (the configuration in use, for a
// command that only reads it): an output computed from a list's folders cannot reach it either.
// Matched as sameFile does, so a file that does not exist yet is matched by its place.
void protectFromReplacement(const std::string& path);

// Writes a file in full under a temporary name in the target's folder, then renames it over the
// target: the target is either the old file or the complete new one, never half-written.
// Usage: open(), write()..., commit(); destroying an uncommitted AtomicFile deletes the temporary.
//
// A target that is a link is written through to the file it points at. A target that exists
// and is not a regular file (a device, a pipe, a socket, a folder) or is read-only is refused.
// A replaced file keeps its permissions (and, when run as root, its owner); a new one gets
// the permissions the umask allows. Every failure records takeLastWriteError().
class AtomicFile {
 public:
  explicit AtomicFile(std::string target);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  bool open();
  bool write(const void* data, size_t size);
  bool write(const std::string& s) { return write(s.data(), s.size()); }
  // Flushes, renames over the target and closes. False (and the target untouched) on any error.
  bool commit();
  // Drops the temporary file; the target stays as it was.
  void discard();
  bool ok() const { return ok_; }

 private:
  std::string target_;
  std::string file_;  // the target with its links resolved: the file actually replaced
  std::string temp_;
  int fd_ = -1;
  bool ok_ = true;
  std::string buffer_;
  bool flush();
  bool fail(const std::string& reason);
};

}  // namespace sonalog::platform

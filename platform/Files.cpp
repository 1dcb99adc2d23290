#include "platform/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <random>
#include <thread>
#include <utility>

namespace sonalog::platform {

std::optional<std::vector<DirEntry>> listDirectory(const std::string& folder, bool includeHidden) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) return std::nullopt;
  std::vector<DirEntry> out;
  std::string base = folder;
  if (base.empty() || base.back() != '/') base.push_back('/');
  while (dirent* e = readdir(dir)) {
    const char* name = e->d_name;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
    if (name[0] == '.' && !includeHidden) continue;
    struct stat st;
    if (stat((base + name).c_str(), &st) != 0) continue;
    DirEntry entry;
    entry.name = name;
    if (S_ISDIR(st.st_mode)) {
      entry.isDirectory = true;
    } else if (S_ISREG(st.st_mode)) {
      entry.size = st.st_size;
    } else {
      continue;
    }
    entry.mtime = st.st_mtime;
    entry.device = static_cast<uint64_t>(st.st_dev);
    entry.inode = static_cast<uint64_t>(st.st_ino);
    out.push_back(std::move(entry));
  }
  closedir(dir);
  return out;
}

std::optional<FileFacts> fileFacts(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileFacts{st.st_size, st.st_mtime, S_ISDIR(st.st_mode), static_cast<uint64_t>(st.st_dev),
                   static_cast<uint64_t>(st.st_ino)};
}

bool fileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string folderWriteProblem(const std::string& folder) {
  struct stat st;
  if (::stat(folder.c_str(), &st) != 0) return std::strerror(errno);
  if (!S_ISDIR(st.st_mode)) return std::strerror(ENOTDIR);
  if (::access(folder.c_str(), W_OK | X_OK) != 0) return std::strerror(errno);
  return {};
}

bool removeFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

namespace {

constexpr std::string_view kTempPrefix = ".sonalog-";
constexpr std::string_view kTempSuffix = ".tmp";
constexpr size_t kTempRandomChars = 6;
constexpr char kTempChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr int kMaxLinkHops = 40;

std::mutex writeErrorMutex;
std::string lastWriteError;

void recordWriteError(const std::string& file, const std::string& reason) {
  std::lock_guard<std::mutex> lock(writeErrorMutex);
  lastWriteError = file + ": " + reason;
}

// The folder part of a path with its trailing "/", or "" for a bare name (the current folder).
std::string folderPart(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool sameInode(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Creates a new temporary file in folder ("" or ending with "/") and locks it; the descriptor, or
// -1 with errno set. A cleaner may remove a file in the moment between its creation and its lock,
// so the name is checked to still lead to the locked file.
int createLockedTemporary(const std::string& folder, mode_t mode, std::string& path) {
  thread_local std::mt19937_64 random{std::random_device{}()};
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name(kTempPrefix);
    for (size_t i = 0; i < kTempRandomChars; ++i) name.push_back(kTempChars[random() % (sizeof kTempChars - 1)]);
    name += kTempSuffix;
    path = folder + name;
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      path.clear();
      return -1;
    }
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    struct stat held, named;
    if (::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 && sameInode(held, named)) return fd;
    ::close(fd);
  }
  path.clear();
  errno = EEXIST;
  return -1;
}

}  // namespace

bool isTemporaryName(std::string_view name) {
  if (name.size() != kTempPrefix.size() + kTempRandomChars + kTempSuffix.size()) return false;
  if (name.substr(0, kTempPrefix.size()) != kTempPrefix || name.substr(name.size() - kTempSuffix.size()) != kTempSuffix)
    return false;
  for (const char c : name.substr(kTempPrefix.size(), kTempRandomChars))
    if (!std::isalnum(static_cast<unsigned char>(c))) return false;
  return true;
}

size_t removeStaleTemporaries(const std::string& folder) {
  std::string base = folder.empty() ? std::string("./") : folder;
  if (base.back() != '/') base.push_back('/');
  DIR* dir = opendir(base.c_str());
  if (!dir) return 0;
  size_t removed = 0;
  while (dirent* e = readdir(dir)) {
    if (!isTemporaryName(e->d_name)) continue;
    const std::string path = base + e->d_name;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat held, named;
    // Its maker holds the lock for as long as it runs: a file nobody locks was left behind.
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::stat(path.c_str(), &named) == 0 && sameInode(held, named) && ::unlink(path.c_str()) == 0)
      ++removed;
    ::close(fd);
  }
  closedir(dir);
  return removed;
}

std::string takeLastWriteError() {
  std::lock_guard<std::mutex> lock(writeErrorMutex);
  return std::exchange(lastWriteError, std::string());
}

bool sameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  const bool hasA = ::stat(a.c_str(), &sa) == 0, hasB = ::stat(b.c_str(), &sb) == 0;
  if (hasA && hasB) return sameInode(sa, sb);
  if (hasA || hasB) return false;
  // Two files still to be written are one when their names lead to one place.
  std::error_code ec;
  const auto ca = std::filesystem::weakly_canonical(a, ec);
  if (ec) return false;
  const auto cb = std::filesystem::weakly_canonical(b, ec);
  return !ec && ca == cb;
}

FolderLock::FolderLock(const std::string& folder, const LockPatience& patience) {
  fd_ = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0) return;
  // flock has no timed wait: ask again at a short interval until the patience runs out.
  constexpr auto kRetryPause = std::chrono::milliseconds(50);
  const auto start = std::chrono::steady_clock::now();
  bool noticed = false;
  while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    if (error == EINTR) continue;
    const auto waited = std::chrono::steady_clock::now() - start;
    if (error != EWOULDBLOCK || waited >= patience.giveUpAfter) {
      timedOut_ = error == EWOULDBLOCK;
      ::close(fd_);
      fd_ = -1;
      return;
    }
    if (!noticed && waited >= patience.noticeAfter) {
      noticed = true;
      if (patience.onWaiting) patience.onWaiting();
    }
    std::this_thread::sleep_for(kRetryPause);
  }
}

FolderLock::~FolderLock() {
  if (fd_ >= 0) ::close(fd_);
}

TempFile::~TempFile() { remove(); }

bool TempFile::create(const std::string& folder) {
  remove();
  std::string base = folder;
  if (!base.empty() && base.back() != '/') base.push_back('/');
  fd_ = createLockedTemporary(base, 0600, path_);
  if (fd_ < 0) recordWriteError(base + std::string(kTempPrefix) + "XXXXXX" + std::string(kTempSuffix), std::strerror(errno));
  return fd_ >= 0;
}

void TempFile::remove() {
  if (!path_.empty()) ::unlink(path_.c_str());
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  path_.clear();
}

namespace {
std::mutex protectedMutex;
std::vector<std::string> protectedFiles;
}  // namespace

void protectFromReplacement(const std::string& path) {
  std::lock_guard<std::mutex> lock(protectedMutex);
  protectedFiles.push_back(path);
}

AtomicFile::AtomicFile(std::string target) : target_(std::move(target)) {}

AtomicFile::~AtomicFile() { discard(); }

bool AtomicFile::fail(const std::string& reason) {
  ok_ = false;
  recordWriteError(target_, reason);
  return false;
}

bool AtomicFile::open() {
  discard();
  ok_ = true;
  buffer_.clear();
  // A link is written through: the file it leads to is replaced, the link stays.
  file_ = target_;
  for (int hops = 0;; ++hops) {
    struct stat st;
    if (::lstat(file_.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
    if (hops == kMaxLinkHops) return fail(std::strerror(ELOOP));
    std::string link(PATH_MAX, '\0');
    const ssize_t n = ::readlink(file_.c_str(), link.data(), link.size());
    if (n < 0) return fail(std::strerror(errno));
    link.resize(static_cast<size_t>(n));
    file_ = !link.empty() && link[0] == '/' ? link : folderPart(file_) + link;
  }
  {
    std::lock_guard<std::mutex> lock(protectedMutex);
    for (const std::string& kept : protectedFiles)
      if (sameFile(file_, kept)) return fail("the configuration file in use is never replaced by an output");
  }
  struct stat old;
  const bool replacing = ::stat(file_.c_str(), &old) == 0;
  if (replacing) {
    if (S_ISDIR(old.st_mode)) return fail(std::strerror(EISDIR));
    if (!S_ISREG(old.st_mode)) return fail("not a regular file (a device, pipe or socket is never replaced)");
    if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return fail("the file is read-only");
    if (::access(file_.c_str(), W_OK) != 0) return fail(std::strerror(errno));
  }
  const std::string folder = folderPart(file_);
  removeStaleTemporaries(folder);
  // A new file gets what the umask leaves of read and write for everyone, like any new file.
  fd_ = createLockedTemporary(folder, 0666, temp_);
  if (fd_ < 0) return fail(std::strerror(errno));
  if (replacing) {
    // The owner first: changing it clears the set-id bits that the mode then restores.
    if (::geteuid() == 0) (void)!::fchown(fd_, old.st_uid, old.st_gid);
    (void)!::fchmod(fd_, old.st_mode & 07777);
  }
  return true;
}

bool AtomicFile::flush() {
  size_t done = 0;
  while (ok_ && done < buffer_.size()) {
    const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) fail(std::strerror(errno));
    else if (n == 0) fail(std::strerror(EIO));
    else done += static_cast<size_t>(n);
  }
  buffer_.clear();
  return ok_;
}

bool AtomicFile::write(const void* data, size_t size) {
  if (fd_ < 0 || !ok_) return false;
  buffer_.append(static_cast<const char*>(data), size);
  if (buffer_.size() >= (1u << 16)) return flush();
  return true;
}

bool AtomicFile::commit() {
  if (fd_ < 0) return false;
  flush();
  if (ok_ && ::fsync(fd_) != 0) fail(std::strerror(errno));
  // Renamed while still locked, so that no cleaner takes it for a leftover.
  if (ok_ && std::rename(temp_.c_str(), file_.c_str()) != 0) fail(std::strerror(errno));
  if (ok_) temp_.clear();
  if (::close(fd_) != 0 && ok_) fail(std::strerror(errno));
  fd_ = -1;
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
  return ok_;
}

void AtomicFile::discard() {
  if (!temp_.empty()) ::unlink(temp_.c_str());
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  temp_.clear();
  buffer_.clear();
}

}  // namespace sonalog::platform

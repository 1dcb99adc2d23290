#include "platform/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

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

bool removeFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

AtomicFile::AtomicFile(std::string target) : target_(std::move(target)) {}

AtomicFile::~AtomicFile() { discard(); }

bool AtomicFile::open() {
  discard();
  temp_ = target_ + ".XXXXXX";
  fd_ = mkstemp(temp_.data());
  ok_ = fd_ >= 0;
  if (!ok_) temp_.clear();
  else fchmod(fd_, 0644);
  buffer_.clear();
  return ok_;
}

bool AtomicFile::flush() {
  size_t done = 0;
  while (ok_ && done < buffer_.size()) {
    const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ok_ = false;
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
  if (ok_ && ::fsync(fd_) != 0) ok_ = false;
  if (::close(fd_) != 0) ok_ = false;
  fd_ = -1;
  if (ok_ && std::rename(temp_.c_str(), target_.c_str()) != 0) ok_ = false;
  if (!ok_) ::unlink(temp_.c_str());
  temp_.clear();
  return ok_;
}

void AtomicFile::discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
  buffer_.clear();
}

}  // namespace sonalog::platform

#include "banner/BannerFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QString>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <random>

#include "base/Exception.h"

namespace lugatim::banner {
namespace {

bool IsAscii(std::string_view text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

// The UTF-8 text case-folded, or nothing when the bytes are no valid UTF-8.
std::optional<QString> FoldUtf8(std::string_view text) {
  const QByteArray bytes(text.data(), static_cast<qsizetype>(text.size()));
  const QString decoded = QString::fromUtf8(bytes);
  if (decoded.toUtf8() != bytes) return std::nullopt;
  return decoded.toCaseFolded();
}

std::string Reason(int err) {
  return std::strerror(err);
}

[[noreturn]] void FailOpen(const std::string& path, const std::string& reason) {
  throw base::Exception(base::Format("Cannot open file \"%s\". %s", path.c_str(), reason.c_str()));
}

[[noreturn]] void FailCreate(const std::string& path, const std::string& reason) {
  throw base::Exception(
      base::Format("Cannot create file \"%s\". %s", path.c_str(), reason.c_str()));
}

class Dir {
 public:
  explicit Dir(const std::string& path) : dir_(::opendir(path.c_str())) {}
  ~Dir() {
    if (dir_ != nullptr) ::closedir(dir_);
  }
  Dir(const Dir&) = delete;
  Dir& operator=(const Dir&) = delete;
  // The next entry name other than "." and "..", or nothing at the end.
  std::optional<std::string> Next() {
    if (dir_ == nullptr) return std::nullopt;
    while (const dirent* entry = ::readdir(dir_)) {
      const std::string_view name = entry->d_name;
      if (name != "." && name != "..") return std::string(name);
    }
    return std::nullopt;
  }

 private:
  DIR* dir_;
};

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int Get() const { return fd_; }

 private:
  int fd_;
};

// A name no entry of the folder has yet, for one temporary file.
std::string TempName() {
  static std::atomic<uint64_t> counter{0};
  static const uint64_t seed = [] {
    std::random_device device;
    return (static_cast<uint64_t>(device()) << 32) ^ device() ^ static_cast<uint64_t>(::getpid());
  }();
  const uint64_t n = seed + 0x9E3779B97F4A7C15ull * ++counter;
  static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string name(kTempPrefix);
  uint64_t v = n;
  for (int i = 0; i < 12; ++i) {
    name += digits[v % 36];
    v /= 36;
  }
  return name;
}

}  // namespace

bool IsSafeFileName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (const char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '/' || u < 0x20 || u == 0x7F) return false;
  }
  return true;
}

bool SameFileName(std::string_view a, std::string_view b) {
  if (IsAscii(a) && IsAscii(b)) return EqualsAsciiNoCase(a, b);
  const auto foldA = FoldUtf8(a);
  const auto foldB = FoldUtf8(b);
  if (foldA && foldB) return *foldA == *foldB;
  return EqualsAsciiNoCase(a, b);
}

bool IsReservedName(std::string_view name) {
  if (SameFileName(name, kAdListFile) || SameFileName(name, kVersionFile) ||
      SameFileName(name, kKeptBanner))
    return true;
  return name.size() >= kTempPrefix.size() &&
         EqualsAsciiNoCase(name.substr(0, kTempPrefix.size()), kTempPrefix);
}

std::string FileNameKey(std::string_view name) {
  if (!IsAscii(name)) {
    if (const auto folded = FoldUtf8(name)) return folded->toUtf8().toStdString();
  }
  std::string key(name);
  for (char& c : key) c = AsciiLower(c);
  return key;
}

TFolderIndex::TFolderIndex(std::string folder) : folder_(std::move(folder)) {
  Dir dir(folder_);
  while (auto name = dir.Next()) {
    struct stat st {};
    TEntry entry;
    if (::lstat((folder_ + *name).c_str(), &st) == 0) {
      entry.regular = S_ISREG(st.st_mode);
      entry.link = S_ISLNK(st.st_mode);
      if (entry.regular) entry.size = static_cast<int64_t>(st.st_size);
    }
    Put(*name, entry);
  }
}

std::optional<std::string> TFolderIndex::Find(std::string_view name) const {
  if (!IsSafeFileName(name)) return std::nullopt;
  const std::string exact(name);
  struct stat st {};
  if (entries_.count(exact) != 0 || ::lstat((folder_ + exact).c_str(), &st) == 0) return exact;
  const auto it = byKey_.find(FileNameKey(name));
  if (it == byKey_.end() || it->second.empty()) return std::nullopt;
  return *std::min_element(it->second.begin(), it->second.end());
}

void TFolderIndex::Put(const std::string& name, const TEntry& entry) {
  const auto [it, added] = entries_.insert_or_assign(name, entry);
  if (added) byKey_[FileNameKey(name)].push_back(name);
}

void TFolderIndex::Forget(const std::string& name) {
  if (entries_.erase(name) == 0) return;
  auto& names = byKey_[FileNameKey(name)];
  names.erase(std::remove(names.begin(), names.end(), name), names.end());
}

std::optional<std::string> FindEntry(const std::string& folder, std::string_view name) {
  if (!IsSafeFileName(name)) return std::nullopt;
  struct stat st {};
  const std::string exact = folder + std::string(name);
  if (::lstat(exact.c_str(), &st) == 0) return std::string(name);
  std::optional<std::string> found;
  Dir dir(folder);
  while (auto entry = dir.Next()) {
    if (SameFileName(*entry, name) && (!found || *entry < *found)) found = std::move(*entry);
  }
  return found;
}

std::string ReadFolderFile(const std::string& folder, std::string_view name) {
  return ReadFolderFileHead(folder, name, std::string::npos);
}

std::string ReadFolderFileHead(const std::string& folder, std::string_view name, size_t maxBytes) {
  const std::string asked = folder + std::string(name);
  if (!IsSafeFileName(name)) FailOpen(asked, "Unsafe file name");
  const auto entry = FindEntry(folder, name);
  if (!entry) FailOpen(asked, Reason(ENOENT));
  const std::string path = folder + *entry;
  // Non-blocking, so that a FIFO in place of a file cannot hold the reader.
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.Get() < 0) FailOpen(path, Reason(errno));
  struct stat st {};
  if (::fstat(fd.Get(), &st) != 0) FailOpen(path, Reason(errno));
  if (!S_ISREG(st.st_mode)) FailOpen(path, S_ISDIR(st.st_mode) ? Reason(EISDIR) : "Not a file");
  std::string content;
  content.reserve(std::min(static_cast<size_t>(st.st_size), maxBytes));
  char block[65536];
  while (content.size() < maxBytes) {
    const ssize_t n = ::read(fd.Get(), block, std::min(sizeof block, maxBytes - content.size()));
    if (n < 0) {
      if (errno == EINTR) continue;
      FailOpen(path, Reason(errno));
    }
    if (n == 0) break;
    content.append(block, static_cast<size_t>(n));
  }
  return content;
}

TFolderFileWriter::TFolderFileWriter(const std::string& folder, std::string_view name,
                                     const TFolderIndex* index, int64_t maxBytes)
    : folderLength_(folder.size()), maxBytes_(maxBytes) {
  const std::string asked = folder + std::string(name);
  if (!IsSafeFileName(name)) FailCreate(asked, "Unsafe file name");
  const auto entry = index != nullptr ? index->Find(name) : FindEntry(folder, name);
  target_ = folder + entry.value_or(std::string(name));
  for (int attempt = 0; attempt < 16 && fd_ < 0; ++attempt) {
    temp_ = folder + TempName();
    fd_ = ::open(temp_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) FailCreate(asked, Reason(errno));
}

TFolderFileWriter::~TFolderFileWriter() {
  if (fd_ >= 0) {
    ::close(fd_);
    ::unlink(temp_.c_str());
  }
}

void TFolderFileWriter::Discard(int err) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  ::unlink(temp_.c_str());
  FailCreate(target_, Reason(err));
}

std::string TFolderFileWriter::TargetName() const {
  return target_.substr(folderLength_);
}

void TFolderFileWriter::Write(const void* data, size_t count) {
  if (fd_ < 0) FailCreate(target_, Reason(EBADF));
  if (maxBytes_ >= 0 && position_ + static_cast<int64_t>(count) > maxBytes_) Discard(EFBIG);
  const char* bytes = static_cast<const char*>(data);
  size_t written = 0;
  while (written < count) {
    const ssize_t n = ::pwrite(fd_, bytes + written, count - written,
                               static_cast<off_t>(position_ + static_cast<int64_t>(written)));
    if (n < 0) {
      if (errno == EINTR) continue;
      Discard(errno);
    }
    written += static_cast<size_t>(n);
  }
  position_ += static_cast<int64_t>(count);
  size_ = std::max(size_, position_);
}

size_t TFolderFileWriter::Read(void* data, size_t count) {
  if (fd_ < 0 || position_ >= size_) return 0;
  for (;;) {
    const ssize_t n = ::pread(fd_, data, count, static_cast<off_t>(position_));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) FailOpen(temp_, Reason(errno));
    position_ += n;
    return static_cast<size_t>(n);
  }
}

void TFolderFileWriter::SetSize(int64_t size) {
  base::CheckStreamSize(size);
  if (fd_ < 0) FailCreate(target_, Reason(EBADF));
  if (maxBytes_ >= 0 && size > maxBytes_) Discard(EFBIG);
  // Growing leaves a hole, not allocated blocks: an announced length costs
  // no disk space before its bytes arrive.
  if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) Discard(errno);
  size_ = size;
  position_ = std::min(position_, size);
}

void TFolderFileWriter::SetPosition(int64_t position) {
  base::CheckStreamPosition(position);
  position_ = position;
}

void TFolderFileWriter::Commit() {
  if (fd_ < 0) FailCreate(target_, Reason(EBADF));
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) {
    const int err = errno;
    ::unlink(temp_.c_str());
    FailCreate(target_, Reason(err));
  }
  // rename() never follows a symbolic link at the target: it replaces the link.
  if (::rename(temp_.c_str(), target_.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp_.c_str());
    FailCreate(target_, Reason(err));
  }
}

void WriteFolderFile(const std::string& folder, std::string_view name, std::string_view bytes) {
  TFolderFileWriter file(folder, name);
  file.Write(bytes);
  file.Commit();
}

void RemoveStaleTempFiles(const std::string& folder) {
  Dir dir(folder);
  while (auto entry = dir.Next()) {
    if (entry->compare(0, kTempPrefix.size(), kTempPrefix) != 0) continue;
    const std::string path = folder + *entry;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(path.c_str());
  }
}

}  // namespace lugatim::banner

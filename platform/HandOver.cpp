#include "platform/HandOver.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "platform/SingleInstance.h"

namespace lugatim::platform {

namespace {

constexpr std::string_view kLookup = "LOOKUP ";
constexpr std::string_view kToken = "TOKEN ";
constexpr std::string_view kAnswer = "OK\n";

// Strict UTF-8 without control characters (C0, DEL, C1): what may stand in
// the search box. Overlong forms, surrogates and values past U+10FFFF fail.
bool IsPrintableUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      if (c < 0x20 || c == 0x7F) return false;
      ++i;
      continue;
    }
    size_t len = 0;
    char32_t cp = 0;
    if ((c & 0xE0) == 0xC0) {
      len = 2;
      cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      len = 3;
      cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      len = 4;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (i + len > text.size()) return false;
    for (size_t k = 1; k < len; ++k) {
      const auto cc = static_cast<unsigned char>(text[i + k]);
      if ((cc & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    const char32_t minimum = len == 2 ? 0x80 : len == 3 ? 0x800 : 0x10000;
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    if (cp >= 0x80 && cp <= 0x9F) return false;
    i += len;
  }
  return true;
}

// A token is what the desktop hands out: printable ASCII without blanks.
bool IsTokenText(std::string_view text) {
  if (text.size() > 255) return false;
  for (char c : text) {
    if (c <= 0x20 || c >= 0x7F) return false;
  }
  return true;
}

bool SameUserPeer(int fd) {
  struct ucred cred {};
  socklen_t len = sizeof cred;
  return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0 && cred.uid == getuid();
}

bool FillAddress(const std::string& path, sockaddr_un& addr) {
  std::memset(&addr, 0, sizeof addr);
  addr.sun_family = AF_UNIX;
  if (path.size() >= sizeof addr.sun_path) return false;
  std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
  return true;
}

int RemainingMs(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

std::string HandOverSocketPath() {
  // Beside the lock, in the same folder of the user's own.
  const TSessionFolder folder = SessionFolder();
  return folder.path.empty() ? std::string() : folder.path + "Lugatim_Kelime";
}

std::optional<std::string> EncodeRequest(const THandOverRequest& request) {
  if (request.word.empty() || !IsPrintableUtf8(request.word)) return std::nullopt;
  if (!IsTokenText(request.activationToken)) return std::nullopt;
  std::string bytes = std::string(kLookup) + request.word + "\n";
  if (!request.activationToken.empty()) {
    bytes += std::string(kToken) + request.activationToken + "\n";
  }
  if (bytes.size() > kMaxRequestBytes) return std::nullopt;
  return bytes;
}

std::optional<THandOverRequest> DecodeRequest(std::string_view bytes) {
  if (bytes.size() > kMaxRequestBytes || bytes.empty() || bytes.back() != '\n') {
    return std::nullopt;
  }
  THandOverRequest request;
  bool haveWord = false;
  bool haveToken = false;
  size_t at = 0;
  while (at < bytes.size()) {
    const size_t end = bytes.find('\n', at);
    const std::string_view line = bytes.substr(at, end - at);
    at = end + 1;
    if (line.starts_with(kLookup) && !haveWord && !haveToken) {
      const std::string_view word = line.substr(kLookup.size());
      if (word.empty() || !IsPrintableUtf8(word)) return std::nullopt;
      request.word = std::string(word);
      haveWord = true;
    } else if (line.starts_with(kToken) && haveWord && !haveToken) {
      const std::string_view token = line.substr(kToken.size());
      if (token.empty() || !IsTokenText(token)) return std::nullopt;
      request.activationToken = std::string(token);
      haveToken = true;
    } else {
      return std::nullopt;
    }
  }
  if (!haveWord) return std::nullopt;
  return request;
}

// ---------------------------------------------------------------- listener

THandOverListener::THandOverListener(std::string path) : path_(std::move(path)) {}

THandOverListener::~THandOverListener() {
  if (fd_ < 0) return;
  close(fd_);
  // Only the file this listener made: a later copy may have replaced it.
  struct stat st {};
  if (lstat(path_.c_str(), &st) == 0 && st.st_ino == inode_) unlink(path_.c_str());
}

bool THandOverListener::Listen() {
  if (path_.empty()) {
    error_ = SessionFolder().error;
    return false;
  }
  sockaddr_un addr{};
  if (!FillAddress(path_, addr)) {
    error_ = "socket path too long: " + path_;
    return false;
  }
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    error_ = std::string("socket: ") + std::strerror(errno);
    return false;
  }
  // Whatever lies at the path belongs to a copy that ended: the caller holds
  // the lock. A file of another user in a shared /tmp cannot be removed and
  // makes bind fail below, so it is never served nor used.
  struct stat st {};
  if (lstat(path_.c_str(), &st) == 0 && S_ISSOCK(st.st_mode)) unlink(path_.c_str());
  // Owner-only from the moment the file exists.
  const mode_t previous = umask(0077);
  const int bound = bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
  const int bindErrno = errno;
  umask(previous);
  if (bound != 0 || listen(fd, 16) != 0) {
    error_ = path_ + ": " + std::strerror(bound != 0 ? bindErrno : errno);
    close(fd);
    return false;
  }
  chmod(path_.c_str(), 0600);
  if (lstat(path_.c_str(), &st) == 0) inode_ = st.st_ino;
  fd_ = fd;
  return true;
}

int THandOverListener::Accept() {
  while (fd_ >= 0) {
    const int conn = accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (conn < 0) {
      if (errno == EINTR || errno == ECONNABORTED) continue;
      return -1;
    }
    if (SameUserPeer(conn)) return conn;
    close(conn);
  }
  return -1;
}

// ---------------------------------------------------------------- sender

THandOverResult SendHandOver(const std::string& path, const std::string& requestBytes,
                             int timeoutMs) {
  sockaddr_un addr{};
  if (path.empty() || !FillAddress(path, addr)) return THandOverResult::NoListener;
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return THandOverResult::NoListener;
  struct Closer {
    int fd;
    ~Closer() { close(fd); }
  } closer{fd};
  if (connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
    return THandOverResult::NoListener;
  }
  // The word goes to a copy of this user only.
  if (!SameUserPeer(fd)) return THandOverResult::Refused;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  size_t sent = 0;
  while (sent < requestBytes.size()) {
    pollfd p{fd, POLLOUT, 0};
    if (poll(&p, 1, RemainingMs(deadline)) <= 0) return THandOverResult::Refused;
    const ssize_t n = send(fd, requestBytes.data() + sent, requestBytes.size() - sent,
                           MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (n <= 0) return THandOverResult::Refused;
    sent += static_cast<size_t>(n);
  }
  shutdown(fd, SHUT_WR);
  std::string answer;
  char buf[16];
  while (answer.size() < kAnswer.size()) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, RemainingMs(deadline)) <= 0) return THandOverResult::Refused;
    const ssize_t n = recv(fd, buf, sizeof buf, MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (n <= 0) break;
    answer.append(buf, static_cast<size_t>(n));
  }
  return answer == kAnswer ? THandOverResult::Delivered : THandOverResult::Refused;
}

}  // namespace lugatim::platform

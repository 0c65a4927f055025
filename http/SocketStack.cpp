#include "http/SocketStack.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <mutex>

#include "http/NetExceptions.h"
#include "http/TextUtil.h"

namespace lugatim::http {

namespace {

std::mutex& StackMutex() {
  static std::mutex mutex;
  return mutex;
}
TSocketStack* gStack = nullptr;
int gUsers = 0;

[[noreturn]] void RaiseErrno(int err) {
  throw ENetSocketError(WinsockErrorOfErrno(err));
}

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// poll that resumes after a signal with what is left of the limit.
int PollFor(pollfd& pfd, int limitMs) {
  const int64_t end = limitMs < 0 ? 0 : NowMs() + limitMs;
  for (;;) {
    const int result = ::poll(&pfd, 1, limitMs);
    if (result >= 0 || errno != EINTR) return result;
    if (limitMs >= 0) limitMs = static_cast<int>(std::max<int64_t>(0, end - NowMs()));
  }
}

sockaddr_in MakeAddress(const std::string& ip, int port) {
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(port));
  if (ip.empty()) {
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
  } else if (const auto address = TSocketStack::DottedQuadAddress(ip)) {
    addr.sin_addr.s_addr = htonl(*address);
  } else {
    throw ENetSocketError(kWsaEAddrNotAvail);
  }
  return addr;
}

void ReadAddress(const sockaddr_in& addr, std::string& ip, int& port) {
  char text[INET_ADDRSTRLEN] = {};
  ::inet_ntop(AF_INET, &addr.sin_addr, text, sizeof text);
  ip = text;
  port = ntohs(addr.sin_port);
}

}  // namespace

TSocketStack& TSocketStack::Acquire() {
  std::lock_guard lock(StackMutex());
  if (gUsers++ == 0) gStack = new TSocketStack();
  return *gStack;
}

void TSocketStack::Release() {
  std::lock_guard lock(StackMutex());
  if (gUsers > 0 && --gUsers == 0) {
    delete gStack;
    gStack = nullptr;
  }
}

TSocketStack* TSocketStack::Instance() {
  std::lock_guard lock(StackMutex());
  return gStack;
}

int TSocketStack::UserCount() {
  std::lock_guard lock(StackMutex());
  return gUsers;
}

std::optional<uint32_t> TSocketStack::DottedQuadAddress(std::string_view text) {
  uint32_t address = 0;
  int parts = 0;
  size_t start = 0;
  for (;;) {
    const size_t dot = text.find('.', start);
    const std::string_view part =
        text.substr(start, dot == std::string_view::npos ? dot : dot - start);
    if (part.empty() || part.size() > 3) return std::nullopt;
    // Decimal whatever the leading zeros: "010" is ten, not an octal eight.
    uint32_t value = 0;
    for (char c : part) {
      if (c < '0' || c > '9') return std::nullopt;
      value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    if (value > 255) return std::nullopt;
    address = address << 8 | value;
    ++parts;
    if (dot == std::string_view::npos) break;
    if (parts == 4) return std::nullopt;
    start = dot + 1;
  }
  if (parts != 4) return std::nullopt;
  return address;
}

bool TSocketStack::IsDottedQuad(std::string_view text) {
  return DottedQuadAddress(text).has_value();
}

int TSocketStack::NewSocket() {
  return ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
}

void TSocketStack::Bind(int fd, const std::string& ip, int port) {
  const sockaddr_in addr = MakeAddress(ip, port);
#ifdef IP_BIND_ADDRESS_NO_PORT
  // Port 0: let connect pick the port, so that many short connections do not
  // use up the ephemeral range by binding first.
  if (port == 0) {
    const int one = 1;
    ::setsockopt(fd, IPPROTO_IP, IP_BIND_ADDRESS_NO_PORT, &one, sizeof one);
  }
#endif
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
    if (errno == EADDRINUSE) throw ENetCouldNotBindSocket();
    RaiseErrno(errno);
  }
}

void TSocketStack::LocalAddress(int fd, std::string& ip, int& port) {
  sockaddr_in addr{};
  socklen_t len = sizeof addr;
  if (::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) RaiseErrno(errno);
  ReadAddress(addr, ip, port);
}

void TSocketStack::PeerAddress(int fd, std::string& ip, int& port) {
  sockaddr_in addr{};
  socklen_t len = sizeof addr;
  if (::getpeername(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) RaiseErrno(errno);
  ReadAddress(addr, ip, port);
}

std::string TSocketStack::ResolveHost(const std::string& host) {
  if (EqualsNoCase(host, "LOCALHOST")) return "127.0.0.1";
  if (IsDottedQuad(host)) return host;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const int result = ::getaddrinfo(host.c_str(), nullptr, &hints, &found);
  if (result != 0 || found == nullptr) {
    if (found) ::freeaddrinfo(found);
    throw ENetSocketError(kWsaHostNotFound);
  }
  std::string ip;
  int port = 0;
  ReadAddress(*reinterpret_cast<const sockaddr_in*>(found->ai_addr), ip, port);
  ::freeaddrinfo(found);
  return ip;
}

void TSocketStack::SetNoDelay(int fd) {
  const int one = 1;
  if (::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one) != 0) RaiseErrno(errno);
}

void TSocketStack::SetCork(int fd, bool on) {
  const int value = on ? 1 : 0;
  ::setsockopt(fd, IPPROTO_TCP, TCP_CORK, &value, sizeof value);
}

void TSocketStack::Connect(int fd, const std::string& ip, int port, int timeOutMs) {
  if (port < 0 || port > 65535) throw ENetSocketError(kWsaEAddrNotAvail);
  const sockaddr_in addr = MakeAddress(ip, port);
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) RaiseErrno(errno);
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
    if (errno != EINPROGRESS && errno != EINTR) RaiseErrno(errno);
    pollfd pfd{fd, POLLOUT, 0};
    const int ready = PollFor(pfd, timeOutMs > 0 ? timeOutMs : -1);
    if (ready < 0) RaiseErrno(errno);
    if (ready == 0) throw ENetSocketError(kWsaETimedOut);
    int error = 0;
    socklen_t len = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &len) != 0) RaiseErrno(errno);
    if (error != 0) RaiseErrno(error);
  }
  if (::fcntl(fd, F_SETFL, flags) != 0) RaiseErrno(errno);
}

void TSocketStack::SetSendTimeOut(int fd, int timeOutMs) {
  timeval tv{};
  if (timeOutMs > 0) {
    tv.tv_sec = timeOutMs / 1000;
    tv.tv_usec = (timeOutMs % 1000) * 1000;
  }
  ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
}

bool TSocketStack::PollReadable(int fd, int limitMs) {
  pollfd pfd{fd, POLLIN, 0};
  const int ready = PollFor(pfd, limitMs);
  if (ready < 0) RaiseErrno(errno);
  return ready == 1;
}

long TSocketStack::Recv(int fd, void* data, size_t size, int& error) {
  for (;;) {
    const long n = ::recv(fd, data, size, 0);
    if (n >= 0) return n;
    if (errno == EINTR) continue;
    error = WinsockErrorOfErrno(errno);
    return -1;
  }
}

long TSocketStack::Send(int fd, const void* data, size_t size, int& error) {
  for (;;) {
    // MSG_NOSIGNAL: a send to a closed peer is an error to report, not a
    // signal that ends the process.
    const long n = ::send(fd, data, size, MSG_NOSIGNAL);
    if (n >= 0) return n;
    if (errno == EINTR) continue;
    // The send time-out expired (SO_SNDTIMEO reports it as "would block").
    error = (errno == EAGAIN || errno == EWOULDBLOCK) ? kWsaETimedOut : WinsockErrorOfErrno(errno);
    return -1;
  }
}

void TSocketStack::Close(int fd) {
  ::shutdown(fd, SHUT_WR);
  ::close(fd);
}

}  // namespace lugatim::http

#include "tests/http/ScriptedServer.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <stdexcept>

namespace lugatim::http::test {

TServerConnection::~TServerConnection() {
  if (fd_ >= 0) ::close(fd_);
}

bool TServerConnection::Readable(int ms) {
  pollfd fds[2] = {{fd_, POLLIN, 0}, {stopFd_, POLLIN, 0}};
  if (::poll(fds, 2, ms) <= 0) return false;
  if (fds[1].revents) return false;
  return fds[0].revents != 0;
}

std::string TServerConnection::ReadRequest() {
  while (fd_ >= 0) {
    const size_t end = buffered_.find("\r\n\r\n");
    if (end != std::string::npos) {
      std::string head = buffered_.substr(0, end + 4);
      buffered_.erase(0, end + 4);
      std::lock_guard lock(*logMutex_);
      log_->push_back(head);
      return head;
    }
    if (!Readable(-1)) return {};
    char block[4096];
    const ssize_t n = ::recv(fd_, block, sizeof block, 0);
    if (n <= 0) return {};
    buffered_.append(block, static_cast<size_t>(n));
  }
  return {};
}

bool TServerConnection::Send(std::string_view bytes) {
  size_t sent = 0;
  while (fd_ >= 0 && sent < bytes.size()) {
    const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return fd_ >= 0;
}

void TServerConnection::Close() {
  if (fd_ < 0) return;
  // Unread bytes would turn the close into a reset; drop them first.
  char block[4096];
  while (::recv(fd_, block, sizeof block, MSG_DONTWAIT) > 0) {
  }
  ::shutdown(fd_, SHUT_WR);
  ::close(fd_);
  fd_ = -1;
}

void TServerConnection::Reset() {
  if (fd_ < 0) return;
  const linger hard{1, 0};
  ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
  ::close(fd_);
  fd_ = -1;
}

void TServerConnection::WaitForClientClose() {
  while (fd_ >= 0 && Readable(-1)) {
    char block[4096];
    if (::recv(fd_, block, sizeof block, 0) <= 0) return;
  }
}

bool TServerConnection::PauseOrStop(int ms) {
  pollfd stop{stopFd_, POLLIN, 0};
  return ::poll(&stop, 1, ms) > 0;
}

TScriptedServer::TScriptedServer(Script script) : script_(std::move(script)) {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  stopFd_ = ::eventfd(0, EFD_CLOEXEC);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  if (listenFd_ < 0 || stopFd_ < 0 ||
      ::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::listen(listenFd_, 16) != 0 ||
      ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    throw std::runtime_error(std::string("scripted server: ") + std::strerror(errno));
  }
  port_ = ntohs(addr.sin_port);
  thread_ = std::thread([this] { Run(); });
}

TScriptedServer::~TScriptedServer() {
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t n = ::write(stopFd_, &one, sizeof one);
  thread_.join();
  ::close(listenFd_);
  ::close(stopFd_);
}

std::string TScriptedServer::Url(std::string_view path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

bool TScriptedServer::WaitForConnections(int count) {
  std::unique_lock lock(mutex_);
  return acceptedChanged_.wait_for(lock, std::chrono::seconds(5),
                                   [&] { return accepted_ >= count; });
}

std::vector<std::string> TScriptedServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void TScriptedServer::Run() {
  for (;;) {
    pollfd fds[2] = {{listenFd_, POLLIN, 0}, {stopFd_, POLLIN, 0}};
    if (::poll(fds, 2, -1) <= 0 || fds[1].revents) return;
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    int index;
    {
      std::lock_guard lock(mutex_);
      index = accepted_++;
    }
    acceptedChanged_.notify_all();
    TServerConnection connection(fd, index, stopFd_);
    connection.log_ = &requests_;
    connection.logMutex_ = &mutex_;
    script_(connection);
  }
}

std::string Response(std::string_view statusLine, std::vector<std::string> headers,
                     std::string_view body) {
  std::string out(statusLine);
  out += "\r\n";
  for (const std::string& header : headers) out += header + "\r\n";
  out += "\r\n";
  out += body;
  return out;
}

std::string Ok(std::string_view body) {
  return Response("HTTP/1.1 200 OK", {"Content-Length: " + std::to_string(body.size())}, body);
}

}  // namespace lugatim::http::test

#include "app/HandOverServer.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <cerrno>

namespace lugatim::app {

THandOverServer::THandOverServer(std::unique_ptr<platform::THandOverListener> listener,
                                 Handler handler, QObject* parent)
    : QObject(parent), listener_(std::move(listener)), handler_(std::move(handler)) {
  if (listener_->Fd() < 0) return;
  notifier_ = std::make_unique<QSocketNotifier>(listener_->Fd(), QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { AcceptWaiting(); });
}

THandOverServer::~THandOverServer() {
  notifier_.reset();
  while (!connections_.empty()) Drop(connections_.begin()->first);
}

void THandOverServer::AcceptWaiting() {
  for (int fd = listener_->Accept(); fd >= 0; fd = listener_->Accept()) {
    if (connections_.size() >= kMaxConnections) {
      close(fd);
      continue;
    }
    Connection& c = connections_[fd];
    c.fd = fd;
    c.notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(c.notifier.get(), &QSocketNotifier::activated, this, [this, fd] { ReadFrom(fd); });
    c.timer = std::make_unique<QTimer>();
    c.timer->setSingleShot(true);
    connect(c.timer.get(), &QTimer::timeout, this, [this, fd] { Drop(fd); });
    c.timer->start(kRequestTimeoutMs);
  }
}

void THandOverServer::ReadFrom(int fd) {
  auto it = connections_.find(fd);
  if (it == connections_.end()) return;
  Connection& c = it->second;
  char buf[1024];
  for (;;) {
    const ssize_t n = recv(fd, buf, sizeof buf, MSG_DONTWAIT);
    if (n > 0) {
      c.bytes.append(buf, static_cast<size_t>(n));
      if (c.bytes.size() > platform::kMaxRequestBytes) {
        Drop(fd);  // oversized: not read any further
        return;
      }
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;  // more to come
    break;  // end of the request, or the sender went away
  }
  const std::optional<platform::THandOverRequest> request = platform::DecodeRequest(c.bytes);
  if (request) send(fd, "OK\n", 3, MSG_NOSIGNAL | MSG_DONTWAIT);
  Drop(fd);
  if (request && handler_) handler_(*request);
}

void THandOverServer::Drop(int fd) {
  auto it = connections_.find(fd);
  if (it == connections_.end()) return;
  // Drop may run inside the notifier's or the timer's own signal: they go
  // once control is back in the event loop.
  it->second.notifier->setEnabled(false);
  it->second.notifier.release()->deleteLater();
  it->second.timer->stop();
  it->second.timer.release()->deleteLater();
  close(fd);
  connections_.erase(it);
}

void BringToFront(QWidget& window, const std::string& activationToken) {
  if (window.isMinimized()) window.showNormal();
  window.show();
  window.raise();
  // Qt's Wayland platform activates a window with the token it finds in
  // XDG_ACTIVATION_TOKEN (and takes it out again); elsewhere the variable is
  // not read.
  if (!activationToken.empty() && QGuiApplication::platformName() == QStringLiteral("wayland")) {
    qputenv("XDG_ACTIVATION_TOKEN", QByteArray::fromStdString(activationToken));
  }
  window.activateWindow();
}

}  // namespace lugatim::app

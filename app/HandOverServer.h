#pragma once
// The running copy's end of the hand-over socket, on the main thread's event
// loop: it accepts connections of this user, reads each request (at most
// 4 KiB, within two seconds), answers a well-formed one and passes its word
// on; everything else is dropped without an answer. A request can do nothing
// but hand over a word, whatever its bytes.

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/HandOver.h"

namespace lugatim::app {

class THandOverServer : public QObject {
  Q_OBJECT
 public:
  using Handler = std::function<void(const platform::THandOverRequest&)>;

  // Serves a listener that already listens (see platform::THandOverListener);
  // one that could not listen leaves the program working without hand-over.
  THandOverServer(std::unique_ptr<platform::THandOverListener> listener, Handler handler,
                  QObject* parent = nullptr);
  ~THandOverServer() override;

  bool Listening() const { return listener_->Fd() >= 0; }

  // Connections served at the same time; further ones are closed at once.
  static constexpr size_t kMaxConnections = 8;
  static constexpr int kRequestTimeoutMs = 2000;

 private:
  struct Connection {
    int fd = -1;
    std::string bytes;
    std::unique_ptr<QSocketNotifier> notifier;
    std::unique_ptr<QTimer> timer;
  };
  void AcceptWaiting();
  void ReadFrom(int fd);
  void Drop(int fd);

  std::unique_ptr<platform::THandOverListener> listener_;
  Handler handler_;
  std::unique_ptr<QSocketNotifier> notifier_;
  std::map<int, Connection> connections_;
};

// Brings a window to the front: restored when minimised, raised and
// activated; on Wayland with the desktop's activation token when one came.
void BringToFront(QWidget& window, const std::string& activationToken);

}  // namespace lugatim::app

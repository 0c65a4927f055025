#pragma once
// A loopback TCP server on its own thread that plays a script against each
// connection it accepts, one connection after another, so that tests can
// send exact bytes and see exactly what the client sent.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace lugatim::http::test {

class TServerConnection {
 public:
  TServerConnection(int fd, int index, int stopFd) : fd_(fd), index_(index), stopFd_(stopFd) {}
  ~TServerConnection();
  TServerConnection(const TServerConnection&) = delete;
  TServerConnection& operator=(const TServerConnection&) = delete;

  // Index of this connection among those accepted, from 0.
  int Index() const { return index_; }
  // The next request head up to and including its empty line; empty text
  // when the client closed (or the server stops) first.
  std::string ReadRequest();
  // Sends all bytes; false when the client is gone.
  bool Send(std::string_view bytes);
  // Graceful close (FIN).
  void Close();
  // Abortive close (RST).
  void Reset();
  // Waits until the client closes its side or the server stops.
  void WaitForClientClose();
  // Waits up to ms for the server to stop; true when it stops.
  bool PauseOrStop(int ms);

 private:
  bool Readable(int ms);

  int fd_;
  int index_;
  int stopFd_;
  std::string buffered_;
  friend class TScriptedServer;
  std::vector<std::string>* log_ = nullptr;
  std::mutex* logMutex_ = nullptr;
};

class TScriptedServer {
 public:
  using Script = std::function<void(TServerConnection&)>;
  explicit TScriptedServer(Script script);
  // Stops at once, also a script that is waiting.
  ~TScriptedServer();

  int Port() const { return port_; }
  std::string Url(std::string_view path = "/") const;
  int Connections() const { return accepted_; }
  // Waits until at least count connections were accepted (at most 5 s);
  // true when they were.
  bool WaitForConnections(int count);
  // Every request head read so far, in order.
  std::vector<std::string> Requests() const;

 private:
  void Run();

  Script script_;
  int listenFd_ = -1;
  int stopFd_ = -1;
  int port_ = 0;
  std::atomic<int> accepted_{0};
  mutable std::mutex mutex_;
  std::condition_variable acceptedChanged_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

// An HTTP response made of a status line, header lines and a body.
std::string Response(std::string_view statusLine, std::vector<std::string> headers,
                     std::string_view body);
// A 200 response over HTTP/1.1 with a Content-Length.
std::string Ok(std::string_view body);

}  // namespace lugatim::http::test

#pragma once
// The process-wide socket layer: POSIX sockets with their failures turned into
// the Winsock numbers and texts the client reports. It exists while at least
// one network component exists; the components count themselves in and out.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lugatim::http {

class TSocketStack {
 public:
  // Counts one network component in, creating the layer for the first one.
  static TSocketStack& Acquire();
  // Counts one out; the last one destroys the layer.
  static void Release();
  // The layer, or nullptr while no network component exists.
  static TSocketStack* Instance();
  static int UserCount();

  TSocketStack(const TSocketStack&) = delete;
  TSocketStack& operator=(const TSocketStack&) = delete;

  // A new TCP socket (IPv4, stream, close-on-exec), or -1.
  int NewSocket();
  // Binds to the address text (empty: any local address) and the port.
  // "Address in use" raises ENetCouldNotBindSocket, anything else ENetSocketError.
  void Bind(int fd, const std::string& ip, int port);
  void LocalAddress(int fd, std::string& ip, int& port);
  void PeerAddress(int fd, std::string& ip, int& port);
  // The dotted address of a host: "LOCALHOST" in any case is 127.0.0.1, a
  // dotted quad stands for itself, any other name is looked up and its first
  // IPv4 address is taken. A failed look-up raises ENetSocketError 11001.
  std::string ResolveHost(const std::string& host);
  void SetNoDelay(int fd);
  // While corked, the sends of one request are held and leave as full
  // segments when uncorked; never fails.
  void SetCork(int fd, bool on);
  // Connects within the time-out (0 or less: the system's own limit);
  // a connect that does not complete in time raises ENetSocketError 10060.
  void Connect(int fd, const std::string& ip, int port, int timeOutMs);
  // Bounds each send so that a peer that stops reading cannot hold a send
  // forever (0 or less: no bound).
  void SetSendTimeOut(int fd, int timeOutMs);
  // Waits up to the limit (negative: without limit) for the socket to become
  // readable (data, end of stream or an error to collect).
  bool PollReadable(int fd, int limitMs);
  // One recv / send with flags 0; the byte count, or -1 with the Winsock
  // number of the failure in error.
  long Recv(int fd, void* data, size_t size, int& error);
  long Send(int fd, const void* data, size_t size, int& error);
  // Shuts down the sending direction and releases the socket; never fails.
  void Close(int fd);

  // Four "."-separated decimal numbers of 1 to 3 digits, each 0 to 255
  // (leading zeros allowed and read as decimal); the address in host byte
  // order, or nothing for any other text.
  static std::optional<uint32_t> DottedQuadAddress(std::string_view text);
  static bool IsDottedQuad(std::string_view text);

 private:
  TSocketStack() = default;
  ~TSocketStack() = default;
};

}  // namespace lugatim::http

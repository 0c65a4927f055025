#include "http/TcpClient.h"

#include "http/NetExceptions.h"

namespace lugatim::http {

void TTcpClient::OpenConnection() {
  if (SocketOpen()) throw ENetAlreadyConnected();
  ResetConnection();
  const int fd = Stack().NewSocket();
  if (fd < 0) throw ENetInvalidSocket();
  TSocketHandle& binding = MutableBinding();
  binding.Handle = fd;
  try {
    Stack().Bind(fd, boundIP_, 0);
    Stack().LocalAddress(fd, binding.IP, binding.Port);
    if (!TSocketStack::IsDottedQuad(host_)) DoStatus(TStatus::Resolving, host_);
    const std::string address = Stack().ResolveHost(host_);
    if (!useNagle_) Stack().SetNoDelay(fd);
    DoStatus(TStatus::Connecting, address);
    // The peer address is known before the connect, so that a failed connect
    // still reports where it was going when it closes.
    binding.PeerIP = address;
    binding.PeerPort = port_;
    Stack().Connect(fd, address, port_, connectTimeOut_);
    Stack().LocalAddress(fd, binding.IP, binding.Port);
    Stack().PeerAddress(fd, binding.PeerIP, binding.PeerPort);
  } catch (...) {
    try {
      CloseConnection();
    } catch (...) {
    }
    throw;
  }
  ConnectionEstablished();
}

}  // namespace lugatim::http

#pragma once
// The TCP client: a connection to Host:Port, opened on request.

#include <string>

#include "http/TcpConnection.h"

namespace lugatim::http {

class TTcpClient : public TTcpConnection {
 public:
  static constexpr int kDefaultConnectTimeOut = 10000;

  // Connects to Host:Port: binds to BoundIP, resolves Host, connects within
  // ConnectTimeOut. Raises ENetAlreadyConnected "Already connected." when a
  // socket is open; any failure after the socket was created closes it again.
  void OpenConnection();

  const std::string& Host() const { return host_; }
  void SetHost(std::string host) { host_ = std::move(host); }
  int Port() const { return port_; }
  void SetPort(int port) { port_ = port; }
  // Local address to bind to; empty means any.
  const std::string& BoundIP() const { return boundIP_; }
  void SetBoundIP(std::string ip) { boundIP_ = std::move(ip); }
  // False sets TCP_NODELAY on each new socket.
  bool UseNagle() const { return useNagle_; }
  void SetUseNagle(bool value) { useNagle_ = value; }
  // Longest wait for a connect to complete, in milliseconds; 0 or less leaves
  // it to the system. Name look-up is bounded by the system resolver's own
  // time-outs.
  int ConnectTimeOut() const { return connectTimeOut_; }
  void SetConnectTimeOut(int ms) { connectTimeOut_ = ms; }

 private:
  std::string host_;
  int port_ = 80;
  std::string boundIP_;
  bool useNagle_ = true;
  int connectTimeOut_ = kDefaultConnectTimeOut;
};

}  // namespace lugatim::http

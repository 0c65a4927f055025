#pragma once
// One blocking TCP connection: the socket binding, the buffer of received
// bytes, line and block reading, writing, and noticing and performing the
// close. Every wait for incoming data goes through WaitReadable, which offers
// the responsive-wait hook a turn. Reads that would otherwise wait without
// end are bounded by ReadTimeOut and by the transfer deadline that the HTTP
// client sets; both raise ENetSocketError 10060 and close the connection.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Stream.h"
#include "http/ByteQueue.h"
#include "http/NetComponent.h"

namespace lugatim::http {

// A time limit without end.
constexpr int kInfinite = -1;

enum class TStatus { Resolving, Connecting, Connected, Disconnecting, Disconnected, Text };
// The status and its text, already formatted with its argument.
using TStatusEvent = std::function<void(TStatus status, const std::string& text)>;
using TNotifyEvent = std::function<void()>;

struct TSocketHandle {
  int Handle = -1;
  std::string IP;
  int Port = 0;
  std::string PeerIP;
  int PeerPort = 0;

  bool HandleAllocated() const { return Handle >= 0; }
  void Reset() { *this = TSocketHandle{}; }
};

class TTcpConnection : public TNetComponent {
 public:
  static constexpr int kDefaultRecvBufferSize = 32768;
  static constexpr int kDefaultReadTimeOut = 15000;
  static constexpr size_t kDefaultMaxLineLength = 100 * 1024;

  TTcpConnection();
  // Closes an open socket.
  ~TTcpConnection() override;

  // Closes the socket first when a receive noticed the server's close, then
  // answers whether a socket is open. Sends and receives nothing.
  bool IsConnected();
  // Closes the socket if one is open; does nothing otherwise; never raises.
  void CloseConnection();

  // Reads one line terminated by LF (a CR before it is dropped). With a
  // finite limit and nothing received within it, returns empty text and sets
  // ReadLnTimedOut. A line longer than MaxLineLength raises ENetBadResponse.
  std::string ReadLine(int timeLimitMs = kInfinite);
  bool ReadLnTimedOut() const { return readLnTimedOut_; }
  // Writes the text followed by CR LF, as one send sequence.
  void WriteLine(std::string_view text);
  // Writes the bytes completely.
  void Write(std::string_view bytes);

  // When the peer closed or no socket is open: closes an open socket, then
  // raises ENetConnClosedGracefully if raise is set and either no bytes are
  // pending or pending bytes are ignored.
  void CheckPeerClosed(bool raise, bool ignorePending);
  // One receive within the time limit, into block (at most blockSize bytes)
  // or, with a null block, appended to PendingInput. Returns the byte count;
  // 0 when nothing was readable in time or the peer closed.
  int ReceiveOnce(bool raise, int timeLimitMs, char* block = nullptr, size_t blockSize = 0);
  // Whether the socket becomes readable within the limit; sliced and offered
  // to the responsive-wait hook. With no socket open raises
  // ENetConnClosedGracefully.
  bool WaitReadable(int timeLimitMs);
  // Reads count bytes into the stream at its position (count < 0: until the
  // server closes). A counted read sizes the stream in advance and raises
  // ENetConnClosedGracefully when the server closes early. A read until close
  // raises ENetBadResponse when more than limit bytes arrive (limit < 0: no
  // limit). The stream is cut at its position at the end.
  void ReadToStream(base::TStream& stream, int64_t count, int64_t limit = -1);

  // Holds back (true) or releases (false) what the following writes send, so
  // that a request written line by line leaves in one segment instead of
  // stalling on Nagle's rule against the server's delayed acknowledgement.
  void HoldWrites(bool hold);

  // Takes over an already connected stream socket, as if connected to it.
  void AttachSocket(int fd);

  const TSocketHandle& Binding() const { return binding_; }
  bool SocketOpen() const { return binding_.HandleAllocated(); }
  const TByteQueue& PendingInput() const { return pending_; }
  // Whether bytes wait that no read has taken: in PendingInput, or readable
  // on the socket now (the peer's close counts too). Never waits and offers
  // no turn to the responsive-wait hook.
  bool HasUnreadBytes() const;
  // Bytes received by this object since it was made, over all connections;
  // a change tells that some byte arrived in between.
  uint64_t BytesReceived() const { return bytesReceived_; }
  bool PeerClosed() const { return peerClosed_; }

  int RecvBufferSize() const { return recvBufferSize_; }
  void SetRecvBufferSize(int size);
  int SendBufferSize() const { return sendBufferSize_; }
  void SetSendBufferSize(int size) { sendBufferSize_ = size; }

  // Longest wait for the next bytes of a read that has no limit of its own,
  // in milliseconds; 0 or less waits without end. Also bounds each send.
  int ReadTimeOut() const { return readTimeOut_; }
  void SetReadTimeOut(int ms);
  size_t MaxLineLength() const { return maxLineLength_; }
  void SetMaxLineLength(size_t length) { maxLineLength_ = length; }

  TStatusEvent OnStatus;
  TNotifyEvent OnConnected;
  TNotifyEvent OnDisconnected;

 protected:
  void DoStatus(TStatus status, const std::string& argument = {});
  // Resets the binding and the buffers for a new connection.
  void ResetConnection();
  // Binding of a freshly connected socket: send bound, events.
  void ConnectionEstablished();
  TSocketHandle& MutableBinding() { return binding_; }

  // A wall-clock point (monotonic milliseconds) after which reads fail with a
  // time-out; 0 means none. The HTTP client sets it for one transfer.
  void SetDeadline(int64_t monotonicMs) { deadline_ = monotonicMs; }
  int64_t Deadline() const { return deadline_; }
  static int64_t NowMs();

  // Closes and raises ENetSocketError 10060.
  [[noreturn]] void TimedOut();

 private:
  bool SelectOnce(int limitMs);
  // The limit that the read time-out and the deadline put on a wait, or kInfinite.
  int ReadBoundMs() const;

  TSocketHandle binding_;
  TByteQueue pending_;
  std::vector<char> recvBuffer_;
  int recvBufferSize_ = kDefaultRecvBufferSize;
  int sendBufferSize_ = 32768;
  bool peerClosed_ = false;
  bool readLnTimedOut_ = false;
  int readTimeOut_ = kDefaultReadTimeOut;
  size_t maxLineLength_ = kDefaultMaxLineLength;
  int64_t deadline_ = 0;
  uint64_t bytesReceived_ = 0;
};

}  // namespace lugatim::http

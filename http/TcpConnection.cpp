#include "http/TcpConnection.h"

#include <algorithm>
#include <chrono>

#include "base/Exception.h"
#include "http/NetExceptions.h"
#include "http/ResponsiveWait.h"

namespace lugatim::http {

namespace {

const char* StatusFormat(TStatus status) {
  switch (status) {
    case TStatus::Resolving:
      return "Resolving hostname %s.";
    case TStatus::Connecting:
      return "Connecting to %s.";
    case TStatus::Connected:
      return "Connected.";
    case TStatus::Disconnecting:
      return "Disconnecting from %s.";
    case TStatus::Disconnected:
      return "Not connected.";
    case TStatus::Text:
      break;
  }
  return "%s";
}

}  // namespace

TTcpConnection::TTcpConnection() : recvBuffer_(static_cast<size_t>(kDefaultRecvBufferSize)) {}

TTcpConnection::~TTcpConnection() {
  // Handlers belong to an owner that may already be gone.
  OnStatus = nullptr;
  OnDisconnected = nullptr;
  CloseConnection();
}

int64_t TTcpConnection::NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void TTcpConnection::SetRecvBufferSize(int size) {
  recvBufferSize_ = std::max(1, size);
  recvBuffer_.assign(static_cast<size_t>(recvBufferSize_), '\0');
}

void TTcpConnection::SetReadTimeOut(int ms) {
  readTimeOut_ = ms;
  if (SocketOpen()) Stack().SetSendTimeOut(binding_.Handle, readTimeOut_);
}

void TTcpConnection::DoStatus(TStatus status, const std::string& argument) {
  if (OnStatus) OnStatus(status, base::Format(StatusFormat(status), argument.c_str()));
}

void TTcpConnection::ResetConnection() {
  binding_.Reset();
  pending_.Clear();
  peerClosed_ = false;
}

void TTcpConnection::ConnectionEstablished() {
  Stack().SetSendTimeOut(binding_.Handle, readTimeOut_);
  DoStatus(TStatus::Connected);
  if (OnConnected) OnConnected();
}

void TTcpConnection::AttachSocket(int fd) {
  if (SocketOpen()) throw ENetAlreadyConnected();
  ResetConnection();
  binding_.Handle = fd;
  ConnectionEstablished();
}

bool TTcpConnection::IsConnected() {
  CheckPeerClosed(false, false);
  return SocketOpen();
}

void TTcpConnection::CloseConnection() {
  if (!SocketOpen()) return;
  DoStatus(TStatus::Disconnecting, binding_.PeerIP);
  Stack().Close(binding_.Handle);
  binding_.Reset();
  peerClosed_ = true;
  DoStatus(TStatus::Disconnected);
  if (OnDisconnected) OnDisconnected();
}

void TTcpConnection::TimedOut() {
  // The rest of a timed-out response may still arrive; on this connection it
  // would be taken for the next response, so the connection goes.
  CloseConnection();
  throw ENetSocketError(kWsaETimedOut);
}

void TTcpConnection::CheckPeerClosed(bool raise, bool ignorePending) {
  if (!peerClosed_ && SocketOpen()) return;
  CloseConnection();
  if (raise && (pending_.Empty() || ignorePending)) throw ENetConnClosedGracefully();
}

bool TTcpConnection::HasUnreadBytes() const {
  if (!pending_.Empty()) return true;
  return SocketOpen() && Stack().PollReadable(binding_.Handle, 0);
}

int TTcpConnection::ReadBoundMs() const {
  int64_t bound = -1;
  if (readTimeOut_ > 0) bound = readTimeOut_;
  if (deadline_ > 0) {
    const int64_t left = std::max<int64_t>(0, deadline_ - NowMs());
    bound = bound < 0 ? left : std::min(bound, left);
  }
  return bound < 0 ? kInfinite : static_cast<int>(bound);
}

bool TTcpConnection::SelectOnce(int limitMs) {
  // A slice is cut where the window's events fall due (a server sending a
  // byte now and then keeps every slice from ending idle): they are processed
  // there and the slice goes on for the rest of its length. A cut within a
  // few milliseconds of the slice's own end is left to that end, so an idle
  // slice is still followed by exactly one turn.
  constexpr int kCutSlackMs = 10;
  const int64_t end = limitMs < 0 ? -1 : NowMs() + limitMs;
  for (;;) {
    if (!SocketOpen()) throw ENetConnClosedGracefully();
    int wait = end < 0 ? -1 : static_cast<int>(std::max<int64_t>(0, end - NowMs()));
    const int due = TResponsiveWaitBase::MsUntilDue();
    const bool cut = due >= 0 && (wait < 0 || due + kCutSlackMs < wait);
    if (cut) wait = due;
    const bool readable = Stack().PollReadable(binding_.Handle, wait);
    if (readable || !cut) {
      TResponsiveWaitBase::OfferIdle(!readable, false);
      return readable;
    }
    TResponsiveWaitBase::OfferIdle(false, false);  // due: processes the events
  }
}

bool TTcpConnection::WaitReadable(int timeLimitMs) {
  if (!SocketOpen()) throw ENetConnClosedGracefully();
  const TResponsiveWaitBase* wait = TResponsiveWaitBase::Registered();
  if (wait != nullptr && wait->Active() && wait->IdleTimeOut() > 0) {
    const int slice = wait->IdleTimeOut();
    if (timeLimitMs < 0) {
      while (!WaitReadable(slice)) {
      }
      return true;
    }
    const TWaitSlices slices = SliceWait(timeLimitMs, slice);
    if (SelectOnce(slices.first)) return true;
    for (int i = 0; i < slices.repeats; ++i) {
      if (SelectOnce(slice)) return true;
    }
    return false;
  }
  return SelectOnce(timeLimitMs < 0 ? -1 : timeLimitMs);
}

int TTcpConnection::ReceiveOnce(bool raise, int timeLimitMs, char* block, size_t blockSize) {
  CheckPeerClosed(raise, false);
  if (!SocketOpen()) return 0;

  // A wait that the protocol leaves without end (or longer than the bounds)
  // is held to the read time-out and the transfer deadline; past the
  // deadline nothing more is read, however fast the server sends.
  if (deadline_ > 0 && NowMs() >= deadline_) TimedOut();
  const int bound = ReadBoundMs();
  const bool bounded = bound != kInfinite && (timeLimitMs < 0 || bound < timeLimitMs);
  if (!WaitReadable(bounded ? bound : timeLimitMs)) {
    if (bounded) TimedOut();
    return 0;
  }

  char* target = block;
  size_t size = blockSize;
  if (target == nullptr) {
    target = recvBuffer_.data();
    size = recvBuffer_.size();
  }
  int error = 0;
  long received = Stack().Recv(binding_.Handle, target, size, error);
  if (received < 0) {
    if (error != kWsaEShutdown) throw ENetSocketError(error);
    received = 0;
    CloseConnection();
    if (pending_.Empty()) throw ENetSocketError(kWsaEShutdown);
  }
  peerClosed_ = peerClosed_ || received == 0;
  bytesReceived_ += static_cast<uint64_t>(received);
  if (block == nullptr && received > 0) pending_.Append(target, static_cast<size_t>(received));
  CheckPeerClosed(raise, false);
  return static_cast<int>(received);
}

std::string TTcpConnection::ReadLine(int timeLimitMs) {
  readLnTimedOut_ = false;
  size_t searchFrom = 0;
  size_t lf;
  while ((lf = pending_.Find('\n', std::min(searchFrom, pending_.Size()))) == std::string::npos) {
    // Room for a line of the maximum length and its CR.
    if (pending_.Size() > maxLineLength_ + 1) {
      CloseConnection();
      throw ENetBadResponse::LineTooLong(maxLineLength_);
    }
    searchFrom = pending_.Size();
    CheckPeerClosed(true, true);
    if (ReceiveOnce(true, timeLimitMs) == 0) {
      // The server closed in the middle of a line: the line never completes.
      if (!SocketOpen()) throw ENetConnClosedGracefully();
      readLnTimedOut_ = true;
      return {};
    }
  }
  const std::string_view view = pending_.View();
  size_t length = lf;
  if (length > 0 && view[length - 1] == '\r') --length;
  if (length > maxLineLength_) {
    CloseConnection();
    throw ENetBadResponse::LineTooLong(maxLineLength_);
  }
  std::string line(view.substr(0, length));
  pending_.Consume(lf + 1);
  return line;
}

void TTcpConnection::Write(std::string_view bytes) {
  CheckPeerClosed(true, true);
  size_t sent = 0;
  while (sent < bytes.size()) {
    if (!SocketOpen()) throw ENetConnClosedGracefully();
    int error = 0;
    const long n = Stack().Send(binding_.Handle, bytes.data() + sent, bytes.size() - sent, error);
    if (n < 0) {
      if (error == kWsaEShutdown || error == kWsaETimedOut) CloseConnection();
      throw ENetSocketError(error);
    }
    TResponsiveWaitBase::OfferIdle(false, false);
    if (n == 0) peerClosed_ = true;
    CheckPeerClosed(true, false);
    sent += static_cast<size_t>(n);
  }
}

void TTcpConnection::HoldWrites(bool hold) {
  if (SocketOpen()) Stack().SetCork(binding_.Handle, hold);
}

void TTcpConnection::WriteLine(std::string_view text) {
  std::string line;
  line.reserve(text.size() + 2);
  line.append(text).append("\r\n");
  Write(line);
}

void TTcpConnection::ReadToStream(base::TStream& stream, int64_t count, int64_t limit) {
  const bool untilClose = count < 0;
  if (!untilClose) stream.SetSize(stream.Position() + count);

  int64_t remaining = count;
  int64_t total = 0;
  const auto accept = [&](const char* data, size_t n) {
    total += static_cast<int64_t>(n);
    if (untilClose && limit >= 0 && total > limit) {
      CloseConnection();
      throw ENetBadResponse::BodyTooLarge(limit);
    }
    stream.Write(data, n);
    if (!untilClose) remaining -= static_cast<int64_t>(n);
  };

  if (!pending_.Empty()) {
    const size_t take = untilClose ? pending_.Size()
                                   : static_cast<size_t>(std::min<int64_t>(
                                         remaining, static_cast<int64_t>(pending_.Size())));
    if (take > 0) {
      accept(pending_.View().data(), take);
      pending_.Consume(take);
    }
  }

  while (SocketOpen() && (untilClose || remaining > 0)) {
    const size_t blockSize = untilClose ? recvBuffer_.size()
                                        : static_cast<size_t>(std::min<int64_t>(
                                              remaining, static_cast<int64_t>(recvBuffer_.size())));
    const int n = ReceiveOnce(!untilClose, kInfinite, recvBuffer_.data(), blockSize);
    if (n > 0) accept(recvBuffer_.data(), static_cast<size_t>(n));
  }
  // A counted read that ended short is never a complete body.
  if (!untilClose && remaining > 0) throw ENetConnClosedGracefully();
  if (stream.Size() > stream.Position()) stream.SetSize(stream.Position());
}

}  // namespace lugatim::http

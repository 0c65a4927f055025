#pragma once
// The failures of the connection layer and the HTTP client: one family under
// ENetException, so a handler that catches the family (or the common base)
// catches every network failure. Fixed messages are the program's own texts.

#include <string>

#include "base/Exception.h"

namespace lugatim::http {

class ENetException : public base::Exception {
 public:
  using Exception::Exception;
};

// A reply that is not a plain success: a non-2xx status or a redirect.
class ENetProtocolReplyError : public ENetException {
 public:
  ENetProtocolReplyError(int replyCode, std::string message)
      : ENetException(std::move(message)), replyCode_(replyCode) {}
  int ReplyCode() const { return replyCode_; }

 private:
  int replyCode_;
};

// A failed socket call: "Socket Error # <number>\r\n<text>", where the text is
// the one the error table gives for the number, or nothing for other numbers.
class ENetSocketError : public ENetException {
 public:
  explicit ENetSocketError(int errorNumber);
  int ErrorNumber() const { return errorNumber_; }

 private:
  int errorNumber_;
};

class ENetSilentException : public ENetException {
 public:
  using ENetException::ENetException;
};

class ENetConnClosedGracefully : public ENetSilentException {
 public:
  ENetConnClosedGracefully() : ENetSilentException("Connection Closed Gracefully.") {}
};

class ENetAlreadyConnected : public ENetException {
 public:
  ENetAlreadyConnected() : ENetException("Already connected.") {}
};

class ENetInvalidSocket : public ENetException {
 public:
  ENetInvalidSocket() : ENetException("Cannot allocate socket.") {}
};

class ENetStackCanNotLoadWinsock : public ENetException {
 public:
  explicit ENetStackCanNotLoadWinsock(const std::string& library)
      : ENetException(base::Format("%s could not be loaded.", library.c_str())) {}
};

class ENetFailedToRetrieveTimeZoneInfo : public ENetException {
 public:
  ENetFailedToRetrieveTimeZoneInfo()
      : ENetException("Failed attempting to retrieve time zone information.") {}
};

class ENetSocketHandleError : public ENetException {
 public:
  using ENetException::ENetException;
};

class ENetCouldNotBindSocket : public ENetSocketHandleError {
 public:
  ENetCouldNotBindSocket()
      : ENetSocketHandleError("Could not bind socket. Address and port are already in use.") {}
};

class ENetStackError : public ENetException {
 public:
  using ENetException::ENetException;
};

class ENetStackInitializationFailed : public ENetStackError {
 public:
  ENetStackInitializationFailed() : ENetStackError("Winsock Initialization Error.") {}
};

class ENetStackSetSizeExceeded : public ENetStackError {
 public:
  ENetStackSetSizeExceeded() : ENetStackError("Set Size Exceeded.") {}
};

class ENetTCPConnectionError : public ENetException {
 public:
  using ENetException::ENetException;
};

class ENetObjectTypeNotSupported : public ENetTCPConnectionError {
 public:
  using ENetTCPConnectionError::ENetTCPConnectionError;
};

class ENetNotEnoughDataInBuffer : public ENetTCPConnectionError {
 public:
  using ENetTCPConnectionError::ENetTCPConnectionError;
};

class ENetInterceptPropIsNil : public ENetTCPConnectionError {
 public:
  using ENetTCPConnectionError::ENetTCPConnectionError;
};

// An https URL with no TLS layer attached to the connection.
class ENetInterceptPropInvalid : public ENetTCPConnectionError {
 public:
  ENetInterceptPropInvalid() : ENetTCPConnectionError("Intercept value is not valid") {}
};

class ENetNoDataToRead : public ENetTCPConnectionError {
 public:
  using ENetTCPConnectionError::ENetTCPConnectionError;
};

class ENetMoreThanOneResponsiveWait : public ENetException {
 public:
  ENetMoreThanOneResponsiveWait()
      : ENetException("Only one TResponsiveWait can exist per application.") {}
};

// A response that breaks the bounds the client keeps against a faulty or
// hostile server: an overlong line or head, a size that is not a size, a body
// over the cap. The client raises it before it reserves any announced amount
// and closes the connection first, so no stale bytes can be taken for the
// next response.
class ENetBadResponse : public ENetException {
 public:
  using ENetException::ENetException;
  static ENetBadResponse LineTooLong(size_t maximum);
  static ENetBadResponse HeaderTooLarge(size_t maximum);
  static ENetBadResponse BadChunkSize(const std::string& line);
  static ENetBadResponse ChunkNotTerminated();
  static ENetBadResponse BadContentLength(const std::string& value);
  static ENetBadResponse BodyTooLarge(long long maximum);
};

// The text of a Winsock error number, or an empty text for a number the
// table does not hold.
const char* SocketErrorText(int errorNumber);

// The Winsock number that stands for a POSIX errno value. Values without a
// Winsock counterpart keep their own number (and so get an empty text).
int WinsockErrorOfErrno(int err);

// Winsock numbers the client raises on its own.
constexpr int kWsaEShutdown = 10058;
constexpr int kWsaETimedOut = 10060;
constexpr int kWsaEConnRefused = 10061;
constexpr int kWsaEAddrInUse = 10048;
constexpr int kWsaEAddrNotAvail = 10049;
constexpr int kWsaHostNotFound = 11001;

}  // namespace lugatim::http

#pragma once
// The HTTP client: GET (and HEAD/POST) requests over the inherited TCP
// connection, one response at a time, keeping the connection between
// requests to the same host and port as HTTP/1.1 allows.
//
// Against a faulty or hostile server the client holds itself to bounds: a
// response line of at most MaxLineLength (100 KiB), a head of at most
// MaxHeaderSize (300 KiB), chunk sizes that are plain hexadecimal numbers, a
// non-negative Content-Length, a body of at most MaxBodySize (32 MiB), the
// read time-out for each wait and TransferTimeOut for a whole request.

#include <cstdint>
#include <functional>
#include <string>

#include "base/Stream.h"
#include "http/HeaderList.h"
#include "http/NetExceptions.h"
#include "http/TcpClient.h"
#include "http/Url.h"

namespace lugatim::http {

enum class TProtocolVersion { pv1_0, pv1_1 };
enum class THttpMethod { Get, Head, Post };

class THttpClient;
// dest may be changed; Handled decides whether the redirect is taken.
using TRedirectEvent =
    std::function<void(THttpClient& sender, std::string& dest, int numRedirect, bool& handled)>;

class THttpClient : public TTcpClient {
 public:
  static constexpr int64_t kDefaultMaxBodySize = 32LL * 1024 * 1024;
  static constexpr size_t kDefaultMaxHeaderSize = 300 * 1024;
  static constexpr int kDefaultTransferTimeOut = 60000;

  // GET of the URL; the body is written from the stream's position, and on
  // return the stream ends after the last body byte. Returns only for a 2xx
  // response; what was written before a failure stays in the stream.
  void FetchToStream(const std::string& url, base::TStream& stream);
  // The body of a GET of the URL, byte for byte.
  std::string FetchText(const std::string& url);

  // One request and its response; the body goes to response when one is given.
  void PerformRequest(THttpMethod method, const std::string& url, base::TStream* source,
                      base::TStream* response);

  THeaderList& HeaderLines() { return headerLines_; }
  TProtocolVersion ProtocolVersion() const { return protocolVersion_; }
  void SetProtocolVersion(TProtocolVersion version) { protocolVersion_ = version; }
  int RedirectDepth() const { return redirectDepth_; }
  int RedirectMaximum() const { return redirectMaximum_; }
  void SetRedirectMaximum(int maximum) { redirectMaximum_ = maximum; }
  bool HandleRedirects() const { return handleRedirects_; }
  void SetHandleRedirects(bool value) { handleRedirects_ = value; }
  THeaderInfo& Request() { return request_; }
  const THeaderInfo& Reply() const { return reply_; }
  int StatusCode() const { return statusCode_; }
  const std::string& StatusText() const { return statusText_; }
  // The host of the "Host: " line of the last request.
  const std::string& HeaderHost() const { return headerHost_; }
  // Whether the last request went out on a connection kept alive from an
  // earlier one (false when it opened its own, or failed before sending).
  bool LastRequestReusedConnection() const { return reusedConnection_; }

  // Largest body accepted, in bytes.
  int64_t MaxBodySize() const { return maxBodySize_; }
  void SetMaxBodySize(int64_t size);
  // Largest response head (status line and header lines), in bytes.
  size_t MaxHeaderSize() const { return maxHeaderSize_; }
  void SetMaxHeaderSize(size_t size) { maxHeaderSize_ = size; }
  // Longest time from the start of a request to the end of its response, in
  // milliseconds (connecting not included); 0 or less: no limit.
  int TransferTimeOut() const { return transferTimeOut_; }
  void SetTransferTimeOut(int ms) { transferTimeOut_ = ms; }

  // How long the check after a kept-alive response waits for bytes or a
  // close from the server, in milliseconds; 1 by default. Each such
  // response costs up to this much time when the server stays quiet.
  int LookAheadTimeOut() const { return lookAheadTimeOut_; }
  void SetLookAheadTimeOut(int ms) { lookAheadTimeOut_ = ms; }

  TRedirectEvent OnRedirect;

 private:
  // Sets Host, Port and the header host from the URL; returns the target.
  std::string ChooseEndpoint(const TUrlParts& parts);
  void SendRequest(THttpMethod method, const std::string& target, base::TStream* source);
  // Reads one response head; headBytes counts the head bytes of the
  // request's responses so far.
  void ReadResponseHead(size_t& headBytes);
  void FillReply();
  void ReadBody(base::TStream& stream);
  void ReadChunked(base::TStream& stream);
  // The connection after a complete response: closed for a 1.0 response or
  // "Connection: close", otherwise kept with a 1 ms look-ahead that notices
  // a close by the server; closed when bytes beyond the response arrived.
  void FinishConnection();
  // Closes the connection and raises the error.
  [[noreturn]] void Fail(const ENetBadResponse& error);

  THeaderList headerLines_;
  TProtocolVersion protocolVersion_ = TProtocolVersion::pv1_1;
  int redirectDepth_ = 0;
  int redirectMaximum_ = 15;
  bool handleRedirects_ = false;
  THeaderInfo request_;
  THeaderInfo reply_;
  int statusCode_ = 0;
  std::string statusText_;
  std::string headerHost_;
  std::string headerProtocol_;
  bool reusedConnection_ = false;
  bool response10_ = false;
  bool contentLengthIsZero_ = false;
  std::string contentLengthText_;
  int64_t maxBodySize_ = kDefaultMaxBodySize;
  size_t maxHeaderSize_ = kDefaultMaxHeaderSize;
  int transferTimeOut_ = kDefaultTransferTimeOut;
  int lookAheadTimeOut_ = 1;
};

}  // namespace lugatim::http

#include "http/HttpClient.h"

#include <algorithm>
#include <limits>

#include "base/IntText.h"
#include "http/NetExceptions.h"
#include "http/TextUtil.h"

namespace lugatim::http {

namespace {

const char* MethodText(THttpMethod method) {
  switch (method) {
    case THttpMethod::Head:
      return "HEAD";
    case THttpMethod::Post:
      return "POST";
    case THttpMethod::Get:
      break;
  }
  return "GET";
}

// Content-Length, read leniently: text that is not a decimal number gives 0
// (isNumber false). A number beyond the 64-bit range counts as the largest
// value, so that the body cap refuses it rather than the number being lost.
int64_t ReadContentLength(std::string_view text, bool& isNumber) {
  text = Trim(text);
  isNumber = false;
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return 0;
  int64_t value = 0;
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    const int digit = c - '0';
    value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
  }
  isNumber = true;
  return negative ? -value : value;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Runs a callable when the scope ends, however it ends.
template <typename F>
class ScopeExit {
 public:
  explicit ScopeExit(F f) : f_(std::move(f)) {}
  ~ScopeExit() { f_(); }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  F f_;
};

}  // namespace

void THttpClient::SetMaxBodySize(int64_t size) {
  // Far beyond any stream, and small enough that positions never overflow.
  constexpr int64_t kLargest = int64_t{1} << 62;
  maxBodySize_ = std::clamp<int64_t>(size, 0, kLargest);
}

void THttpClient::FetchToStream(const std::string& url, base::TStream& stream) {
  // Each fetch starts its own redirect count, so that earlier failed
  // requests cannot use up the redirect maximum.
  redirectDepth_ = 0;
  PerformRequest(THttpMethod::Get, url, nullptr, &stream);
  if (stream.Size() > stream.Position()) stream.SetSize(stream.Position());
}

std::string THttpClient::FetchText(const std::string& url) {
  base::TMemoryStream stream;
  FetchToStream(url, stream);
  return stream.Bytes();
}

std::string THttpClient::ChooseEndpoint(const TUrlParts& parts) {
  std::string target = parts.Target();
  if (!request_.ProxyServer.empty()) {
    if (SocketOpen() &&
        (!EqualsNoCase(request_.ProxyServer, Host()) || request_.ProxyPort != Port())) {
      CloseConnection();
    }
    SetHost(request_.ProxyServer);
    SetPort(request_.ProxyPort);
    if (!parts.Host.empty()) headerHost_ = parts.Host;
    if (!parts.Protocol.empty()) headerProtocol_ = parts.Protocol;
    return (parts.Protocol.empty() ? headerProtocol_ : parts.Protocol) + "://" +
           (parts.Host.empty() ? headerHost_ : parts.Host) + target;
  }
  if (EqualsNoCase(parts.Protocol, "HTTPS")) throw ENetInterceptPropInvalid();

  const int port = parts.PortNumber().value_or(80);
  if (!parts.Host.empty()) {
    if (SocketOpen() && (!EqualsNoCase(parts.Host, Host()) || port != Port())) CloseConnection();
    SetHost(parts.Host);
    headerHost_ = parts.Host;
    if (!parts.Protocol.empty()) headerProtocol_ = parts.Protocol;
  } else {
    headerHost_ = Host();
  }
  SetPort(port);
  return target;
}

void THttpClient::PerformRequest(THttpMethod method, const std::string& url, base::TStream* source,
                                 base::TStream* response) {
  ++redirectDepth_;
  reusedConnection_ = false;
  const std::string target = EncodeRequestTarget(ChooseEndpoint(SplitUrl(url)));
  CheckPeerClosed(false, false);
  // Bytes that arrived since the last response answer no request of ours:
  // read with the next response they would pass for part of it. A close by
  // the server is noticed here too, before the request goes out.
  if (SocketOpen() && HasUnreadBytes()) CloseConnection();
  const bool kept = SocketOpen();
  if (!kept) OpenConnection();
  reusedConnection_ = kept;

  const int64_t outerDeadline = Deadline();
  SetDeadline(transferTimeOut_ > 0 ? NowMs() + transferTimeOut_ : 0);
  ScopeExit restore([this, outerDeadline] { SetDeadline(outerDeadline); });

  SendRequest(method, target, source);
  try {
    // Interim replies (1xx) may come before the reply to the request: each
    // is read and passed over, and all heads together are held to the head
    // bound, so that a server cannot keep the client reading them. A switch
    // of protocols (101) leaves no HTTP reply to read on the connection.
    size_t headBytes = 0;
    ReadResponseHead(headBytes);
    while (statusCode_ / 100 == 1) {
      if (statusCode_ == 101) {
        CloseConnection();
        throw ENetProtocolReplyError(statusCode_, statusText_);
      }
      ReadResponseHead(headBytes);
    }
    FillReply();
  } catch (const base::EConvertError&) {
    // The rest of a response that cannot be read must not pass for the next one.
    CloseConnection();
    throw;
  }

  const bool redirect = (statusCode_ / 100 == 3 && statusCode_ != 304) || !reply_.Location.empty();
  if (response != nullptr) ReadBody(*response);
  if (!redirect) {
    FinishConnection();
    if (statusCode_ / 100 == 2) {
      redirectDepth_ = 0;
      return;
    }
    throw ENetProtocolReplyError(statusCode_, statusText_);
  }

  std::string dest = reply_.Location;
  if (handleRedirects_ && redirectDepth_ < redirectMaximum_) {
    if (response != nullptr) response->SetPosition(0);
    bool handled = handleRedirects_;
    if (OnRedirect) OnRedirect(*this, dest, redirectDepth_, handled);
    FinishConnection();
    if (handled) {
      PerformRequest(method, dest, source, response);
    } else {
      redirectDepth_ = 0;
    }
    return;
  }
  // Redirects are not followed (or the maximum is reached): a handler may
  // still accept the reply as it is; without one the redirect is a failure.
  bool handled = false;
  if (OnRedirect) OnRedirect(*this, dest, redirectDepth_, handled);
  FinishConnection();
  if (!handled) throw ENetProtocolReplyError(statusCode_, statusText_);
  reply_.Location = dest;
  redirectDepth_ = 0;
}

void THttpClient::SendRequest(THttpMethod method, const std::string& target,
                              base::TStream* source) {
  headerLines_.Clear();
  if (method != THttpMethod::Post) {
    request_.ContentLength = 0;
  } else if (source != nullptr) {
    request_.ContentLength = source->Size() - source->Position();
  }
  const auto add = [this](const char* name, const std::string& value) {
    if (!value.empty()) headerLines_.Add(name + value);
  };
  add("Accept: ", request_.Accept);
  add("Accept-Charset: ", request_.AcceptCharSet);
  add("Accept-Encoding: ", request_.AcceptEncoding);
  add("Accept-Language: ", request_.AcceptLanguage);
  add("From: ", request_.From);
  add("Referer: ", request_.Referer);
  add("User-Agent: ", request_.UserAgent);
  add("Connection: ", request_.Connection);
  add("Content-Version: ", request_.ContentVersion);
  add("Content-Encoding: ", request_.ContentEncoding);
  add("Content-Language: ", request_.ContentLanguage);
  add("Content-Type: ", request_.ContentType);
  if (request_.ContentLength != 0) {
    headerLines_.Add("Content-Length: " + std::to_string(request_.ContentLength));
  }
  if (request_.ContentRangeStart != 0 || request_.ContentRangeEnd != 0) {
    std::string range = "Range: bytes=" + std::to_string(request_.ContentRangeStart) + "-";
    if (request_.ContentRangeEnd != 0) range += std::to_string(request_.ContentRangeEnd);
    headerLines_.Add(range);
  }
  if (!request_.Username.empty()) {
    add("Authorization: Basic ", Base64Encode(request_.Username + ":" + request_.Password));
  }
  if (!request_.ProxyServer.empty() && !request_.ProxyUsername.empty()) {
    add("Proxy-Authorization: Basic ",
        Base64Encode(request_.ProxyUsername + ":" + request_.ProxyPassword));
  }
  for (const std::string& line : request_.ExtraHeaders.Lines()) headerLines_.Add(line);

  // Each line is a send of its own; they leave the host together.
  HoldWrites(true);
  ScopeExit release([this] { HoldWrites(false); });
  WriteLine(std::string(MethodText(method)) + " " + target + " HTTP/" +
            (protocolVersion_ == TProtocolVersion::pv1_0 ? "1.0" : "1.1"));
  WriteLine("Host: " + headerHost_);
  for (const std::string& line : headerLines_.Lines()) WriteLine(line);
  WriteLine("");

  if (method == THttpMethod::Post && source != nullptr) {
    std::string block(static_cast<size_t>(std::max(1, SendBufferSize())), '\0');
    size_t n;
    while ((n = source->Read(block.data(), block.size())) > 0) {
      Write(std::string_view(block.data(), n));
    }
  }
}

void THttpClient::Fail(const ENetBadResponse& error) {
  CloseConnection();
  throw error;
}

void THttpClient::ReadResponseHead(size_t& headBytes) {
  const auto readHeadLine = [&] {
    std::string line = ReadLine();
    headBytes += line.size() + 2;
    if (headBytes > maxHeaderSize_) Fail(ENetBadResponse::HeaderTooLarge(maxHeaderSize_));
    return line;
  };

  const std::string statusLine = readHeadLine();
  response10_ = statusLine.size() >= 8 && EqualsNoCase(statusLine.substr(5, 3), "1.0");
  const size_t space = statusLine.find(' ');
  statusText_ = space == std::string::npos ? std::string() : statusLine.substr(space + 1);
  statusCode_ = base::StrToInt(statusText_.substr(0, statusText_.find(' ')));

  headerLines_.Clear();
  for (;;) {
    std::string line = readHeadLine();
    if (line.empty()) break;
    headerLines_.Add(std::move(line));
  }
}

void THttpClient::FillReply() {
  reply_.ExtraHeaders.Clear();
  const auto take = [this](std::string_view name) {
    std::string value = headerLines_.Values(name);
    headerLines_.Remove(name);
    return value;
  };
  reply_.Location = take("Location");
  reply_.Server = take("Server");
  reply_.Connection = take("Connection");
  reply_.ContentVersion = take("Content-Version");
  reply_.WWWAuthenticate = take("WWWAuthenticate");
  reply_.ContentEncoding = take("Content-Encoding");
  reply_.ContentLanguage = take("Content-Language");
  reply_.ContentType = take("Content-Type");

  const bool hasLength = headerLines_.Has("Content-Length");
  contentLengthText_ = take("Content-Length");
  bool isNumber = false;
  reply_.ContentLength = ReadContentLength(contentLengthText_, isNumber);
  contentLengthIsZero_ = hasLength && isNumber && reply_.ContentLength == 0;

  std::string range = take("Content-Range");
  if (!range.empty()) {
    const size_t space = range.find(' ');
    range = space == std::string::npos ? std::string() : range.substr(space + 1);
    const size_t dash = range.find('-');
    reply_.ContentRangeStart = static_cast<uint32_t>(base::StrToInt(range.substr(0, dash)));
    range = dash == std::string::npos ? std::string() : range.substr(dash + 1);
    reply_.ContentRangeEnd =
        static_cast<uint32_t>(base::StrToInt(range.substr(0, range.find('/'))));
  }
  reply_.Date = GmtToLocalDateTime(take("Date"));
  reply_.LastModified = GmtToLocalDateTime(take("Last-Modified"));
  reply_.Expires = GmtToLocalDateTime(take("Expires"));
  reply_.ProxyAuthenticate = take("Proxy-Authenticate");
  for (const std::string& line : headerLines_.Lines()) reply_.ExtraHeaders.Add(line);
}

void THttpClient::ReadBody(base::TStream& stream) {
  // These statuses never carry a body, whatever the headers say; reading one
  // would wait for bytes that do not come.
  if (statusCode_ == 204 || statusCode_ == 304) {
    // A server that announces a body here anyway may send it: the connection
    // cannot be trusted to begin the next response where this one ends.
    if (reply_.ContentLength != 0 || !reply_.ExtraHeaders.Values("Transfer-Encoding").empty()) {
      CloseConnection();
    }
    return;
  }
  if (reply_.ContentLength != 0) {
    if (reply_.ContentLength < 0) Fail(ENetBadResponse::BadContentLength(contentLengthText_));
    if (reply_.ContentLength > maxBodySize_) Fail(ENetBadResponse::BodyTooLarge(maxBodySize_));
    ReadToStream(stream, reply_.ContentLength);
  } else if (contentLengthIsZero_) {
    // An announced empty body: nothing to read.
  } else if (reply_.ExtraHeaders.Values("Transfer-Encoding").find("chunked") != std::string::npos) {
    ReadChunked(stream);
  } else {
    ReadToStream(stream, -1, maxBodySize_);
  }
}

void THttpClient::ReadChunked(base::TStream& stream) {
  DoStatus(TStatus::Text, "Chunk Started");
  int64_t total = 0;
  for (;;) {
    const std::string line = ReadLine();
    // A chunk extension after ";" (or after blanks) is ignored.
    const std::string_view digits = std::string_view(line).substr(0, line.find_first_of(" \t;"));
    if (digits.empty()) Fail(ENetBadResponse::BadChunkSize(line));
    int64_t size = 0;
    for (char c : digits) {
      const int digit = HexDigit(c);
      if (digit < 0) Fail(ENetBadResponse::BadChunkSize(line));
      // Beyond the cap the exact value no longer matters: it saturates.
      constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
      size = size > (kMax - digit) / 16 ? kMax : size * 16 + digit;
    }
    if (size == 0) break;
    if (size > maxBodySize_ - total) Fail(ENetBadResponse::BodyTooLarge(maxBodySize_));
    ReadToStream(stream, size);
    total += size;
    if (!ReadLine().empty()) Fail(ENetBadResponse::ChunkNotTerminated());
  }
  // Trailer lines up to the empty line that ends the body, held to the same
  // bound as a head, so that none of them is left to pass for the next
  // response.
  size_t trailerBytes = 0;
  for (;;) {
    const std::string line = ReadLine();
    if (line.empty()) break;
    trailerBytes += line.size() + 2;
    if (trailerBytes > maxHeaderSize_) Fail(ENetBadResponse::HeaderTooLarge(maxHeaderSize_));
  }
}

void THttpClient::FinishConnection() {
  SetDeadline(0);
  if (protocolVersion_ == TProtocolVersion::pv1_0 || response10_) {
    CloseConnection();
  } else if (EqualsNoCase(Trim(reply_.Connection), "CLOSE")) {
    CloseConnection();
  } else if (SocketOpen()) {
    // A close by the server is noticed now. Bytes beyond the response answer
    // no request: the connection is out of step and goes. A failure here
    // comes after a complete response and only ends the connection.
    try {
      ReceiveOnce(false, std::max(0, lookAheadTimeOut_));
      if (!PendingInput().Empty()) CloseConnection();
    } catch (const ENetSocketError&) {
      CloseConnection();
    }
  }
}

}  // namespace lugatim::http

// Requests and responses against a scripted loopback server: the exact
// request bytes, the connection rules, the body forms and the outcomes.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <future>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "base/Stream.h"
#include "http/HttpClient.h"
#include "http/NetExceptions.h"
#include "tests/http/ScriptedServer.h"

using namespace lugatim::http;
using namespace lugatim::http::test;
using lugatim::base::TMemoryStream;

namespace {

// Answers every request on a connection with the same bytes, keeping it open.
TScriptedServer::Script Always(std::string response) {
  return [response](TServerConnection& c) {
    while (!c.ReadRequest().empty()) {
      if (!c.Send(response)) return;
    }
  };
}

// Answers the requests of a connection with the responses in turn, the last
// one for every request after it, keeping the connection open.
TScriptedServer::Script InTurn(std::vector<std::string> responses) {
  return [responses](TServerConnection& c) {
    for (size_t i = 0; !c.ReadRequest().empty(); ++i) {
      if (!c.Send(responses[std::min(i, responses.size() - 1)])) return;
    }
  };
}

// Answers one request and closes.
TScriptedServer::Script OnceThenClose(std::string response) {
  return [response](TServerConnection& c) {
    if (c.ReadRequest().empty()) return;
    c.Send(response);
    c.Close();
  };
}

std::string Expected(const std::string& target, const std::string& host) {
  return "GET " + target + " HTTP/1.1\r\nHost: " + host +
         "\r\nAccept: text/html, */*\r\nUser-Agent: Mozilla/3.0 (compatible; Lugatim)\r\n\r\n";
}

std::string HostLine(const std::string& request) {
  const size_t at = request.find("\r\nHost: ");
  if (at == std::string::npos) return {};
  const size_t begin = at + 8;
  return request.substr(begin, request.find("\r\n", begin) - begin);
}

template <typename E>
E Catch(const std::function<void()>& f) {
  try {
    f();
  } catch (const E& e) {
    return e;
  }
  throw std::runtime_error("expected exception not raised");
}

}  // namespace

TEST(RequestBytes, ExactlyFiveLinesWithoutPortOrBookmark) {
  TScriptedServer server(Always(Ok("v")));
  THttpClient client;
  EXPECT_EQ(client.FetchText(server.Url("/dir/versiyon.ver#part")), "v");
  EXPECT_EQ(client.FetchText("http://127.0.0.1:" + std::to_string(server.Port())), "v");
  const std::vector<std::string> requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0], Expected("/dir/versiyon.ver", "127.0.0.1"));
  EXPECT_EQ(requests[1], Expected("/", "127.0.0.1"));
  EXPECT_EQ(server.Connections(), 1);
  EXPECT_EQ(client.Host(), "127.0.0.1");
  EXPECT_EQ(client.Port(), server.Port());
}

TEST(RequestBytes, ConfiguredHeadersFollowInTheirOrder) {
  TScriptedServer server(Always(Ok("")));
  THttpClient client;
  THeaderInfo& request = client.Request();
  request.AcceptLanguage = "tr";
  request.Referer = "http://ref/";
  request.Connection = "keep-alive";
  request.ContentRangeStart = 10;
  request.Username = "user";
  request.Password = "pass";
  request.ExtraHeaders.Add("X-Extra: 1");
  client.FetchText(server.Url("/a"));
  request.ContentRangeStart = 0;
  request.ContentRangeEnd = 20;
  client.FetchText(server.Url("/b"));
  const std::vector<std::string> requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0],
            "GET /a HTTP/1.1\r\nHost: 127.0.0.1\r\nAccept: text/html, */*\r\n"
            "Accept-Language: tr\r\nReferer: http://ref/\r\n"
            "User-Agent: Mozilla/3.0 (compatible; Lugatim)\r\nConnection: keep-alive\r\n"
            "Range: bytes=10-\r\nAuthorization: Basic dXNlcjpwYXNz\r\nX-Extra: 1\r\n\r\n");
  EXPECT_NE(requests[1].find("Range: bytes=0-20\r\n"), std::string::npos);
}

TEST(RequestBytes, UrlWithoutHostUsesTheClientsHostAndProxyMakesTargetsAbsolute) {
  TScriptedServer server(Always(Ok("x")));
  THttpClient client;
  client.SetHost("127.0.0.1");
  client.SetPort(server.Port());
  client.OpenConnection();
  // No host in the URL: the open connection stays, the Host line names Host.
  EXPECT_EQ(client.FetchText("/plain.txt"), "x");
  EXPECT_EQ(server.Requests().at(0), Expected("/plain.txt", "127.0.0.1"));

  client.CloseConnection();
  client.Request().ProxyServer = "127.0.0.1";
  client.Request().ProxyPort = server.Port();
  EXPECT_EQ(client.FetchText("http://far.example/dir/f.gif"), "x");
  EXPECT_EQ(server.Requests().at(1), Expected("http://far.example/dir/f.gif", "far.example"));
}

TEST(RequestBytes, HeadAndPostUseTheirMethods) {
  TScriptedServer server([](TServerConnection& c) {
    std::string head = c.ReadRequest();
    c.Send(Response("HTTP/1.1 200 OK", {"Content-Length: 1234"}, ""));
    head = c.ReadRequest();
    c.Send(Ok("posted"));
    c.WaitForClientClose();
  });
  THttpClient client;
  client.PerformRequest(THttpMethod::Head, server.Url("/h"), nullptr, nullptr);
  EXPECT_EQ(client.Reply().ContentLength, 1234);
  TMemoryStream source, response;
  source.Write("a=1");
  source.SetPosition(0);
  client.PerformRequest(THttpMethod::Post, server.Url("/p"), &source, &response);
  EXPECT_EQ(response.Bytes(), "posted");
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].substr(0, 17), "HEAD /h HTTP/1.1\r");
  EXPECT_EQ(requests[1].substr(0, 17), "POST /p HTTP/1.1\r");
  EXPECT_NE(requests[1].find("Content-Length: 3\r\n"), std::string::npos);
}

TEST(Endpoint, OpenConnectionIsReusedForSameHostAndPortAndReplacedOtherwise) {
  TScriptedServer first(Always(Ok("one")));
  TScriptedServer second(Always(Ok("two")));
  THttpClient client;
  int connects = 0;
  client.OnConnected = [&] { ++connects; };
  client.SetHost("127.0.0.1");
  client.SetPort(first.Port());
  client.OpenConnection();
  EXPECT_EQ(client.FetchText(first.Url("/a")), "one");
  EXPECT_EQ(client.FetchText(first.Url("/b")), "one");
  EXPECT_EQ(connects, 1);
  EXPECT_EQ(first.Connections(), 1);

  // Another port: the connection is replaced, and Host/Port follow the URL.
  EXPECT_EQ(client.FetchText(second.Url("/c")), "two");
  EXPECT_EQ(connects, 2);
  EXPECT_EQ(client.Port(), second.Port());
  // The same address under another name counts as another host.
  EXPECT_EQ(client.FetchText("http://localhost:" + std::to_string(second.Port()) + "/d"), "two");
  EXPECT_EQ(connects, 3);
  EXPECT_EQ(client.Host(), "localhost");
  EXPECT_EQ(HostLine(second.Requests().back()), "localhost");
  // The host compares without regard to case.
  EXPECT_EQ(client.FetchText("http://LOCALHOST:" + std::to_string(second.Port()) + "/e"), "two");
  EXPECT_EQ(connects, 3);
  // Back to the first host: a new connection again.
  EXPECT_EQ(client.FetchText(first.Url("/f")), "one");
  EXPECT_EQ(connects, 4);
  EXPECT_EQ(first.Connections(), 2);
}

TEST(Endpoint, HostAndPortStayWithTheLastUrlForALaterOpenConnection) {
  TScriptedServer first(Always(Ok("one")));
  TScriptedServer second(Always(Ok("two")));
  THttpClient client;
  EXPECT_EQ(client.FetchText(first.Url("/a")), "one");
  EXPECT_EQ(client.FetchText(second.Url("/b")), "two");
  client.CloseConnection();
  client.OpenConnection();  // connects where the last URL pointed
  ASSERT_TRUE(second.WaitForConnections(2));
  EXPECT_EQ(first.Connections(), 1);
  // A URL on the first host closes that connection and connects anew.
  EXPECT_EQ(client.FetchText(first.Url("/c")), "one");
  EXPECT_EQ(first.Connections(), 2);
}

TEST(Endpoint, HttpsIsRefusedWithoutConnectingOrSending) {
  TScriptedServer server(Always(Ok("x")));
  THttpClient client;
  const auto e = Catch<ENetInterceptPropInvalid>(
      [&] { client.FetchText("HTTPS://127.0.0.1:" + std::to_string(server.Port()) + "/"); });
  EXPECT_EQ(e.Message(), "Intercept value is not valid");
  EXPECT_FALSE(client.IsConnected());
  // An open connection stays as it was.
  EXPECT_EQ(client.FetchText(server.Url("/x")), "x");
  EXPECT_THROW(client.FetchText("https://127.0.0.1:" + std::to_string(server.Port()) + "/"),
               ENetInterceptPropInvalid);
  EXPECT_TRUE(client.IsConnected());
  EXPECT_EQ(server.Requests().size(), 1u);
}

TEST(KeepAlive, Http11StaysOpenUntilTheServerCloseIsNoticedByARead) {
  std::promise<void> closeNow;
  std::shared_future<void> closeSignal = closeNow.get_future().share();
  TScriptedServer server([closeSignal](TServerConnection& c) {
    c.ReadRequest();
    c.Send(Ok("body"));
    closeSignal.wait();
    c.Close();
  });
  THttpClient client;
  EXPECT_EQ(client.FetchText(server.Url("/a")), "body");
  EXPECT_TRUE(client.IsConnected());
  closeNow.set_value();
  // The close has arrived once the socket turns readable; IsConnected
  // receives nothing, so only the read notices it.
  ASSERT_TRUE(client.WaitReadable(5000));
  EXPECT_TRUE(client.IsConnected());
  EXPECT_THROW(client.ReadLine(), ENetConnClosedGracefully);
  EXPECT_FALSE(client.IsConnected());
}

TEST(KeepAlive, BytesBeyondTheResponseEndTheConnection) {
  // Two responses to one request: the second answers nothing the client
  // asked, so it never passes for the reply to the next request.
  TScriptedServer server([](TServerConnection& c) {
    if (c.Index() == 0) {
      c.ReadRequest();
      c.Send(Ok("first") + Ok("stray"));
      c.WaitForClientClose();
      return;
    }
    while (!c.ReadRequest().empty()) c.Send(Ok("second"));
  });
  THttpClient client;
  EXPECT_EQ(client.FetchText(server.Url("/1")), "first");
  EXPECT_EQ(client.FetchText(server.Url("/2")), "second");
  EXPECT_EQ(server.Connections(), 2);
}

TEST(KeepAlive, Http10ResponseClosesAfterTheBody) {
  TScriptedServer server(Always(Response("HTTP/1.0 200 OK", {"Content-Length: 3"}, "abc")));
  THttpClient client;
  EXPECT_EQ(client.FetchText(server.Url("/a")), "abc");
  EXPECT_FALSE(client.IsConnected());
  EXPECT_EQ(client.FetchText(server.Url("/b")), "abc");
  EXPECT_EQ(server.Connections(), 2);
}

TEST(KeepAlive, ConnectionCloseInAnyCaseCloses) {
  for (const char* value : {"close", "CLOSE", "  Close  "}) {
    TScriptedServer server(Always(Response(
        "HTTP/1.1 200 OK", {"Content-Length: 1", std::string("Connection:") + value}, "z")));
    THttpClient client;
    EXPECT_EQ(client.FetchText(server.Url("/")), "z") << value;
    EXPECT_FALSE(client.IsConnected()) << value;
  }
  TScriptedServer server(
      Always(Response("HTTP/1.1 200 OK", {"Content-Length: 1", "Connection: keep-alive"}, "k")));
  THttpClient client;
  EXPECT_EQ(client.FetchText(server.Url("/")), "k");
  EXPECT_TRUE(client.IsConnected());
}

TEST(KeepAlive, ProtocolVersion10ClosesEveryConnection) {
  TScriptedServer server(Always(Ok("q")));
  THttpClient client;
  client.SetProtocolVersion(TProtocolVersion::pv1_0);
  EXPECT_EQ(client.FetchText(server.Url("/")), "q");
  EXPECT_FALSE(client.IsConnected());
  EXPECT_EQ(server.Requests().at(0).substr(0, 16), "GET / HTTP/1.0\r\n");
}

TEST(Outcome, NotFoundRaisesWithTheStatusTextAndKeepsTheConnection) {
  TScriptedServer server(Always(Response(
      "HTTP/1.1 404 Not Found", {"Content-Length: 9", "Content-Type: text/html"}, "not here!")));
  THttpClient client;
  TMemoryStream stream;
  const auto e =
      Catch<ENetProtocolReplyError>([&] { client.FetchToStream(server.Url("/x"), stream); });
  EXPECT_EQ(e.ReplyCode(), 404);
  EXPECT_EQ(e.Message(), "404 Not Found");
  EXPECT_EQ(client.StatusCode(), 404);
  EXPECT_EQ(client.StatusText(), "404 Not Found");
  EXPECT_EQ(client.Reply().ContentType, "text/html");
  EXPECT_EQ(stream.Bytes(), "not here!");  // the body was consumed into the stream
  EXPECT_TRUE(client.IsConnected());
  EXPECT_THROW(client.FetchText(server.Url("/y")), ENetProtocolReplyError);
  EXPECT_EQ(server.Connections(), 1);
}

TEST(Outcome, ErrorFromA10ServerClosesSoTheNextFetchConnectsAnew) {
  TScriptedServer server(
      OnceThenClose(Response("HTTP/1.0 404 Not Found", {"Content-Length: 2"}, "no")));
  THttpClient client;
  EXPECT_THROW(client.FetchText(server.Url("/a")), ENetProtocolReplyError);
  EXPECT_FALSE(client.IsConnected());
  EXPECT_THROW(client.FetchText(server.Url("/b")), ENetProtocolReplyError);
  EXPECT_EQ(server.Connections(), 2);
}

TEST(Outcome, RedirectsAndLocationsFailAfterTheirBody) {
  struct Case {
    std::string response;
    int code;
    std::string message;
  };
  const std::vector<Case> cases = {
      {Response("HTTP/1.1 301 Moved Permanently", {"Location: http://a/", "Content-Length: 5"},
                "moved"),
       301, "301 Moved Permanently"},
      {Response("HTTP/1.1 302 Found", {"Location: /b", "Content-Length: 2"}, "go"), 302,
       "302 Found"},
      {Response("HTTP/1.1 200 OK", {"Location: /c", "Content-Length: 2"}, "ok"), 200, "200 OK"},
      {Response("HTTP/1.1 304 Not Modified", {"Content-Length: 0"}, ""), 304, "304 Not Modified"},
  };
  for (const Case& c : cases) {
    TScriptedServer server(InTurn({c.response, Ok("next")}));
    THttpClient client;
    const auto e = Catch<ENetProtocolReplyError>([&] { client.FetchText(server.Url("/")); });
    EXPECT_EQ(e.ReplyCode(), c.code);
    EXPECT_EQ(e.Message(), c.message);
    // The body was consumed: the next response is read cleanly, on the same
    // connection.
    EXPECT_EQ(client.FetchText(server.Url("/")), "next") << c.message;
    EXPECT_EQ(server.Connections(), 1) << c.message;
  }
}

TEST(Outcome, RedirectHandlerMayAcceptOrFollow) {
  TScriptedServer server([](TServerConnection& c) {
    for (;;) {
      const std::string request = c.ReadRequest();
      if (request.empty()) return;
      if (request.find("GET /old") == 0) {
        c.Send(Response("HTTP/1.1 302 Found", {"Location: /new", "Content-Length: 3"}, "old"));
      } else {
        c.Send(Ok("new"));
      }
    }
  });
  THttpClient client;
  client.OnRedirect = [](THttpClient&, std::string&, int numRedirect, bool& handled) {
    EXPECT_EQ(numRedirect, 1);
    handled = true;
  };
  // Not following, but the handler accepts: the fetch ends normally.
  EXPECT_EQ(client.FetchText(server.Url("/old")), "old");
  EXPECT_EQ(client.Reply().Location, "/new");

  client.SetHandleRedirects(true);
  client.OnRedirect = nullptr;
  EXPECT_EQ(client.FetchText(server.Url("/old")), "new");
  EXPECT_EQ(client.RedirectDepth(), 0);

  // A redirect loop stops at the maximum with an error.
  client.SetRedirectMaximum(3);
  client.OnRedirect = [](THttpClient&, std::string& dest, int, bool&) { dest = "/old"; };
  EXPECT_THROW(client.FetchText(server.Url("/old")), ENetProtocolReplyError);
  EXPECT_EQ(client.RedirectDepth(), 3);
}

TEST(Outcome, StatusThatIsNotANumberIsAConversionError) {
  TScriptedServer server(Always("HTTP/1.1 abc Weird\r\n\r\n"));
  THttpClient client;
  const auto e = Catch<lugatim::base::EConvertError>([&] { client.FetchText(server.Url("/")); });
  EXPECT_EQ(e.Message(), "'abc' is not a valid integer value");
  // What followed cannot pass for the next response.
  EXPECT_FALSE(client.IsConnected());
}

TEST(Outcome, BodilessStatusesReadNoBodyWhateverTheHeadersSay) {
  // Without a length these would otherwise be read until a close that a
  // kept-alive server never sends.
  TScriptedServer server(InTurn({Response("HTTP/1.1 204 No Content", {"Content-Length: 0"}, ""),
                                 Response("HTTP/1.1 204 No Content", {}, ""),
                                 Response("HTTP/1.1 304 Not Modified", {"ETag: \"x\""}, "")}));
  THttpClient client;
  client.SetReadTimeOut(3000);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(client.FetchText(server.Url("/a")), "");
  EXPECT_EQ(client.FetchText(server.Url("/b")), "");
  EXPECT_EQ(Catch<ENetProtocolReplyError>([&] { client.FetchText(server.Url("/c")); }).ReplyCode(),
            304);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
  EXPECT_TRUE(client.IsConnected());
}

TEST(Limits, DefaultsAndClamping) {
  THttpClient client;
  EXPECT_EQ(client.MaxBodySize(), 32 * 1024 * 1024);
  EXPECT_EQ(client.MaxHeaderSize(), 300u * 1024);
  EXPECT_EQ(client.MaxLineLength(), 100u * 1024);
  EXPECT_EQ(client.TransferTimeOut(), 60000);
  EXPECT_EQ(client.ReadTimeOut(), 15000);
  EXPECT_EQ(client.ConnectTimeOut(), 10000);
  EXPECT_EQ(client.LookAheadTimeOut(), 1);
  EXPECT_EQ(client.RedirectMaximum(), 15);
  EXPECT_FALSE(client.HandleRedirects());
  EXPECT_EQ(client.ProtocolVersion(), TProtocolVersion::pv1_1);
  client.SetMaxBodySize(-5);
  EXPECT_EQ(client.MaxBodySize(), 0);
  client.SetMaxBodySize(std::numeric_limits<int64_t>::max());
  EXPECT_EQ(client.MaxBodySize(), int64_t{1} << 62);
}

TEST(Body, ZeroLengthEndsAtOnce) {
  TScriptedServer server(Always(Response("HTTP/1.1 200 OK", {"Content-Length: 0"}, "")));
  THttpClient client;
  TMemoryStream stream;
  stream.Write("old content");
  stream.SetPosition(3);
  client.FetchToStream(server.Url("/"), stream);
  EXPECT_EQ(stream.Bytes(), "old");  // ends at the position
  EXPECT_TRUE(client.IsConnected());
}

TEST(Body, WithoutLengthOrChunkingItIsReadUntilClose) {
  std::string body(200000, '\0');
  for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>(i % 251);
  TScriptedServer server(OnceThenClose(Response("HTTP/1.1 200 OK", {}, body)));
  THttpClient client;
  EXPECT_EQ(client.FetchText(server.Url("/")), body);
  EXPECT_FALSE(client.IsConnected());
}

TEST(Body, ChunkedWithExtensionsAndTrailersArrivesWhole) {
  const std::string chunked =
      "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
      "5;name=value\r\nhello\r\n"
      "1 ; spaced\r\n,\r\n"
      "00006\r\n world\r\n"
      "0\r\nX-Trailer: yes\r\n\r\n";
  TScriptedServer server(InTurn({chunked, Ok("after")}));
  THttpClient client;
  std::vector<std::string> statuses;
  client.OnStatus = [&](TStatus, const std::string& text) { statuses.push_back(text); };
  EXPECT_EQ(client.FetchText(server.Url("/")), "hello, world");
  EXPECT_NE(std::find(statuses.begin(), statuses.end(), "Chunk Started"), statuses.end());
  EXPECT_EQ(client.Reply().ExtraHeaders.Values("Transfer-Encoding"), "chunked");
  // Nothing of the trailer is left to pass for the next response, which
  // comes on the same connection.
  EXPECT_EQ(client.FetchText(server.Url("/")), "after");
  EXPECT_EQ(server.Connections(), 1);
}

TEST(Body, BadChunkSizeLineFailsInsteadOfEndingTheBody) {
  for (const char* line : {"zz", "-5", "0x10", "", " 5", "+5"}) {
    TScriptedServer server(
        Always(std::string("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                           "3\r\nabc\r\n") +
               line + "\r\nrest\r\n0\r\n\r\n"));
    THttpClient client;
    EXPECT_THROW(client.FetchText(server.Url("/")), ENetBadResponse) << line;
    EXPECT_FALSE(client.IsConnected()) << line;
  }
}

TEST(Body, ChunkLongerThanItsSizeFails) {
  TScriptedServer server(
      Always("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabcdef\r\n0\r\n\r\n"));
  THttpClient client;
  const auto e = Catch<ENetBadResponse>([&] { client.FetchText(server.Url("/")); });
  EXPECT_EQ(e.Message(), "Chunk data not followed by a line end.");
}

TEST(Body, ArbitraryBytesIncludingZeroArriveUnchanged) {
  std::string body;
  for (int i = 0; i < 256; ++i) body += static_cast<char>(i);
  body += std::string("\0\0\r\n\r\n\0", 7);
  TScriptedServer server(Always(Ok(body)));
  THttpClient client;
  const std::string text = client.FetchText(server.Url("/bin"));
  EXPECT_EQ(text.size(), body.size());
  EXPECT_EQ(text, body);
}

TEST(Body, CloseBeforeContentLengthRaises) {
  TScriptedServer server(
      OnceThenClose(Response("HTTP/1.1 200 OK", {"Content-Length: 100"}, "only a part")));
  THttpClient client;
  TMemoryStream stream;
  EXPECT_THROW(client.FetchToStream(server.Url("/"), stream), ENetConnClosedGracefully);
  EXPECT_EQ(stream.Bytes().substr(0, 11), "only a part");
  EXPECT_FALSE(client.IsConnected());
}

TEST(Reply, HeaderValuesAreFilledAndTheRestKeptAsExtraHeaders) {
  TScriptedServer server(
      Always(Response("HTTP/1.1 206 Partial Content",
                      {"Server: test/1", "Content-Type: text/plain", "Content-Range: bytes 2-4/10",
                       "Date: Sun, 06 Nov 1994 08:49:37 GMT", "Content-Length: 3", "X-One: 1",
                       "  folded", "WWW-Authenticate: Basic", "Content-Encoding: identity"},
                      "abc")));
  THttpClient client;
  EXPECT_EQ(client.FetchText(server.Url("/")), "abc");
  const THeaderInfo& reply = client.Reply();
  EXPECT_EQ(client.StatusCode(), 206);
  EXPECT_EQ(reply.Server, "test/1");
  EXPECT_EQ(reply.ContentType, "text/plain");
  EXPECT_EQ(reply.ContentEncoding, "identity");
  EXPECT_EQ(reply.ContentRangeStart, 2u);
  EXPECT_EQ(reply.ContentRangeEnd, 4u);
  EXPECT_EQ(reply.ContentLength, 3);
  EXPECT_DOUBLE_EQ(reply.Date, GmtToLocalDateTime("Sun, 06 Nov 1994 08:49:37 GMT"));
  EXPECT_EQ(reply.ExtraHeaders.Lines(),
            (std::vector<std::string>{"X-One: 1", "  folded", "WWW-Authenticate: Basic"}));
  EXPECT_EQ(reply.ExtraHeaders.Values("X-One"), "1 folded");
  EXPECT_EQ(reply.WWWAuthenticate, "");  // looked up without the hyphen
}

// Where one response ends and the next begins: interim replies before the
// reply to a request, bodies that bodiless statuses carry against the rules,
// and bytes no request asked for. No byte of one response may be read as
// part of another.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "http/HttpClient.h"
#include "http/NetExceptions.h"
#include "tests/http/ScriptedServer.h"

using namespace lugatim::http;
using namespace lugatim::http::test;

namespace {

// The body each path's final reply carries.
std::string BodyOf(const std::string& request) {
  const size_t start = request.find(' ') + 1;
  return "BODY-" + request.substr(start + 1, request.find(' ', start) - start - 1);
}

// Answers each request on a kept connection with the interim replies, then
// the final reply whose body names the path.
TScriptedServer::Script WithInterim(std::string interim) {
  return [interim](TServerConnection& c) {
    for (;;) {
      const std::string request = c.ReadRequest();
      if (request.empty() || !c.Send(interim + Ok(BodyOf(request)))) return;
    }
  };
}

}  // namespace

TEST(Interim, RepliesBeforeTheFinalOneArePassedOver) {
  const std::vector<std::string> interims = {
      "HTTP/1.1 103 Early Hints\r\nLink: </style.css>; rel=preload\r\n\r\n",
      "HTTP/1.1 100 Continue\r\n\r\n",
      "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 103 Early Hints\r\nLink: </a.js>; rel=preload\r\n"
      "Link: </b.js>; rel=preload\r\n\r\n",
  };
  for (const std::string& interim : interims) {
    TScriptedServer server(WithInterim(interim));
    THttpClient client;
    // Each request gets its own final reply, on the one kept connection.
    EXPECT_EQ(client.FetchText(server.Url("/a")), "BODY-a") << interim;
    EXPECT_EQ(client.StatusCode(), 200);
    EXPECT_EQ(client.FetchText(server.Url("/b")), "BODY-b") << interim;
    EXPECT_EQ(client.FetchText(server.Url("/c")), "BODY-c") << interim;
    EXPECT_TRUE(client.IsConnected());
    EXPECT_EQ(server.Connections(), 1);
    // The interim replies' headers are not the reply's.
    EXPECT_EQ(client.Reply().ExtraHeaders.Values("Link"), "");
  }
}

TEST(Interim, SwitchingProtocolsFailsAndCloses) {
  TScriptedServer server([](TServerConnection& c) {
    for (;;) {
      const std::string request = c.ReadRequest();
      if (request.empty()) return;
      const std::string head = c.Index() == 0 ? "HTTP/1.1 101 Switching Protocols\r\n"
                                                "Upgrade: websocket\r\nConnection: Upgrade\r\n\r\n"
                                              : "";
      if (!c.Send(head + Ok(BodyOf(request)))) return;
    }
  });
  THttpClient client;
  try {
    client.FetchText(server.Url("/a"));
    ADD_FAILURE() << "a switch of protocols passed for a reply";
  } catch (const ENetProtocolReplyError& e) {
    EXPECT_EQ(e.ReplyCode(), 101);
    EXPECT_EQ(e.Message(), "101 Switching Protocols");
  }
  EXPECT_FALSE(client.IsConnected());
  // What followed the switch is never read: the next request connects anew.
  EXPECT_EQ(client.FetchText(server.Url("/b")), "BODY-b");
  EXPECT_EQ(server.Connections(), 2);
}

TEST(Interim, EndlessInterimRepliesMeetTheHeadBound) {
  TScriptedServer server([](TServerConnection& c) {
    if (c.ReadRequest().empty()) return;
    const std::string interim =
        "HTTP/1.1 100 Continue\r\nX-Pad: " + std::string(200, 'p') + "\r\n\r\n";
    for (int i = 0; i < 100000; ++i)
      if (!c.Send(interim)) return;
  });
  THttpClient client;
  client.SetMaxHeaderSize(64 * 1024);
  EXPECT_THROW(client.FetchText(server.Url("/a")), ENetBadResponse);
  EXPECT_FALSE(client.IsConnected());
}

// A 204 or 304 has no body; a server that sends one anyway must not hand
// it to the next request, announced or not.
TEST(BodilessStatus, ABodySentAgainstTheRulesNeverReachesTheNextRequest) {
  const std::vector<std::string> answers = {
      "HTTP/1.1 204 No Content\r\nContent-Length: 5\r\n\r\nHELLO",
      "HTTP/1.1 304 Not Modified\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nHELLO\r\n0\r\n\r\n",
      // Unannounced, in the same segment as the head.
      "HTTP/1.1 204 No Content\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nHELLO",
  };
  for (const std::string& answer : answers) {
    TScriptedServer server([answer](TServerConnection& c) {
      for (bool first = true;; first = false) {
        const std::string request = c.ReadRequest();
        if (request.empty()) return;
        if (!c.Send(first && c.Index() == 0 ? answer : Ok(BodyOf(request)))) return;
      }
    });
    THttpClient client;
    try {
      client.FetchText(server.Url("/first"));
    } catch (const ENetProtocolReplyError& e) {
      EXPECT_EQ(e.ReplyCode(), 304) << answer;
    }
    EXPECT_EQ(client.FetchText(server.Url("/next")), "BODY-next") << answer;
    EXPECT_EQ(client.FetchText(server.Url("/last")), "BODY-last") << answer;
  }
}

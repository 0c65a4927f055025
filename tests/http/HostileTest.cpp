// Servers that misbehave on purpose: the client fails with a clear error of
// its family, in bounded time, without reserving what a server announces,
// and without leaving a descriptor open.

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "base/Exception.h"
#include "base/Stream.h"
#include "http/HttpClient.h"
#include "http/NetExceptions.h"
#include "tests/http/ScriptedServer.h"
#include "tests/http/TestSupport.h"

using namespace lugatim::http;
using namespace lugatim::http::test;
using lugatim::base::TMemoryStream;

namespace {

class Hostile : public ::testing::Test {
 protected:
  void SetUp() override { fdsBefore_ = CountOpenFds(); }
  void TearDown() override { EXPECT_EQ(CountOpenFds(), fdsBefore_) << "descriptor leak"; }

  // Runs a fetch against a server that plays the script, expects it to fail
  // with E and returns the error; the server and the client are gone after.
  template <typename E>
  E FetchFails(TScriptedServer::Script script, const std::function<void(THttpClient&)>& setup = {},
               TMemoryStream* stream = nullptr) {
    TScriptedServer server(std::move(script));
    THttpClient client;
    if (setup) setup(client);
    TMemoryStream own;
    TMemoryStream& target = stream ? *stream : own;
    try {
      client.FetchToStream(server.Url("/hostile"), target);
    } catch (const E& e) {
      closedAfter_ = !client.IsConnected();
      return e;
    }
    throw std::runtime_error("the hostile fetch did not fail as expected");
  }

  bool closedAfter_ = false;

 private:
  int fdsBefore_ = 0;
};

int64_t MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start)
      .count();
}

// Sends the text one byte at a time with the given pause, until done, the
// client goes or the server stops.
TScriptedServer::Script Drip(std::string text, int pauseMs) {
  return [text, pauseMs](TServerConnection& c) {
    c.ReadRequest();
    for (char byte : text) {
      if (!c.Send(std::string(1, byte)) || c.PauseOrStop(pauseMs)) return;
    }
    c.WaitForClientClose();
  };
}

}  // namespace

TEST_F(Hostile, TruncatedBodyRaisesClosedGracefully) {
  FetchFails<ENetConnClosedGracefully>([](TServerConnection& c) {
    c.ReadRequest();
    c.Send("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n0123456789");
    c.Close();
  });
  EXPECT_TRUE(closedAfter_);
}

TEST_F(Hostile, CloseWithoutAnyResponseRaisesClosedGracefully) {
  FetchFails<ENetConnClosedGracefully>([](TServerConnection& c) {
    c.ReadRequest();
    c.Close();
  });
}

TEST_F(Hostile, ServerThatNeverAnswersTimesOut) {
  const auto start = std::chrono::steady_clock::now();
  const auto e = FetchFails<ENetSocketError>(
      [](TServerConnection& c) {
        c.ReadRequest();
        c.WaitForClientClose();
      },
      [](THttpClient& client) { client.SetReadTimeOut(300); });
  EXPECT_EQ(e.ErrorNumber(), 10060);
  EXPECT_EQ(e.Message(), "Socket Error # 10060\r\nConnection timed out.");
  EXPECT_GE(MsSince(start), 290);
  EXPECT_LT(MsSince(start), 5000);
  EXPECT_TRUE(closedAfter_);
}

TEST_F(Hostile, DrippingStatusLineHitsTheTransferTimeOut) {
  const auto start = std::chrono::steady_clock::now();
  const auto e =
      FetchFails<ENetSocketError>(Drip("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok", 1000),
                                  [](THttpClient& client) { client.SetTransferTimeOut(1500); });
  EXPECT_EQ(e.ErrorNumber(), 10060);
  EXPECT_GE(MsSince(start), 1400);
  EXPECT_LT(MsSince(start), 6000);
  EXPECT_TRUE(closedAfter_);
}

TEST_F(Hostile, DrippingBodyHitsTheTransferTimeOut) {
  TMemoryStream stream;
  const auto e = FetchFails<ENetSocketError>(
      [](TServerConnection& c) {
        c.ReadRequest();
        c.Send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n");
        for (int i = 0; i < 100; ++i) {
          if (!c.Send("x") || c.PauseOrStop(250)) return;
        }
      },
      [](THttpClient& client) { client.SetTransferTimeOut(800); }, &stream);
  EXPECT_EQ(e.ErrorNumber(), 10060);
  EXPECT_TRUE(closedAfter_);
}

TEST_F(Hostile, FastEndlessBodyStopsAtTheTransferDeadline) {
  const auto start = std::chrono::steady_clock::now();
  const auto e = FetchFails<ENetSocketError>(
      [](TServerConnection& c) {
        c.ReadRequest();
        c.Send("HTTP/1.1 200 OK\r\n\r\n");
        const std::string block(65536, 'e');
        while (c.Send(block)) {
        }
      },
      [](THttpClient& client) {
        client.SetMaxBodySize(int64_t{1} << 40);
        client.SetTransferTimeOut(300);
      },
      nullptr);
  EXPECT_EQ(e.ErrorNumber(), 10060);
  EXPECT_LT(MsSince(start), 5000);
  EXPECT_TRUE(closedAfter_);
}

TEST_F(Hostile, ResetInTheMiddleOfTheBodyRaisesASocketError) {
  const auto e = FetchFails<ENetSocketError>([](TServerConnection& c) {
    c.ReadRequest();
    c.Send("HTTP/1.1 200 OK\r\nContent-Length: 1000000\r\n\r\n" + std::string(50000, 'r'));
    c.Reset();
  });
  EXPECT_EQ(e.ErrorNumber(), 10054);
  EXPECT_EQ(e.Message(), "Socket Error # 10054\r\nConnection reset by peer.");
}

TEST_F(Hostile, HeaderFloodStopsAtTheHeadLimit) {
  const auto e = FetchFails<ENetBadResponse>([](TServerConnection& c) {
    c.ReadRequest();
    c.Send("HTTP/1.1 200 OK\r\n");
    const std::string line = "X-Flood: " + std::string(1000, 'f') + "\r\n";
    while (c.Send(line)) {
    }
  });
  EXPECT_EQ(e.Message(), "Response header larger than 307200 bytes.");
  EXPECT_TRUE(closedAfter_);
}

TEST_F(Hostile, EndlessHeaderLineStopsAtTheLineLimit) {
  const auto e = FetchFails<ENetBadResponse>([](TServerConnection& c) {
    c.ReadRequest();
    c.Send("HTTP/1.1 200 OK\r\nX-Long: ");
    const std::string block(4096, 'l');
    while (c.Send(block)) {
    }
  });
  EXPECT_EQ(e.Message(), "Response line longer than 102400 bytes.");
  EXPECT_TRUE(closedAfter_);
}

TEST_F(Hostile, HeadJustWithinTheLimitsIsAccepted) {
  // Two lines of the maximum length: 200 KiB of head in all.
  const std::string line = "X-A: " + std::string(100 * 1024 - 5, 'a');
  TScriptedServer server([&](TServerConnection& c) {
    c.ReadRequest();
    c.Send(Response("HTTP/1.1 200 OK", {line, line, "Content-Length: 2"}, "ok"));
    c.WaitForClientClose();
  });
  THttpClient client;
  EXPECT_EQ(client.FetchText(server.Url("/")), "ok");
  EXPECT_EQ(client.Reply().ExtraHeaders.Count(), 2);
}

TEST_F(Hostile, HugeContentLengthIsRefusedBeforeAnythingIsReserved) {
  for (const char* length :
       {"99999999999999999999999999", "9223372036854775807", "2147483647", "33554433"}) {
    TMemoryStream stream;
    const auto e = FetchFails<ENetBadResponse>(
        [length](TServerConnection& c) {
          c.ReadRequest();
          c.Send(std::string("HTTP/1.1 200 OK\r\nContent-Length: ") + length + "\r\n\r\nabc");
          c.WaitForClientClose();
        },
        {}, &stream);
    EXPECT_EQ(e.Message(), "Response body larger than 33554432 bytes.") << length;
    EXPECT_EQ(stream.Size(), 0) << "the stream was sized for " << length;
    EXPECT_TRUE(closedAfter_);
  }
}

TEST_F(Hostile, NegativeContentLengthIsRefused) {
  for (const char* length : {"-1", "-1000"}) {
    const auto e = FetchFails<ENetBadResponse>([length](TServerConnection& c) {
      c.ReadRequest();
      c.Send(std::string("HTTP/1.1 200 OK\r\nContent-Length: ") + length + "\r\n\r\nabcdef");
      c.WaitForClientClose();
    });
    EXPECT_EQ(e.Message(), std::string("Invalid Content-Length '") + length + "'.");
  }
}

TEST_F(Hostile, BodyCapIsConfigurableAndHoldsForEveryBodyForm) {
  const auto capAt = [](int64_t cap) { return [cap](THttpClient& c) { c.SetMaxBodySize(cap); }; };
  const std::string big(5000, 'b');
  // Content-Length just over the cap.
  FetchFails<ENetBadResponse>(
      [&](TServerConnection& c) {
        c.ReadRequest();
        c.Send(Ok(big));
        c.WaitForClientClose();
      },
      capAt(4999));
  // Read until close.
  FetchFails<ENetBadResponse>(
      [&](TServerConnection& c) {
        c.ReadRequest();
        c.Send("HTTP/1.1 200 OK\r\n\r\n");
        while (c.Send(big)) {
        }
      },
      capAt(64 * 1024));
  // Chunks that each fit but together do not.
  FetchFails<ENetBadResponse>(
      [&](TServerConnection& c) {
        c.ReadRequest();
        c.Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n");
        while (c.Send("1000\r\n" + std::string(4096, 'c') + "\r\n")) {
        }
      },
      capAt(64 * 1024));

  // Exactly at the cap is fine.
  TScriptedServer server([&](TServerConnection& c) {
    c.ReadRequest();
    c.Send(Ok(big));
    c.WaitForClientClose();
  });
  THttpClient client;
  client.SetMaxBodySize(5000);
  EXPECT_EQ(client.FetchText(server.Url("/")), big);
}

TEST_F(Hostile, BogusChunkSizesAreRefusedBeforeAnythingIsReserved) {
  for (const char* size : {"FFFFFFFFFFFFFFFFFFFFFFFF", "7FFFFFFFFFFFFFFF", "80000000", "2000001"}) {
    TMemoryStream stream;
    const auto e = FetchFails<ENetBadResponse>(
        [size](TServerConnection& c) {
          c.ReadRequest();
          c.Send(std::string("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n") + size +
                 "\r\nabc");
          c.WaitForClientClose();
        },
        {}, &stream);
    EXPECT_EQ(e.Message(), "Response body larger than 33554432 bytes.") << size;
    EXPECT_EQ(stream.Size(), 0) << size;
  }
  for (const char* size : {"xyz", "-1", ";5", "\x01\x02"}) {
    const auto e = FetchFails<ENetBadResponse>([size](TServerConnection& c) {
      c.ReadRequest();
      c.Send(std::string("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n") + size +
             "\r\nabc\r\n0\r\n\r\n");
      c.WaitForClientClose();
    });
    EXPECT_EQ(e.Message().rfind("Invalid chunk size", 0), 0u) << size;
  }
}

TEST_F(Hostile, BinaryGarbageInsteadOfAStatusLineIsAConversionError) {
  FetchFails<lugatim::base::EConvertError>([](TServerConnection& c) {
    c.ReadRequest();
    c.Send(std::string("\x00\x01\x02 \xff\xfe\r\n\r\n", 9));
    c.WaitForClientClose();
  });
}

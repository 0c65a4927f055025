// Responsive waiting: registration, when the event pump runs, and how waits
// are sliced while a transfer waits for the server.

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "http/HttpClient.h"
#include "http/NetExceptions.h"
#include "http/ResponsiveWait.h"
#include "http/TcpClient.h"

using namespace lugatim::http;

namespace {

// An event pump that counts its turns and can run an action at a given turn.
struct FakePump {
  int all = 0;
  int one = 0;
  std::function<void(int turn)> onTurn;

  TEventPump Pump() {
    return TEventPump{[this] {
                        ++all;
                        if (onTurn) onTurn(all + one);
                      },
                      [this] {
                        ++one;
                        if (onTurn) onTurn(all + one);
                      }};
  }
};

struct Paired {
  template <typename Client>
  static int Attach(Client& client) {
    int fds[2];
    EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds), 0);
    client.AttachSocket(fds[0]);
    return fds[1];
  }
};

void SendAll(int fd, const std::string& bytes) {
  ASSERT_EQ(::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL),
            static_cast<ssize_t>(bytes.size()));
}

int64_t MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start)
      .count();
}

}  // namespace

TEST(Registration, CreatingRegistersAndDestroyingEitherLeavesNone) {
  EXPECT_EQ(TResponsiveWaitBase::Registered(), nullptr);
  auto first = std::make_unique<TResponsiveWait>();
  EXPECT_EQ(TResponsiveWaitBase::Registered(), first.get());
  EXPECT_TRUE(first->Active());
  EXPECT_TRUE(first->ApplicationHasPriority());
  EXPECT_EQ(first->IdleTimeOut(), 250);
  EXPECT_TRUE(first->OnlyWhenIdle());
  {
    TResponsiveWait second;
    EXPECT_EQ(TResponsiveWaitBase::Registered(), &second);
  }
  EXPECT_EQ(TResponsiveWaitBase::Registered(), nullptr);
  auto third = std::make_unique<TResponsiveWait>();
  first.reset();
  EXPECT_EQ(TResponsiveWaitBase::Registered(), nullptr);
}

TEST(OfferIdle, PumpsOnlyWhenTheRulesSaySo) {
  FakePump pump;
  TResponsiveWaitBase::OfferIdle(true, false);  // nothing registered: nothing happens
  TResponsiveWait wait(pump.Pump());
  TResponsiveWaitBase::OfferIdle(true, false);
  EXPECT_EQ(pump.all, 1);
  TResponsiveWaitBase::OfferIdle(false, false);  // only when idle
  EXPECT_EQ(pump.all, 1);
  TResponsiveWaitBase::OfferIdle(false, true);  // the caller overrides
  EXPECT_EQ(pump.all, 2);
  wait.SetOnlyWhenIdle(false);
  TResponsiveWaitBase::OfferIdle(false, false);
  EXPECT_EQ(pump.all, 3);
  wait.SetApplicationHasPriority(false);
  TResponsiveWaitBase::OfferIdle(true, false);
  EXPECT_EQ(pump.all, 3);
  EXPECT_EQ(pump.one, 1);
  wait.SetActive(false);
  TResponsiveWaitBase::OfferIdle(true, true);
  EXPECT_EQ(pump.all + pump.one, 4);
}

TEST(OfferIdle, NeverPumpsOnAnotherThread) {
  FakePump pump;
  TResponsiveWait wait(pump.Pump());
  EXPECT_TRUE(TResponsiveWaitBase::IsMainThread());
  std::thread([] {
    EXPECT_FALSE(TResponsiveWaitBase::IsMainThread());
    TResponsiveWaitBase::OfferIdle(true, true);
  }).join();
  EXPECT_EQ(pump.all, 0);
}

TEST(Slicing, FiniteWaitRunsAsRemainderThenIdleSlicesEachFollowedByATurn) {
  FakePump pump;
  TResponsiveWait wait(pump.Pump());
  TTcpClient client;
  const int peer = Paired::Attach(client);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(client.ReceiveOnce(true, 600), 0);
  EXPECT_GE(MsSince(start), 590);
  EXPECT_EQ(pump.all, 3);  // slices of 100, 250 and 250 ms
  ::close(peer);
}

TEST(Slicing, InfiniteWaitTurnsEverySliceUntilDataArrives) {
  FakePump pump;
  TResponsiveWait wait(pump.Pump());
  wait.SetIdleTimeOut(50);
  TTcpClient client;
  const int peer = Paired::Attach(client);
  // The "server" answers during the fourth turn of the event pump.
  pump.onTurn = [&](int turn) {
    if (turn == 4) SendAll(peer, "late answer\r\n");
  };
  EXPECT_EQ(client.ReadLine(), "late answer");
  EXPECT_EQ(pump.all, 4);
  ::close(peer);
}

TEST(Slicing, ServerAnsweringAfterTwoSecondsSeesEightTurnsWithTheDefaults) {
  FakePump pump;
  TResponsiveWait wait(pump.Pump());
  THttpClient client;
  const int peer = Paired::Attach(client);
  pump.onTurn = [&](int turn) {
    if (turn == 8) SendAll(peer, "HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nlate");
  };
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(client.FetchText("/slow"), "late");
  EXPECT_GE(MsSince(start), 1900);
  // Eight idle slices of 250 ms before the answer, one turn for the look-ahead.
  EXPECT_EQ(pump.all, 9);
  ::close(peer);
}

TEST(Slicing, WithoutAnActiveInstanceAWaitIsOneSelectAndNothingIsPumped) {
  FakePump pump;
  TResponsiveWait wait(pump.Pump());
  wait.SetIdleTimeOut(10);
  TTcpClient client;
  const int peer = Paired::Attach(client);
  // Active, a 100 ms wait runs as ten slices with a turn after each.
  EXPECT_EQ(client.ReceiveOnce(true, 100), 0);
  EXPECT_EQ(pump.all, 10);
  wait.SetActive(false);
  EXPECT_EQ(client.ReceiveOnce(true, 100), 0);
  EXPECT_EQ(pump.all + pump.one, 10);
  ::close(peer);
}

TEST(Slicing, WithoutAnyInstanceNothingIsPumped) {
  FakePump pump;
  { TResponsiveWait gone(pump.Pump()); }
  TTcpClient client;
  const int peer = Paired::Attach(client);
  EXPECT_EQ(client.ReceiveOnce(true, 30), 0);
  SendAll(peer, "x\n");
  EXPECT_EQ(client.ReadLine(), "x");
  EXPECT_EQ(pump.all + pump.one, 0);
  ::close(peer);
}

TEST(Slicing, NotOnlyWhenIdlePumpsAfterSendsAndAfterDataToo) {
  FakePump pump;
  TResponsiveWait wait(pump.Pump());
  wait.SetOnlyWhenIdle(false);
  TTcpClient client;
  const int peer = Paired::Attach(client);
  client.WriteLine("one");
  client.WriteLine("two");
  EXPECT_EQ(pump.all, 2);
  SendAll(peer, "ready\n");
  EXPECT_EQ(client.ReadLine(), "ready");
  EXPECT_EQ(pump.all, 3);
  ::close(peer);
}

TEST(Slicing, ClosingFromTheEventPumpEndsTheWait) {
  FakePump pump;
  TResponsiveWait wait(pump.Pump());
  wait.SetIdleTimeOut(20);
  TTcpClient client;
  const int peer = Paired::Attach(client);
  pump.onTurn = [&](int turn) {
    if (turn == 2) client.CloseConnection();
  };
  EXPECT_THROW(client.ReadLine(), ENetConnClosedGracefully);
  EXPECT_EQ(pump.all, 2);
  ::close(peer);
}

TEST(Slicing, ReadTimeOutHoldsAcrossSlices) {
  FakePump pump;
  TResponsiveWait wait(pump.Pump());
  TTcpClient client;
  client.SetReadTimeOut(600);
  const int peer = Paired::Attach(client);
  try {
    client.ReadLine();
    ADD_FAILURE() << "no time-out";
  } catch (const ENetSocketError& e) {
    EXPECT_EQ(e.ErrorNumber(), 10060);
  }
  EXPECT_EQ(pump.all, 3);
  EXPECT_FALSE(client.IsConnected());
  ::close(peer);
}

TEST(Slicing, KeptAliveResponseGivesOneTurnForTheLookAhead) {
  FakePump pump;
  TResponsiveWait wait(pump.Pump());
  // No turn falls due while the response comes, however slowly the peer
  // thread is scheduled: only an idle wait gives one.
  wait.SetIdleTimeOut(60000);
  THttpClient client;
  const int peer = Paired::Attach(client);
  // The response is already on its way when the client waits for it: no
  // wait is idle except the 1 ms look-ahead after the body.
  std::thread server([peer] {
    char request[256];
    (void)::recv(peer, request, sizeof request, 0);
    SendAll(peer, "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nhi");
  });
  EXPECT_EQ(client.FetchText("/x"), "hi");
  server.join();
  EXPECT_EQ(pump.all, 1);
  EXPECT_TRUE(client.IsConnected());
  ::close(peer);
}

// A server that sends a byte every 20 ms never leaves a 100 ms slice idle;
// the events are processed every slice all the same.
TEST(Slicing, DrippingServerStillGivesATurnEverySlice) {
  std::vector<int64_t> turns;
  const auto start = std::chrono::steady_clock::now();
  FakePump pump;
  pump.onTurn = [&](int) { turns.push_back(MsSince(start)); };
  TResponsiveWait wait(pump.Pump());
  wait.SetIdleTimeOut(100);
  TTcpClient client;
  const int peer = Paired::Attach(client);
  std::thread drip([peer] {
    for (int i = 0; i < 50; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      SendAll(peer, "x");
    }
    SendAll(peer, "\n");
  });
  EXPECT_EQ(client.ReadLine(), std::string(50, 'x'));
  drip.join();
  const int64_t took = MsSince(start);
  ASSERT_GE(turns.size(), 4u) << "over " << took << " ms";
  int64_t worst = turns.front();
  for (size_t i = 1; i < turns.size(); ++i) worst = std::max(worst, turns[i] - turns[i - 1]);
  // A slice and one drip's delay at most, with room for a loaded machine.
  EXPECT_LT(worst, 250) << turns.size() << " turns over " << took << " ms";
  ::close(peer);
}

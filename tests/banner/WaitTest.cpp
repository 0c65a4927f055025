// The rotation's wait on the wall clock, the sleeps behind it, and the
// update server setting.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "banner/UpdateServer.h"
#include "banner/WaitSeconds.h"
#include "base/Exception.h"
#include "tests/banner/BannerTestSupport.h"

namespace lugatim::banner {
namespace {

using base::LocalDateTime;
using base::ManualClock;
using base::TWakeSignal;

std::string WaitError(int seconds) {
  ManualClock clock;
  TWakeSignal stop;
  try {
    WaitSeconds(seconds, clock, stop);
  } catch (const base::EConvertError& e) {
    return e.Message();
  }
  return "(waited)";
}

TEST(LocalTime, MillisecondsAndBackAcrossMonthsAndLeapDays) {
  EXPECT_EQ(LocalTimeMs({1970, 1, 1, 0, 0, 0, 0}), 0);
  EXPECT_EQ(LocalTimeMs({1970, 1, 2, 0, 0, 1, 5}), 86401005);
  const LocalDateTime leap{2024, 2, 29, 23, 59, 59, 999};
  EXPECT_EQ(LocalDateTimeOf(LocalTimeMs(leap)), leap);
  EXPECT_EQ(LocalDateTimeOf(LocalTimeMs(leap) + 1), (LocalDateTime{2024, 3, 1, 0, 0, 0, 0}));
  EXPECT_EQ(LocalDateTimeOf(LocalTimeMs({2023, 12, 31, 23, 59, 30, 0}) + 45000),
            (LocalDateTime{2024, 1, 1, 0, 0, 15, 0}));
}

TEST(WaitSeconds, OutsideZeroToFiftyNineIsAConversionError) {
  EXPECT_EQ(WaitError(60), "Invalid argument to time encode");
  EXPECT_EQ(WaitError(-1), "Invalid argument to time encode");
  EXPECT_EQ(WaitError(0), "(waited)");
}

TEST(WaitSeconds, ZeroReturnsAtOnceEvenWhenStopped) {
  ManualClock clock;
  TWakeSignal stop;
  stop.Stop();
  EXPECT_TRUE(WaitSeconds(0, clock, stop));
  EXPECT_FALSE(WaitSeconds(5, clock, stop));
}

// Runs WaitSeconds on a thread; the result lands in done/result.
struct TWaiter {
  std::atomic<bool> done{false};
  std::atomic<bool> result{false};
  std::thread thread;
  TWaiter(int seconds, const base::TClock& clock, TWakeSignal& stop)
      : thread([this, seconds, &clock, &stop] {
          result = WaitSeconds(seconds, clock, stop);
          done = true;
        }) {}
  ~TWaiter() {
    if (thread.joinable()) thread.join();
  }
  // Waits for the end of the wait and returns its result.
  bool Finish() {
    thread.join();
    return result;
  }
};

TEST(WaitSeconds, EndsAtTheFirstReadingAtOrAfterTheDeadline) {
  ManualClock clock(LocalDateTime{2024, 5, 31, 23, 59, 58, 500});
  TWakeSignal stop;
  TWaiter waiter(3, clock, stop);  // deadline 2024-06-01 00:00:01.500
  ASSERT_TRUE(clock.WaitForSleepers(1, 5000));
  test::AdvanceLocal(clock, 2999);
  ASSERT_TRUE(clock.WaitForSleepers(1, 5000));  // looked at 01.499 and went back to sleep
  EXPECT_FALSE(waiter.done);
  test::AdvanceLocal(clock, 1);
  EXPECT_TRUE(waiter.Finish());
}

TEST(WaitSeconds, FollowsTheWallClockWhenItIsSetBackOrForward) {
  ManualClock clock(LocalDateTime{2024, 1, 10, 12, 0, 0, 0});
  TWakeSignal stop;
  TWaiter waiter(10, clock, stop);
  ASSERT_TRUE(clock.WaitForSleepers(1, 5000));
  clock.SetNow({2024, 1, 10, 11, 0, 0, 0});  // an hour back: still waiting
  ASSERT_TRUE(clock.WaitForSleepers(1, 5000));
  EXPECT_FALSE(waiter.done);
  clock.SetNow({2024, 1, 10, 12, 0, 10, 0});  // forward past the deadline
  EXPECT_TRUE(waiter.Finish());
}

TEST(WaitSeconds, AStopEndsTheWaitAtOnce) {
  ManualClock clock;
  TWakeSignal stop;
  TWaiter waiter(59, clock, stop);
  ASSERT_TRUE(clock.WaitForSleepers(1, 5000));
  stop.Stop();
  EXPECT_FALSE(waiter.Finish());
}

double ThreadCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

TEST(WaitSeconds, SleepsOnTheSystemClockInsteadOfSpinning) {
  // One real second of waiting: a polling loop would burn the whole second.
  TWakeSignal stop;
  double cpu = 0;
  const auto start = std::chrono::steady_clock::now();
  std::thread([&] {
    const double before = ThreadCpuSeconds();
    EXPECT_TRUE(WaitSeconds(1, base::SystemClock::Instance(), stop));
    cpu = ThreadCpuSeconds() - before;
  }).join();
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(990));
  EXPECT_LT(cpu, 0.2);
}

TEST(WakeSignal, NotifyWakesTheSleepersOfThatMoment) {
  TWakeSignal signal;
  std::atomic<bool> ready{false};
  std::thread sleeper([&] {
    while (!ready) signal.SleepFor(60000, [&] { return ready.load(); });
  });
  ready = true;
  signal.Notify();
  sleeper.join();
  EXPECT_FALSE(signal.Stopped());
  signal.Stop();
  EXPECT_FALSE(signal.SleepFor(60000));
}

TEST(UpdateServer, BuiltInHostAndOverrides) {
  EXPECT_EQ(ParseUpdateServer(""), (TUpdateServer{"guncelleme.lugatim.org", 80}));
  EXPECT_EQ(ParseUpdateServer("127.0.0.1"), (TUpdateServer{"127.0.0.1", 80}));
  EXPECT_EQ(ParseUpdateServer("ads.example:8080"), (TUpdateServer{"ads.example", 8080}));
  EXPECT_EQ(ParseUpdateServer("h:65535").port, 65535);
  for (const char* bad : {"h:", "h:0", "h:65536", "h:8o", ":80", "h:123456", "a b", "h/x", "u@h",
                          "h:80:81", "[::1]:80", "h:-1"}) {
    EXPECT_EQ(ParseUpdateServer(bad), TUpdateServer{}) << bad;
  }
}

TEST(UpdateServer, TheEnvironmentOverridesTheBuiltInHost) {
  ::setenv("LUGATIM_UPDATE_SERVER", "127.0.0.1:8123", 1);
  EXPECT_EQ(ConfiguredUpdateServer(), (TUpdateServer{"127.0.0.1", 8123}));
  ::setenv("LUGATIM_UPDATE_SERVER", "bad host", 1);
  EXPECT_EQ(ConfiguredUpdateServer(), TUpdateServer{});
  ::unsetenv("LUGATIM_UPDATE_SERVER");
  EXPECT_EQ(ConfiguredUpdateServer().host, "guncelleme.lugatim.org");
}

TEST(UpdateServer, Addresses) {
  EXPECT_EQ(ServerUrl({"h", 80}, "/versiyon.ver"), "http://h/versiyon.ver");
  EXPECT_EQ(ServerUrl({"h", 8080}, "/liste.lst"), "http://h:8080/liste.lst");
}

}  // namespace
}  // namespace lugatim::banner

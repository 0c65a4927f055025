#include <gtest/gtest.h>

#include <thread>

#include "base/Action.h"
#include "base/Clock.h"
#include "base/Exception.h"
#include "base/Stream.h"
#include "base/Trace.h"

using namespace lugatim::base;

TEST(MemoryStream, WritesReadsAndSizes) {
  TMemoryStream s;
  s.Write("hello");
  EXPECT_EQ(s.Position(), 5);
  EXPECT_EQ(s.Size(), 5);
  s.SetPosition(1);
  char buf[8] = {};
  EXPECT_EQ(s.Read(buf, 3), 3u);
  EXPECT_EQ(std::string(buf, 3), "ell");
  EXPECT_EQ(s.Read(buf, 8), 1u);
  EXPECT_EQ(s.Read(buf, 8), 0u);

  s.SetSize(2);  // shrinking pulls the position back to the end
  EXPECT_EQ(s.Bytes(), "he");
  EXPECT_EQ(s.Position(), 2);
  s.SetSize(4);  // growing zero-fills and keeps the position
  EXPECT_EQ(s.Bytes(), std::string("he\0\0", 4));
  EXPECT_EQ(s.Position(), 2);

  s.SetPosition(6);  // a write past the end fills the gap
  s.Write("!");
  EXPECT_EQ(s.Bytes(), std::string("he\0\0\0\0!", 7));
  EXPECT_THROW(s.SetPosition(-1), Exception);
  EXPECT_THROW(s.SetSize(-1), Exception);
}

TEST(Trace, CaptureCollectsFormattedLinesFromEveryThreadAndRestoresTheSink) {
  std::vector<std::string> outer;
  SetTraceSink([&](const std::string& line) { outer.push_back(line); });
  {
    TraceCapture capture;
    Trace("a %s %d", "ü", 7);
    std::thread([] { Trace("from %s", "thread"); }).join();
    EXPECT_EQ(capture.Lines(), (std::vector<std::string>{"a ü 7", "from thread"}));
  }
  Trace("after");
  SetTraceSink({});
  EXPECT_EQ(outer, std::vector<std::string>{"after"});
}

TEST(Format, FormatsLongTextsWhole) {
  const std::string big(5000, 'x');
  EXPECT_EQ(Format("<%s>", big.c_str()).size(), 5002u);
  EXPECT_EQ(Format("%d|%s", -3, ""), "-3|");
}

TEST(Clock, ManualClockMovesOnlyWhenTold) {
  ManualClock clock({2026, 12, 1, 10, 0, 0, 0});
  EXPECT_EQ(clock.Now().day, 1);
  EXPECT_EQ(clock.MonotonicMs(), 0);
  clock.AdvanceMs(2001);
  EXPECT_EQ(clock.MonotonicMs(), 2001);
  clock.SetNow({2026, 12, 2, 0, 0, 0, 0});
  EXPECT_EQ(clock.Now().day, 2);
  const auto now = SystemClock::Instance().Now();
  EXPECT_GE(now.year, 2024);
  EXPECT_GE(now.month, 1);
  EXPECT_LE(now.month, 12);
}

TEST(Action, ExecutingWithoutHandlerDoesNothingAndWithOneCallsIt) {
  TAction bare{"Bos", "Bos", 0, {}};
  bare.Execute();
  int calls = 0;
  TAction counted{"Say", "Say", 0x70, [&] { ++calls; }};
  counted.Execute();
  counted.Execute();
  EXPECT_EQ(calls, 2);
}

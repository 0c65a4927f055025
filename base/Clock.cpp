#include "base/Clock.h"

#include <algorithm>
#include <chrono>
#include <ctime>

namespace lugatim::base {

LocalDateTime SystemClock::Now() const {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm tm{};
  localtime_r(&seconds, &tm);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) %
                  std::chrono::seconds(1);
  return LocalDateTime{
      tm.tm_year + 1900,           tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
      static_cast<int>(ms.count())};
}

int64_t SystemClock::MonotonicMs() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

SystemClock& SystemClock::Instance() {
  static SystemClock clock;
  return clock;
}

void TWakeSignal::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopped_ = true;
  }
  changed_.notify_all();
}

bool TWakeSignal::Stopped() const {
  std::lock_guard lock(mutex_);
  return stopped_;
}

void TWakeSignal::Notify() {
  {
    std::lock_guard lock(mutex_);
    ++notifications_;
  }
  changed_.notify_all();
}

bool TWakeSignal::SleepFor(int64_t ms, const std::function<bool()>& ready) {
  std::unique_lock lock(mutex_);
  const uint64_t seen = notifications_;
  changed_.wait_for(lock, std::chrono::milliseconds(std::max<int64_t>(ms, 0)),
                    [&] { return stopped_ || notifications_ != seen || (ready && ready()); });
  return !stopped_;
}

bool TClock::SleepFor(int64_t ms, uint64_t /*generation*/, TWakeSignal& signal) const {
  return signal.SleepFor(ms);
}

LocalDateTime ManualClock::Now() const {
  std::lock_guard lock(mutex_);
  return now_;
}

void ManualClock::SetNow(const LocalDateTime& now) {
  {
    std::lock_guard lock(mutex_);
    now_ = now;
  }
  Changed();
}

void ManualClock::AdvanceMs(int64_t ms) {
  ms_ += ms;
  Changed();
}

void ManualClock::Changed() {
  // The new generation is published before the sleepers are woken, and a
  // sleeper registers before it tests the generation, so none sleeps on
  // through a change.
  ++generation_;
  std::lock_guard lock(sleepersMutex_);
  for (const Sleeper& sleeper : sleepers_) sleeper.signal->Notify();
}

bool ManualClock::SleepFor(int64_t ms, uint64_t generation, TWakeSignal& signal) const {
  {
    std::lock_guard lock(sleepersMutex_);
    sleepers_.push_back({&signal, generation});
  }
  sleepersChanged_.notify_all();
  const bool awake =
      signal.SleepFor(ms, [this, generation] { return generation_.load() != generation; });
  {
    std::lock_guard lock(sleepersMutex_);
    const auto it = std::find_if(sleepers_.begin(), sleepers_.end(),
                                 [&](const Sleeper& s) { return s.signal == &signal; });
    if (it != sleepers_.end()) sleepers_.erase(it);
  }
  sleepersChanged_.notify_all();
  return awake;
}

bool ManualClock::WaitForSleepers(int count, int64_t timeoutMs) const {
  std::unique_lock lock(sleepersMutex_);
  return sleepersChanged_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
    const uint64_t current = generation_.load();
    return std::count_if(sleepers_.begin(), sleepers_.end(),
                         [&](const Sleeper& s) { return s.generation == current; }) >= count;
  });
}

}  // namespace lugatim::base

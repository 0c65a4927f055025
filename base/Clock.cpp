#include "base/Clock.h"

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

LocalDateTime ManualClock::Now() const {
  std::lock_guard lock(mutex_);
  return now_;
}

void ManualClock::SetNow(const LocalDateTime& now) {
  std::lock_guard lock(mutex_);
  now_ = now;
}

}  // namespace lugatim::base

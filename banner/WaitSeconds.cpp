#include "banner/WaitSeconds.h"

#include <algorithm>

#include "base/Exception.h"

namespace lugatim::banner {
namespace {

constexpr int64_t kDayMs = 86400000;

// Days since 1970-01-01 of a civil date (H. Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2 ? 1 : 0;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

}  // namespace

int64_t LocalTimeMs(const base::LocalDateTime& t) {
  return DaysFromCivil(t.year, t.month, t.day) * kDayMs +
         ((t.hour * 60LL + t.minute) * 60 + t.second) * 1000 + t.millisecond;
}

base::LocalDateTime LocalDateTimeOf(int64_t ms) {
  int64_t days = ms / kDayMs;
  int64_t rest = ms % kDayMs;
  if (rest < 0) {
    rest += kDayMs;
    --days;
  }
  // Civil date of a day count (the inverse of DaysFromCivil).
  const int64_t z = days + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  const int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
  base::LocalDateTime t;
  t.year = static_cast<int>(y);
  t.month = m;
  t.day = d;
  t.hour = static_cast<int>(rest / 3600000);
  t.minute = static_cast<int>(rest / 60000 % 60);
  t.second = static_cast<int>(rest / 1000 % 60);
  t.millisecond = static_cast<int>(rest % 1000);
  return t;
}

bool WaitSeconds(int32_t seconds, const base::TClock& clock, base::TWakeSignal& stop) {
  if (seconds < 0 || seconds > 59) throw base::EConvertError("Invalid argument to time encode");
  const int64_t deadline = LocalTimeMs(clock.Now()) + seconds * 1000LL;
  for (;;) {
    const uint64_t generation = clock.Generation();
    const int64_t now = LocalTimeMs(clock.Now());
    if (now >= deadline) return true;
    if (!clock.SleepFor(std::min(deadline - now, kWaitSliceMs), generation, stop)) return false;
  }
}

}  // namespace lugatim::banner

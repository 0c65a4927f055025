#pragma once
// The rotation's wait on the local wall clock.

#include <cstdint>

#include "base/Clock.h"

namespace lugatim::banner {

// The longest real time the wait sleeps before it reads the clock again, so
// that a change of the system time is noticed within it.
inline constexpr int64_t kWaitSliceMs = 500;

// Milliseconds of a local date and time since 1970-01-01 00:00:00.000 of the
// same (proleptic Gregorian) calendar, and back.
int64_t LocalTimeMs(const base::LocalDateTime& t);
base::LocalDateTime LocalDateTimeOf(int64_t ms);

// Returns once the clock reads at or after its reading at the start plus
// that many seconds: true then, false as soon as stop is stopped. Sleeps
// between readings (never spins); a change of the local time during the
// wait lengthens or shortens it. 0 returns at once. Fails with
// EConvertError "Invalid argument to time encode" outside 0 to 59.
bool WaitSeconds(int32_t seconds, const base::TClock& clock, base::TWakeSignal& stop);

}  // namespace lugatim::banner

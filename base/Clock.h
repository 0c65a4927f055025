#pragma once
// The clock every timed rule reads: the local date and time, and a monotonic
// millisecond count for intervals. Code takes a TClock so that tests can set
// the time instead of waiting for it.

#include <atomic>
#include <cstdint>
#include <mutex>

namespace lugatim::base {

struct LocalDateTime {
  int year = 1970;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
  friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

class TClock {
 public:
  virtual ~TClock() = default;
  virtual LocalDateTime Now() const = 0;
  // Milliseconds since an arbitrary fixed point; never goes backwards.
  virtual int64_t MonotonicMs() const = 0;
};

// The system's local time zone and steady clock.
class SystemClock : public TClock {
 public:
  LocalDateTime Now() const override;
  int64_t MonotonicMs() const override;
  static SystemClock& Instance();
};

// A clock that moves only when told; safe to read from any thread.
class ManualClock : public TClock {
 public:
  explicit ManualClock(LocalDateTime now = {}) : now_(now) {}
  LocalDateTime Now() const override;
  int64_t MonotonicMs() const override { return ms_.load(); }

  void SetNow(const LocalDateTime& now);
  void AdvanceMs(int64_t ms) { ms_ += ms; }

 private:
  mutable std::mutex mutex_;
  LocalDateTime now_;
  std::atomic<int64_t> ms_{0};
};

}  // namespace lugatim::base

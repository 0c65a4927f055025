#pragma once
// The clock every timed rule reads: the local date and time, and a monotonic
// millisecond count for intervals. Code takes a TClock so that tests can set
// the time instead of waiting for it.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

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

// Wakes a thread that sleeps through TClock::SleepFor before its time, from
// any thread. Once stopped it stays stopped: every later sleep returns at once.
class TWakeSignal {
 public:
  void Stop();
  bool Stopped() const;
  // Wakes the threads sleeping at this moment, once.
  void Notify();
  // Sleeps up to ms milliseconds of real time; returns earlier on Notify, on
  // Stop, or when ready (tested under the signal's lock before every wait)
  // holds. Returns false when the signal is stopped.
  bool SleepFor(int64_t ms, const std::function<bool()>& ready = nullptr);

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool stopped_ = false;
  uint64_t notifications_ = 0;
};

class TClock {
 public:
  virtual ~TClock() = default;
  virtual LocalDateTime Now() const = 0;
  // Milliseconds since an arbitrary fixed point; never goes backwards.
  virtual int64_t MonotonicMs() const = 0;

  // A count that changes whenever the clock is set by hand; a clock that
  // follows the system keeps 0.
  virtual uint64_t Generation() const { return 0; }
  // Sleeps the calling thread up to ms milliseconds of real time, less when
  // the signal wakes it or, for a clock set by hand, as soon as Generation()
  // differs from generation (read it before the reading of Now() that led to
  // the sleep, and no change is missed). Returns false when the signal is stopped.
  virtual bool SleepFor(int64_t ms, uint64_t generation, TWakeSignal& signal) const;
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
  void AdvanceMs(int64_t ms);

  uint64_t Generation() const override { return generation_.load(); }
  // Returns as soon as the clock is set or advanced (or the signal wakes it).
  bool SleepFor(int64_t ms, uint64_t generation, TWakeSignal& signal) const override;
  // Waits up to timeoutMs of real time until at least count threads sleep on
  // this clock having seen its latest setting, so that a test moves the
  // clock only once a waiting thread has looked at it. True when they do.
  bool WaitForSleepers(int count, int64_t timeoutMs) const;

 private:
  struct Sleeper {
    TWakeSignal* signal;
    uint64_t generation;
  };
  void Changed();

  mutable std::mutex mutex_;
  LocalDateTime now_;
  std::atomic<int64_t> ms_{0};
  std::atomic<uint64_t> generation_{0};
  mutable std::mutex sleepersMutex_;
  mutable std::condition_variable sleepersChanged_;
  mutable std::vector<Sleeper> sleepers_;
};

}  // namespace lugatim::base

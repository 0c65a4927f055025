#pragma once
// Keeping the window alive while a transfer waits: with a registered, active
// responsive-wait component every wait for incoming data is cut into slices
// of IdleTimeOut milliseconds, and between slices the application's pending
// events are processed. The event processing itself comes from the
// application side (the toolkit's event loop), so this library links no
// toolkit.

#include <atomic>
#include <cstdint>
#include <functional>

#include "http/NetComponent.h"

namespace lugatim::http {

class TResponsiveWaitBase : public TNetBaseComponent {
 public:
  // Registers this instance, replacing any instance registered before.
  TResponsiveWaitBase();
  // Empties the registration, whichever instance is registered.
  ~TResponsiveWaitBase() override;

  bool Active() const { return active_; }
  void SetActive(bool value) { active_ = value; }
  bool ApplicationHasPriority() const { return applicationHasPriority_; }
  void SetApplicationHasPriority(bool value) { applicationHasPriority_ = value; }
  // Length of one wait slice in milliseconds; a positive number.
  int IdleTimeOut() const { return idleTimeOut_; }
  void SetIdleTimeOut(int ms) { idleTimeOut_ = ms; }
  bool OnlyWhenIdle() const { return onlyWhenIdle_; }
  void SetOnlyWhenIdle(bool value) { onlyWhenIdle_ = value; }

  // The instance in effect, or nullptr.
  static TResponsiveWaitBase* Registered();

  // Offered by the client after every readiness wait (idle: nothing arrived)
  // and after every send (idle false). Processes events through the
  // registered instance, on the main thread only, when it is active and the
  // turn is idle, OnlyWhenIdle is off, the caller overrides, or IdleTimeOut
  // milliseconds have passed since events were last processed here: a
  // server that keeps sending a byte now and then would otherwise never
  // leave a slice idle, and the window would not react until it stopped.
  static void OfferIdle(bool idle, bool override);
  // Milliseconds until events fall due on the calling thread (0: now), or -1
  // when nothing would process them (no active instance, another thread).
  // A readiness wait ends its poll there, so that a slice never holds the
  // events back for longer than IdleTimeOut.
  static int MsUntilDue();

  // Whether the calling thread is the process's main thread.
  static bool IsMainThread();

 protected:
  // Processes the pending events: all of them when ApplicationHasPriority,
  // otherwise at most one.
  virtual void PumpMessages() = 0;

 private:
  std::atomic<bool> active_{true};
  std::atomic<bool> applicationHasPriority_{true};
  std::atomic<int> idleTimeOut_{250};
  std::atomic<bool> onlyWhenIdle_{true};
  // Steady milliseconds of the end of the last processing (or of the
  // registration).
  std::atomic<int64_t> lastPumpMs_;
};

// The two operations of the application's event loop that waiting needs.
struct TEventPump {
  // Processes every pending event and returns when none is left.
  std::function<void()> ProcessAllPending;
  // Handles one pending event when there is one, and returns at once otherwise.
  std::function<void()> ProcessOnePending;
};

class TResponsiveWait : public TResponsiveWaitBase {
 public:
  explicit TResponsiveWait(TEventPump pump = {}) : pump_(std::move(pump)) {}
  void SetPump(TEventPump pump) { pump_ = std::move(pump); }

 protected:
  void PumpMessages() override;

 private:
  TEventPump pump_;
};

// How a readiness wait with a finite limit is cut while slicing is on: the
// first slice takes the remainder, every further one IdleTimeOut, so 600 ms
// with 250 ms slices runs as 100, 250 and 250.
struct TWaitSlices {
  int first;    // length of the first slice
  int repeats;  // number of IdleTimeOut slices after it
};
TWaitSlices SliceWait(int limitMs, int idleTimeOutMs);

}  // namespace lugatim::http

#include "http/ResponsiveWait.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>

namespace lugatim::http {

namespace {
std::atomic<TResponsiveWaitBase*> gRegistered{nullptr};

int64_t SteadyMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
}  // namespace

TResponsiveWaitBase::TResponsiveWaitBase() : lastPumpMs_(SteadyMs()) {
  gRegistered = this;
}

TResponsiveWaitBase::~TResponsiveWaitBase() {
  gRegistered = nullptr;
}

TResponsiveWaitBase* TResponsiveWaitBase::Registered() {
  return gRegistered;
}

bool TResponsiveWaitBase::IsMainThread() {
  return ::gettid() == ::getpid();
}

void TResponsiveWaitBase::OfferIdle(bool idle, bool override) {
  TResponsiveWaitBase* instance = gRegistered;
  if (instance == nullptr || !IsMainThread()) return;
  const bool due = SteadyMs() - instance->lastPumpMs_ >= instance->IdleTimeOut();
  if ((idle || !instance->OnlyWhenIdle() || override || due) && instance->Active()) {
    instance->PumpMessages();
    instance->lastPumpMs_ = SteadyMs();
  }
}

int TResponsiveWaitBase::MsUntilDue() {
  const TResponsiveWaitBase* instance = gRegistered;
  if (instance == nullptr || !instance->Active() || instance->IdleTimeOut() <= 0 || !IsMainThread())
    return -1;
  const int64_t left = instance->IdleTimeOut() - (SteadyMs() - instance->lastPumpMs_);
  return static_cast<int>(std::max<int64_t>(0, left));
}

void TResponsiveWait::PumpMessages() {
  if (ApplicationHasPriority()) {
    if (pump_.ProcessAllPending) pump_.ProcessAllPending();
  } else {
    if (pump_.ProcessOnePending) pump_.ProcessOnePending();
  }
}

TWaitSlices SliceWait(int limitMs, int idleTimeOutMs) {
  if (idleTimeOutMs <= 0 || limitMs <= idleTimeOutMs) return {limitMs, 0};
  const int repeats = (limitMs - 1) / idleTimeOutMs;
  return {limitMs - repeats * idleTimeOutMs, repeats};
}

}  // namespace lugatim::http

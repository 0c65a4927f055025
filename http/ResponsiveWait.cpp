#include "http/ResponsiveWait.h"

#include <unistd.h>

namespace lugatim::http {

namespace {
std::atomic<TResponsiveWaitBase*> gRegistered{nullptr};
}

TResponsiveWaitBase::TResponsiveWaitBase() {
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
  if ((idle || !instance->OnlyWhenIdle() || override) && instance->Active()) {
    instance->PumpMessages();
  }
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

#pragma once
// The roots of the network components. A TNetComponent counts itself in the
// process-wide socket layer for its lifetime; a TNetBaseComponent does not.

#include "http/SocketStack.h"

namespace lugatim::http {

class TNetBaseComponent {
 public:
  TNetBaseComponent() = default;
  virtual ~TNetBaseComponent() = default;
  TNetBaseComponent(const TNetBaseComponent&) = delete;
  TNetBaseComponent& operator=(const TNetBaseComponent&) = delete;
};

class TNetComponent : public TNetBaseComponent {
 public:
  TNetComponent() : stack_(TSocketStack::Acquire()) {}
  ~TNetComponent() override { TSocketStack::Release(); }

 protected:
  TSocketStack& Stack() const { return stack_; }

 private:
  TSocketStack& stack_;
};

}  // namespace lugatim::http

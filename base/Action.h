#pragma once
// A named command with a caption, an optional shortcut and an execute handler.
// Executing an action that has no handler does nothing.

#include <functional>
#include <string>

namespace lugatim::base {

struct TAction {
  std::string name;
  std::string caption;
  // Stored shortcut value: modifier bits (Shift 0x2000, Ctrl 0x4000, Alt 0x8000)
  // plus the virtual key code; 0 for none.
  int shortCut = 0;
  std::function<void()> onExecute;

  void Execute() const {
    if (onExecute) onExecute();
  }
};

}  // namespace lugatim::base

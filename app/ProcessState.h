#pragma once
// The process-wide state of the program, alive from start to end: the
// interface language and about text, and the banner channel's state.

#include <string>

#include "banner/ChannelState.h"

namespace lugatim::app {

struct TProcessState {
  std::string currentLanguage;  // "Eng" or "Tur"; empty until the window exists
  std::string aboutText;        // about message of the current language
  banner::TChannelState channel;
};

}  // namespace lugatim::app

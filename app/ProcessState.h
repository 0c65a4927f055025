#pragma once
// The process-wide state of the program, alive from start to end. The window
// and the banner channel read and write it; everything but the busy flag is
// used from the main thread only.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "base/StringList.h"

namespace lugatim::app {

struct TProcessState {
  std::string currentLanguage;  // "Eng" or "Tur"; empty until the window exists
  std::string aboutText;        // about message of the current language
  std::string localVersionText;
  std::string serverVersionText;
  std::string bannerFolder;         // always ends in "/"
  std::string clickThroughAddress;  // target of the banner shown last
  int32_t serverVersionNumber = 0;
  std::unique_ptr<base::TStringList> adList;  // from FormCreate to FormDestroy
  std::atomic<bool> busy{false};
};

}  // namespace lugatim::app

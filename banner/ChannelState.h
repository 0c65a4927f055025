#pragma once
// The banner channel's process-wide state. The busy flag is shared with the
// rotation thread; everything else belongs to the main thread.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "base/StringList.h"

namespace lugatim::banner {

struct TChannelState {
  std::string bannerFolder;  // always ends in "/"
  std::string localVersionText;
  std::string serverVersionText;
  int32_t serverVersionNumber = 0;
  std::string clickThroughAddress;            // target of the banner shown last
  std::unique_ptr<base::TStringList> adList;  // the ad-list buffer, from FormCreate to FormDestroy
  std::atomic<bool> busy{false};
};

}  // namespace lugatim::banner

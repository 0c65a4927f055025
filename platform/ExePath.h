#pragma once
#include <string>

namespace lugatim::platform {

// The folder of the running executable, always ending in "/".
std::string ExecutableDir();

}  // namespace lugatim::platform

#pragma once
// Shared routines of the banner channel: the Banner folder, the ad line
// parser and the local file name of a banner. None keeps state of its own, so
// the main thread and the rotation thread may both call them.

#include <cstdint>
#include <string>

namespace lugatim::banner {

// The Banner folder of an executable folder (which ends in "/"): that folder
// followed by "Banner/". Every channel file path is this text followed by a
// bare file name.
std::string BannerFolderOf(const std::string& executableDir);

// Creates the Banner folder (one level) when it does not exist. A failure is
// traced as "Folder oluştururken hata %s" with its reason and goes no further.
void EnsureBannerFolder(const std::string& bannerFolder);

// One line of the ad list: six comma-separated fields.
struct TAdLine {
  std::string URLBanner;  // address of the banner image
  std::string UrlToGo;    // click-through address
  int32_t Oncelik = 0;    // priority; read, never used
  int32_t Sure = 0;       // display duration in seconds
  int32_t Silinecek = 0;  // withdrawal flag
  int32_t HoldBack = 0;   // second flag
};

// Parses an ad line. Fields 1 to 5 end at the first comma of what is left;
// field 6 is all the rest. Each of the first five writes its trace line. A
// field 3 to 6 that is not integer text fails with EConvertError, after the
// traces of the fields before it.
TAdLine ParseAdLine(const std::string& line);

// The local file name of a banner address: everything after its last "/",
// the whole address when it has none, empty when it ends in "/". Traces each
// step; never fails.
std::string BannerFileName(const std::string& address);

}  // namespace lugatim::banner

#pragma once
// Shared routines of the banner channel.

#include <string>

namespace lugatim::banner {

// The Banner folder of an executable folder (which ends in "/"): that folder
// followed by "Banner/". Every channel file path is this text followed by a
// bare file name.
std::string BannerFolderOf(const std::string& executableDir);

// Creates the Banner folder (one level) when it does not exist. A failure is
// traced as "Folder oluştururken hata %s" with its reason and goes no further.
void EnsureBannerFolder(const std::string& bannerFolder);

}  // namespace lugatim::banner

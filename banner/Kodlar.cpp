#include "banner/Kodlar.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "base/Exception.h"
#include "base/Trace.h"

namespace lugatim::banner {

std::string BannerFolderOf(const std::string& executableDir) {
  return executableDir + "Banner/";
}

void EnsureBannerFolder(const std::string& bannerFolder) {
  struct stat st {};
  if (::stat(bannerFolder.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return;
  if (::mkdir(bannerFolder.c_str(), 0755) != 0) {
    const std::string reason =
        base::Format("Cannot create folder %s: %s", bannerFolder.c_str(), std::strerror(errno));
    base::Trace("Folder oluştururken hata %s", reason.c_str());
  }
}

}  // namespace lugatim::banner

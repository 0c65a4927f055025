#include "banner/Housekeeping.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <vector>

#include "banner/BannerFiles.h"

namespace lugatim::banner {
namespace {

bool IsGifName(const std::string& name) {
  constexpr std::string_view ext = ".gif";
  if (name.size() < ext.size()) return false;
  for (size_t i = 0; i < ext.size(); ++i) {
    char c = name[name.size() - ext.size() + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != ext[i]) return false;
  }
  return true;
}

std::vector<std::string> GifEntries(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != ".." && IsGifName(name)) names.push_back(name);
  }
  ::closedir(dir);
  return names;
}

}  // namespace

void TemizleExecute(const std::string& bannerFolder, const base::TClock& clock) {
  RemoveStaleTempFiles(bannerFolder);

  std::string kept;  // the kept file's bytes, empty when there is nothing to restore
  std::string keptName = kKeptBanner;
  struct Restore {
    const std::string& folder;
    const std::string& bytes;
    const std::string& name;
    ~Restore() {
      if (bytes.empty()) return;
      try {
        WriteFolderFile(folder, name, bytes);
      } catch (...) {
      }
    }
  } restore{bannerFolder, kept, keptName};

  if (clock.Now().day != 1) return;
  // Only a regular file (or a link to one) is a kept banner: a folder, FIFO
  // or socket of that name counts as absent, so that nothing blocks on it or
  // fails over it every month.
  if (const auto entry = FindEntry(bannerFolder, kKeptBanner)) {
    struct stat st {};
    if (::stat((bannerFolder + *entry).c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
      keptName = *entry;
      kept = ReadFolderFile(bannerFolder, keptName);
    }
  }
  for (const std::string& name : GifEntries(bannerFolder)) {
    (void)::unlink((bannerFolder + name).c_str());
  }
}

}  // namespace lugatim::banner

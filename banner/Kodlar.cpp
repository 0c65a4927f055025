#include "banner/Kodlar.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "base/Exception.h"
#include "base/IntText.h"
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

namespace {

// 1-based position of the first comma, 0 when there is none.
int FirstComma(std::string_view text) {
  const size_t at = text.find(',');
  return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
}

// The first p - 1 characters (none when p is 0 or 1).
std::string_view Before(std::string_view text, int p) {
  return p <= 1 ? std::string_view() : text.substr(0, static_cast<size_t>(p - 1));
}

// What follows position p; all of it when p is 0.
std::string_view After(std::string_view text, int p) {
  return text.substr(static_cast<size_t>(p));
}

int Length(std::string_view text) {
  return static_cast<int>(text.size());
}

}  // namespace

TAdLine ParseAdLine(const std::string& line) {
  // The traces repeat what is left of the line five times; with nobody
  // listening they are not built at all, so a huge line costs one pass.
  const bool tracing = base::TraceEnabled();
  TAdLine ad;
  std::string_view rest = line;

  int p = FirstComma(rest);
  ad.URLBanner = std::string(Before(rest, p));
  if (tracing) {
    base::Trace("gecicistring : %s | Konum1 : %d | Konum2 : %d | Uzunluk : %d | URLBanner %s |",
                std::string(rest).c_str(), 0, p, Length(rest), ad.URLBanner.c_str());
  }
  rest = After(rest, p);

  p = FirstComma(rest);
  ad.UrlToGo = std::string(Before(rest, p));
  if (tracing) {
    base::Trace("gecicistring : %s | Konum1 : %d | Konum2 : %d | Uzunluk : %d | UrlToGo %s |",
                std::string(rest).c_str(), 0, p, Length(rest), ad.UrlToGo.c_str());
  }
  rest = After(rest, p);

  p = FirstComma(rest);
  ad.Oncelik = base::StrToInt(Before(rest, p));
  if (tracing) {
    base::Trace("gecicistring : %s | Konum1 : %d | Konum2 : %d | Uzunluk : %d | Oncelik : %d |",
                std::string(rest).c_str(), 0, p, Length(rest), ad.Oncelik);
  }
  rest = After(rest, p);

  p = FirstComma(rest);
  ad.Sure = base::StrToInt(Before(rest, p));
  if (tracing) {
    base::Trace("gecicistring : %s | Konum1 : %d | Konum2 : %d | Uzunluk : %d | Sure : %d |",
                std::string(rest).c_str(), 0, p, Length(rest), ad.Sure);
  }
  rest = After(rest, p);

  p = FirstComma(rest);
  ad.Silinecek = base::StrToInt(Before(rest, p));
  if (tracing) {
    base::Trace("gecicistring : %s | Konum1 : %d | Konum2 : %d | Uzunluk : %d | Silinecek : %d |",
                std::string(rest).c_str(), 0, p, Length(rest), ad.Silinecek);
  }
  rest = After(rest, p);

  ad.HoldBack = base::StrToInt(rest);
  return ad;
}

std::string BannerFileName(const std::string& address) {
  // Each step traces what is left after the next "/": an address made of
  // many slashes would make these traces grow with the square of its
  // length, so they are built only when someone listens.
  const bool tracing = base::TraceEnabled();
  if (tracing) base::Trace("Başlangıç dizisi : %s", address.c_str());
  std::string_view text = address;
  int p = 0;
  do {
    const size_t at = text.find('/');
    p = at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
    text = text.substr(static_cast<size_t>(p));
    if (tracing) {
      base::Trace("gecicikaynakdizi satır 81 %s", std::string(text).c_str());
      base::Trace("konumterstaksimcikart : %s satır 82", std::to_string(p).c_str());
    }
  } while (p != 0);
  return std::string(text);
}

}  // namespace lugatim::banner

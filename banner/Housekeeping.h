#pragma once
// The monthly housekeeping of the Banner folder, run once at start-up.

#include <string>

#include "banner/BannerFiles.h"
#include "base/Clock.h"

namespace lugatim::banner {

// Action Temizle. On the first day of a month it deletes every entry of the
// folder whose name ends in ".gif" (any letter case) — every GIF banner, as
// the download chain fetches the current ones again — and writes a
// non-empty "Banner2.gif" back with the bytes it had before. A deletion that
// fails (a directory, say) is ignored; symbolic links are removed, never
// what they point to; no other entry is touched. A "Banner2.gif" that exists
// but cannot be read fails outward before anything is deleted.
//
// On every day it also removes the temporary files that interrupted writes
// of the channel left behind (nothing else uses the folder at start-up).
void TemizleExecute(const std::string& bannerFolder, const base::TClock& clock);

}  // namespace lugatim::banner

#pragma once
// What the channel accepts from the update server, whoever serves it: the
// server's version file is read up to its first line of at most 64 bytes;
// an ad list has at most 1,000 lines of at most 2 KiB each; the Banner
// folder holds at most 100 banners and 64 MiB of them. Each bound is far
// above what an honest server publishes and keeps memory, time and disk
// small when a server is hostile.

#include <cstdint>
#include <string>
#include <string_view>

#include "base/Stream.h"

namespace lugatim::banner {

inline constexpr size_t kMaxVersionLineBytes = 64;
inline constexpr int kMaxAdListLines = 1000;
inline constexpr size_t kMaxAdLineBytes = 2048;
// The longest ad list within the bounds: every line at its longest, ended by CR LF.
inline constexpr size_t kMaxAdListBytes = kMaxAdListLines * (kMaxAdLineBytes + 2);
inline constexpr int kMaxBanners = 100;
inline constexpr int64_t kMaxBannerBytes = 64LL * 1024 * 1024;

// Checks text, fed in pieces of any size, against the ad-list bounds. Lines
// are split as base::SplitLines splits them (CR LF, a lone CR, a lone LF; a
// break at the very end adds no line). Fails with base::Exception as soon as
// the 1,001st line begins or a line passes 2 KiB.
class TAdListBound {
 public:
  void Feed(std::string_view bytes);
  void Reset() { *this = TAdListBound(); }
  int Lines() const { return lines_; }

 private:
  void Count();

  int lines_ = 0;
  size_t length_ = 0;
  bool open_ = false;
  bool afterCr_ = false;
};

// Fails with base::Exception when the text is beyond the ad-list bounds.
void CheckAdList(std::string_view text);

// The ad list of the folder's file of that name, read no further than the
// bounds allow. Fails like ReadFolderFile, and with base::Exception when
// the file is beyond the bounds.
std::string ReadAdList(const std::string& folder, std::string_view name);

// A stream that passes what is written to another stream (from its start,
// as a transfer writes) and fails the write that takes the text beyond the
// ad-list bounds, so that the transfer ends there.
class TAdListStream : public base::TStream {
 public:
  explicit TAdListStream(base::TStream& target) : target_(target) {}
  using TStream::Write;
  void Write(const void* data, size_t count) override;
  size_t Read(void* data, size_t count) override { return target_.Read(data, count); }
  int64_t Size() const override { return target_.Size(); }
  // Emptying (a request sent again) starts the count afresh.
  void SetSize(int64_t size) override;
  int64_t Position() const override { return target_.Position(); }
  void SetPosition(int64_t position) override;

 private:
  base::TStream& target_;
  TAdListBound bound_;
};

// Keeps the first line of what is written (up to its first CR or LF) and
// drops the rest, so that a version file of any length costs no memory.
// A first line longer than kMaxVersionLineBytes fails the write with
// base::Exception.
class TFirstLineStream : public base::TStream {
 public:
  using TStream::Write;
  void Write(const void* data, size_t count) override;
  size_t Read(void*, size_t) override { return 0; }
  int64_t Size() const override { return size_; }
  void SetSize(int64_t size) override;
  int64_t Position() const override { return position_; }
  void SetPosition(int64_t position) override;

  // Whether any byte came: a version file without one has no first line.
  bool HasLine() const { return size_ > 0; }
  const std::string& Line() const { return line_; }

 private:
  std::string line_;
  bool ended_ = false;
  int64_t size_ = 0;
  int64_t position_ = 0;
};

}  // namespace lugatim::banner

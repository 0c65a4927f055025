#include "banner/ChannelBounds.h"

#include <algorithm>

#include "banner/BannerFiles.h"
#include "base/Exception.h"

namespace lugatim::banner {

void TAdListBound::Count() {
  if (++lines_ > kMaxAdListLines)
    throw base::Exception(base::Format("The ad list has more than %d lines", kMaxAdListLines));
}

void TAdListBound::Feed(std::string_view bytes) {
  for (const char c : bytes) {
    if (afterCr_) {
      afterCr_ = false;
      if (c == '\n') continue;  // the second half of CR LF
    }
    if (c == '\r' || c == '\n') {
      if (!open_) Count();  // an empty line
      open_ = false;
      length_ = 0;
      afterCr_ = c == '\r';
      continue;
    }
    if (!open_) {
      Count();
      open_ = true;
    }
    if (++length_ > kMaxAdLineBytes)
      throw base::Exception(base::Format("An ad line is longer than %zu bytes", kMaxAdLineBytes));
  }
}

void CheckAdList(std::string_view text) {
  TAdListBound bound;
  bound.Feed(text);
}

std::string ReadAdList(const std::string& folder, std::string_view name) {
  // One byte more than the bounds allow tells a list at the bound from one beyond it.
  std::string text = ReadFolderFileHead(folder, name, kMaxAdListBytes + 1);
  CheckAdList(text);
  if (text.size() > kMaxAdListBytes)
    throw base::Exception("The ad list is longer than its bounds allow");
  return text;
}

void TAdListStream::Write(const void* data, size_t count) {
  bound_.Feed(std::string_view(static_cast<const char*>(data), count));
  target_.Write(data, count);
}

void TAdListStream::SetSize(int64_t size) {
  if (size == 0) bound_.Reset();
  target_.SetSize(size);
}

void TAdListStream::SetPosition(int64_t position) {
  if (position == 0) bound_.Reset();
  target_.SetPosition(position);
}

void TFirstLineStream::Write(const void* data, size_t count) {
  const std::string_view bytes(static_cast<const char*>(data), count);
  if (!ended_) {
    const size_t end = bytes.find_first_of("\r\n");
    line_.append(bytes.substr(0, end));
    ended_ = end != std::string_view::npos;
    if (line_.size() > kMaxVersionLineBytes)
      throw base::Exception(base::Format("The version file's first line is longer than %zu bytes",
                                         kMaxVersionLineBytes));
  }
  position_ += static_cast<int64_t>(count);
  size_ = std::max(size_, position_);
}

void TFirstLineStream::SetSize(int64_t size) {
  base::CheckStreamSize(size);
  if (size == 0) *this = TFirstLineStream();
  size_ = size;
  position_ = std::min(position_, size);
}

void TFirstLineStream::SetPosition(int64_t position) {
  base::CheckStreamPosition(position);
  if (position == 0) *this = TFirstLineStream();
  position_ = position;
}

}  // namespace lugatim::banner

#include "base/Stream.h"

#include <algorithm>
#include <cstring>

#include "base/Exception.h"

namespace lugatim::base {

void TMemoryStream::Write(const void* data, size_t count) {
  if (count == 0) return;
  const size_t pos = static_cast<size_t>(position_);
  if (pos + count > bytes_.size()) bytes_.resize(pos + count, '\0');
  std::memcpy(bytes_.data() + pos, data, count);
  position_ += static_cast<int64_t>(count);
}

size_t TMemoryStream::Read(void* data, size_t count) {
  if (position_ >= Size()) return 0;
  const size_t n = std::min(count, bytes_.size() - static_cast<size_t>(position_));
  std::memcpy(data, bytes_.data() + position_, n);
  position_ += static_cast<int64_t>(n);
  return n;
}

void CheckStreamSize(int64_t size) {
  if (size < 0) throw Exception(Format("Invalid stream size (%lld)", static_cast<long long>(size)));
}

void CheckStreamPosition(int64_t position) {
  if (position < 0) {
    throw Exception(Format("Invalid stream position (%lld)", static_cast<long long>(position)));
  }
}

void TMemoryStream::SetSize(int64_t size) {
  CheckStreamSize(size);
  bytes_.resize(static_cast<size_t>(size), '\0');
  position_ = std::min(position_, size);
}

void TMemoryStream::SetPosition(int64_t position) {
  CheckStreamPosition(position);
  position_ = position;
}

void TNullStream::Write(const void*, size_t count) {
  position_ += static_cast<int64_t>(count);
  size_ = std::max(size_, position_);
}

void TNullStream::SetSize(int64_t size) {
  CheckStreamSize(size);
  size_ = size;
  position_ = std::min(position_, size);
}

void TNullStream::SetPosition(int64_t position) {
  CheckStreamPosition(position);
  position_ = position;
}

}  // namespace lugatim::base

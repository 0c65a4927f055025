#pragma once
// The growable buffer of received bytes that readers have not consumed yet.
// Consuming from the front is cheap: the read offset moves, and the storage
// is compacted only when the consumed part outweighs what is left.

#include <cstddef>
#include <string>
#include <string_view>

namespace lugatim::http {

class TByteQueue {
 public:
  size_t Size() const { return bytes_.size() - start_; }
  bool Empty() const { return Size() == 0; }
  std::string_view View() const { return std::string_view(bytes_).substr(start_); }

  void Append(const char* data, size_t count) { bytes_.append(data, count); }
  void Append(std::string_view data) { bytes_.append(data); }

  // The offset of the first occurrence of c at or after from, or npos.
  size_t Find(char c, size_t from = 0) const {
    const size_t at = bytes_.find(c, start_ + from);
    return at == std::string::npos ? std::string::npos : at - start_;
  }

  // Removes the first count bytes (at most all of them).
  void Consume(size_t count) {
    start_ += count < Size() ? count : Size();
    if (start_ == bytes_.size()) {
      bytes_.clear();
      start_ = 0;
    } else if (start_ > 4096 && start_ > bytes_.size() / 2) {
      bytes_.erase(0, start_);
      start_ = 0;
    }
  }

  void Clear() {
    bytes_.clear();
    start_ = 0;
  }

 private:
  std::string bytes_;
  size_t start_ = 0;
};

}  // namespace lugatim::http

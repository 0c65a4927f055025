#pragma once
// Byte streams: the memory stream that transfers fill and the interface that
// file streams share with it.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lugatim::base {

class TStream {
 public:
  virtual ~TStream() = default;
  // Writes all bytes at the position and advances it; fails with an Exception.
  virtual void Write(const void* data, size_t count) = 0;
  // Reads up to count bytes from the position; returns how many were read.
  virtual size_t Read(void* data, size_t count) = 0;
  virtual int64_t Size() const = 0;
  virtual void SetSize(int64_t size) = 0;
  virtual int64_t Position() const = 0;
  // Positions beyond the end are allowed; a later write fills the gap with zeros.
  virtual void SetPosition(int64_t position) = 0;

  void Write(std::string_view bytes) { Write(bytes.data(), bytes.size()); }
};

// Fail with Exception "Invalid stream size (%lld)" / "Invalid stream
// position (%lld)" for a negative value, as every stream does.
void CheckStreamSize(int64_t size);
void CheckStreamPosition(int64_t position);

class TMemoryStream : public TStream {
 public:
  using TStream::Write;
  void Write(const void* data, size_t count) override;
  size_t Read(void* data, size_t count) override;
  int64_t Size() const override { return static_cast<int64_t>(bytes_.size()); }
  // Shrinking moves a position past the new end back to the end.
  void SetSize(int64_t size) override;
  int64_t Position() const override { return position_; }
  void SetPosition(int64_t position) override;

  // The whole content, whatever the position.
  const std::string& Bytes() const { return bytes_; }
  void Clear() {
    bytes_.clear();
    position_ = 0;
  }

 private:
  std::string bytes_;
  int64_t position_ = 0;
};

// A stream that keeps nothing: writes only move the position and the size,
// reads find no bytes. For a transfer whose content is not wanted.
class TNullStream : public TStream {
 public:
  using TStream::Write;
  void Write(const void* data, size_t count) override;
  size_t Read(void*, size_t) override { return 0; }
  int64_t Size() const override { return size_; }
  void SetSize(int64_t size) override;
  int64_t Position() const override { return position_; }
  void SetPosition(int64_t position) override;

 private:
  int64_t size_ = 0;
  int64_t position_ = 0;
};

}  // namespace lugatim::base

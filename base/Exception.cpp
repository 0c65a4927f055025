#include "base/Exception.h"

#include <cstdarg>
#include <cstdio>

namespace lugatim::base {

std::string Format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  va_list copy;
  va_copy(copy, args);
  const int needed = std::vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  std::string out;
  if (needed > 0) {
    out.resize(static_cast<size_t>(needed));
    std::vsnprintf(out.data(), out.size() + 1, fmt, args);
  }
  va_end(args);
  return out;
}

EConvertError EConvertError::InvalidInteger(const std::string& text) {
  return EConvertError(Format("'%s' is not a valid integer value", text.c_str()));
}

EListError EListError::IndexOutOfBounds(long long index) {
  return EListError(Format("List index out of bounds (%lld)", index));
}

}  // namespace lugatim::base

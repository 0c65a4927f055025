#pragma once
// Failures of the program are exceptions derived from one base carrying the
// message text that the user or the caller sees, exactly as the program words it.

#include <exception>
#include <string>

namespace lugatim::base {

// printf-style formatting into a std::string (%s takes a const char*).
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// A text that is not one integer: "'%s' is not a valid integer value".
class EConvertError : public Exception {
 public:
  using Exception::Exception;
  static EConvertError InvalidInteger(const std::string& text);
};

// An index outside a list: "List index out of bounds (%d)".
class EListError : public Exception {
 public:
  using Exception::Exception;
  static EListError IndexOutOfBounds(long long index);
};

// The silent abort: ends a handler without any message; the application's
// error box ignores it.
class EAbort : public Exception {
 public:
  EAbort() : Exception("Operation aborted") {}
};

}  // namespace lugatim::base

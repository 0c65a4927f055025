#pragma once
// Small text helpers of the protocol code: ASCII case-insensitive comparison
// and blank trimming (header names and tokens are ASCII).

#include <string>
#include <string_view>

namespace lugatim::http {

inline char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

inline bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

inline bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// Without leading and trailing spaces, tabs and other control characters.
inline std::string_view Trim(std::string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
  return text.substr(begin, end - begin);
}

inline std::string_view TrimLeftBlanks(std::string_view text) {
  size_t begin = 0;
  while (begin < text.size() && IsBlank(text[begin])) ++begin;
  return text.substr(begin);
}

}  // namespace lugatim::http

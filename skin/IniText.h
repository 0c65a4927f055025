#pragma once
// An INI reader over text held in memory, with the rules of the platform's
// private-profile reader: section and key names match without regard to
// (ASCII) case, the first matching section and key win, a value is the text
// after the first "=" with the surrounding blanks removed, at most 2047
// characters of a value are seen, and a missing key yields the default.
// Lines starting with ";" are comments.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lugatim::skin {

class TIniText {
 public:
  explicit TIniText(std::string_view text);

  // The value of the key, or the default when the section or key is missing.
  std::string ReadString(std::string_view section, std::string_view key,
                         const std::string& defaultValue) const;
  // The value read as integer text (decimal, or hexadecimal after "$" or
  // "0x"); the default when the key is missing or not an integer.
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t defaultValue) const;

  static constexpr size_t kMaxValueChars = 2047;

 private:
  struct Entry {
    std::string key;  // folded to upper case
    std::string value;
  };
  struct Section {
    std::string name;  // folded to upper case
    std::vector<Entry> entries;
  };
  std::vector<Section> sections_;
};

}  // namespace lugatim::skin

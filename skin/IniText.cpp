#include "skin/IniText.h"

#include "base/IntText.h"
#include "base/StringList.h"

namespace lugatim::skin {
namespace {

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The first kMaxValueChars characters; a character is one UTF-8 sequence.
std::string Cap(std::string_view value) {
  size_t chars = 0, i = 0;
  while (i < value.size()) {
    if ((static_cast<unsigned char>(value[i]) & 0xC0) != 0x80) {
      if (chars == TIniText::kMaxValueChars) break;
      ++chars;
    }
    ++i;
  }
  return std::string(value.substr(0, i));
}

}  // namespace

TIniText::TIniText(std::string_view text) {
  Section* current = nullptr;
  for (const std::string& raw : base::SplitLines(text)) {
    const std::string_view line = Trim(raw);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const size_t close = line.find(']');
      const std::string_view name = Trim(
          line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
      sections_.push_back({Upper(name), {}});
      current = &sections_.back();
      continue;
    }
    const size_t eq = line.find('=');
    if (current == nullptr || eq == std::string_view::npos) continue;
    current->entries.push_back({Upper(Trim(line.substr(0, eq))), Cap(Trim(line.substr(eq + 1)))});
  }
}

std::string TIniText::ReadString(std::string_view section, std::string_view key,
                                 const std::string& defaultValue) const {
  const std::string s = Upper(section), k = Upper(key);
  for (const Section& sec : sections_) {
    if (sec.name != s) continue;
    for (const Entry& e : sec.entries)
      if (e.key == k) return e.value;
    return defaultValue;  // the first section of that name is the one read
  }
  return defaultValue;
}

int32_t TIniText::ReadInteger(std::string_view section, std::string_view key,
                              int32_t defaultValue) const {
  const std::string value = ReadString(section, key, std::string());
  // Hexadecimal only after "$" or "0x": a bare "x" prefix is no number here.
  return base::TryStrToInt(value, base::THexPrefixes::DollarOr0x).value_or(defaultValue);
}

}  // namespace lugatim::skin

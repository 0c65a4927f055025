#include "tools/Text.h"

#include "base/TextFold.h"

namespace lugatim::tools {

size_t CharCount(std::string_view text) {
  size_t n = 0;
  for (unsigned char c : text) n += (c & 0xC0) != 0x80;
  return n;
}

std::string_view Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::string CollapseSpaces(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  bool space = false;
  for (char c : Trim(text)) {
    if (c == ' ' || c == '\t') {
      space = true;
      continue;
    }
    if (space) out.push_back(' ');
    space = false;
    out.push_back(c);
  }
  return out;
}

namespace {

char32_t TurkishLowerChar(char32_t cp) {
  if (cp == U'I') return 0x0131;
  if (cp == 0x0130) return U'i';
  if (cp >= U'A' && cp <= U'Z') return cp + 0x20;
  if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) return cp + 0x20;
  // Latin Extended-A pairs capital/small at even/odd code points in these runs.
  if (((cp >= 0x0100 && cp <= 0x012F) || (cp >= 0x0132 && cp <= 0x0137) ||
       (cp >= 0x014A && cp <= 0x0177)) &&
      cp % 2 == 0)
    return cp + 1;
  if (((cp >= 0x0139 && cp <= 0x0148) || (cp >= 0x0179 && cp <= 0x017E)) && cp % 2 == 1)
    return cp + 1;
  if (cp == 0x0178) return 0xFF;
  return cp;
}

bool IsWordChar(char32_t cp) {
  if (cp < 0x80)
    return (cp >= U'0' && cp <= U'9') || (cp >= U'a' && cp <= U'z') || (cp >= U'A' && cp <= U'Z');
  if (cp >= 0x2010 && cp <= 0x205F) return false;  // dashes, quotes, general punctuation
  if (cp == 0xA0 || cp == 0xAB || cp == 0xBB || cp == 0xB7) return false;
  return true;
}

}  // namespace

std::string TurkishLower(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) base::AppendUtf8(out, TurkishLowerChar(base::NextCodePoint(text, pos)));
  return out;
}

std::vector<std::string> Words(std::string_view text) {
  std::vector<std::string> words;
  size_t pos = 0;
  size_t start = std::string_view::npos;
  while (pos < text.size()) {
    const size_t at = pos;
    const bool word = IsWordChar(base::NextCodePoint(text, pos));
    if (word && start == std::string_view::npos) start = at;
    if (!word && start != std::string_view::npos) {
      words.push_back(base::FoldCase(text.substr(start, at - start)));
      start = std::string_view::npos;
    }
  }
  if (start != std::string_view::npos) words.push_back(base::FoldCase(text.substr(start)));
  return words;
}

std::vector<std::string> SplitOutsideParens(std::string_view text, std::string_view sep) {
  std::vector<std::string> parts;
  int depth = 0;
  size_t begin = 0;
  for (size_t i = 0; i < text.size();) {
    if (text[i] == '(') ++depth;
    if (text[i] == ')' && depth > 0) --depth;
    if (depth == 0 && text.substr(i).starts_with(sep)) {
      parts.emplace_back(text.substr(begin, i - begin));
      i += sep.size();
      begin = i;
      continue;
    }
    ++i;
  }
  parts.emplace_back(text.substr(begin));
  return parts;
}

bool ParensBalanced(std::string_view text) {
  int depth = 0;
  for (char c : text) {
    if (c == '(') ++depth;
    if (c == ')' && --depth < 0) return false;
  }
  return depth == 0;
}

}  // namespace lugatim::tools

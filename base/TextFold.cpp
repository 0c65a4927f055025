#include "base/TextFold.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace lugatim::base {

namespace {

struct FoldRow {
  uint32_t cp;
  std::array<uint32_t, 3> folded;
};

constexpr FoldRow kFoldTable[] = {
#include "base/CaseFoldTable.inc"
};

void AppendFolded(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    if (cp == U'I')
      cp = U'i';
    else if (cp >= U'A' && cp <= U'Z')
      cp = cp - U'A' + U'a';
    out.push_back(static_cast<char>(cp));
    return;
  }
  // Turkish dotted capital I and dotless small i fold together with I and i.
  if (cp == 0x0130 || cp == 0x0131) {
    out.push_back('i');
    return;
  }
  const auto* end = std::end(kFoldTable);
  const auto* row = std::lower_bound(std::begin(kFoldTable), end, static_cast<uint32_t>(cp),
                                     [](const FoldRow& r, uint32_t v) { return r.cp < v; });
  if (row == end || row->cp != cp) {
    AppendUtf8(out, cp);
    return;
  }
  for (uint32_t f : row->folded) {
    if (f != 0) AppendUtf8(out, f);
  }
}

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

char32_t NextCodePoint(std::string_view s, size_t& pos) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char b0 = byte(pos);
  if (b0 < 0x80) {
    ++pos;
    return b0;
  }
  int extra;
  char32_t cp;
  char32_t min;
  if ((b0 & 0xE0) == 0xC0) {
    extra = 1, cp = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    extra = 2, cp = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    extra = 3, cp = b0 & 0x07, min = 0x10000;
  } else {
    ++pos;
    return 0xFFFD;
  }
  if (pos + static_cast<size_t>(extra) >= s.size()) {  // truncated sequence
    ++pos;
    return 0xFFFD;
  }
  for (int k = 1; k <= extra; ++k) {
    const unsigned char b = byte(pos + static_cast<size_t>(k));
    if ((b & 0xC0) != 0x80) {
      ++pos;
      return 0xFFFD;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++pos;
    return 0xFFFD;
  }
  pos += static_cast<size_t>(extra) + 1;
  return cp;
}

std::string FoldCase(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  size_t pos = 0;
  while (pos < utf8.size()) AppendFolded(out, NextCodePoint(utf8, pos));
  return out;
}

int CompareIgnoringCase(std::string_view a, std::string_view b) {
  // UTF-8 byte order is code point order, so the folded bytes compare directly.
  const std::string fa = FoldCase(a);
  const std::string fb = FoldCase(b);
  return fa.compare(fb) < 0 ? -1 : (fa == fb ? 0 : 1);
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return FoldCase(text).starts_with(FoldCase(prefix));
}

}  // namespace lugatim::base

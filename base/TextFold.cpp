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

// Latin letters with diacritics (small forms) and the plain letters they stand for.
struct Plain {
  char32_t cp;
  const char* letters;
};
constexpr Plain kPlain[] = {
    {0xDF, "ss"}, {0xE0, "a"},  {0xE1, "a"},  {0xE2, "a"},   {0xE3, "a"},  {0xE4, "a"},
    {0xE5, "a"},  {0xE6, "ae"}, {0xE7, "c"},  {0xE8, "e"},   {0xE9, "e"},  {0xEA, "e"},
    {0xEB, "e"},  {0xEC, "i"},  {0xED, "i"},  {0xEE, "i"},   {0xEF, "i"},  {0xF0, "d"},
    {0xF1, "n"},  {0xF2, "o"},  {0xF3, "o"},  {0xF4, "o"},   {0xF5, "o"},  {0xF6, "o"},
    {0xF8, "o"},  {0xF9, "u"},  {0xFA, "u"},  {0xFB, "u"},   {0xFC, "u"},  {0xFD, "y"},
    {0xFE, "th"}, {0xFF, "y"},  {0x101, "a"}, {0x103, "a"},  {0x105, "a"}, {0x107, "c"},
    {0x109, "c"}, {0x10B, "c"}, {0x10D, "c"}, {0x10F, "d"},  {0x111, "d"}, {0x113, "e"},
    {0x115, "e"}, {0x117, "e"}, {0x119, "e"}, {0x11B, "e"},  {0x11D, "g"}, {0x11F, "g"},
    {0x121, "g"}, {0x123, "g"}, {0x125, "h"}, {0x127, "h"},  {0x129, "i"}, {0x12B, "i"},
    {0x12D, "i"}, {0x12F, "i"}, {0x131, "i"}, {0x133, "ij"}, {0x135, "j"}, {0x137, "k"},
    {0x13A, "l"}, {0x13C, "l"}, {0x13E, "l"}, {0x140, "l"},  {0x142, "l"}, {0x144, "n"},
    {0x146, "n"}, {0x148, "n"}, {0x14D, "o"}, {0x14F, "o"},  {0x151, "o"}, {0x153, "oe"},
    {0x155, "r"}, {0x157, "r"}, {0x159, "r"}, {0x15B, "s"},  {0x15D, "s"}, {0x15F, "s"},
    {0x161, "s"}, {0x163, "t"}, {0x165, "t"}, {0x167, "t"},  {0x169, "u"}, {0x16B, "u"},
    {0x16D, "u"}, {0x16F, "u"}, {0x171, "u"}, {0x173, "u"},  {0x175, "w"}, {0x177, "y"},
    {0x17A, "z"}, {0x17C, "z"}, {0x17E, "z"},
};

bool IsCombiningMark(char32_t cp) {
  return (cp >= 0x0300 && cp <= 0x036F) || (cp >= 0x1AB0 && cp <= 0x1AFF) ||
         (cp >= 0x1DC0 && cp <= 0x1DFF) || (cp >= 0x20D0 && cp <= 0x20FF) ||
         (cp >= 0xFE20 && cp <= 0xFE2F);
}

// Appends the case folding of one code point under the language's pairs;
// with plain set, each folded letter without its diacritics.
void AppendFolded(std::string& out, char32_t cp, TLanguage language, bool plain) {
  const auto put = [&](char32_t c) {
    if (plain) {
      if (IsCombiningMark(c)) return;
      if (const char* letters = PlainLetters(c)) {
        out += letters;
        return;
      }
    }
    AppendUtf8(out, c);
  };
  if (cp < 0x80) {
    if (cp >= U'A' && cp <= U'Z') {
      // Turkish pairs the capital I with the dotless small ı.
      put(cp == U'I' && language == TLanguage::Turkish ? 0x0131 : cp - U'A' + U'a');
    } else {
      out.push_back(static_cast<char>(cp));
    }
    return;
  }
  // The dotted capital İ is the capital of i in Turkish, and I with a dot in
  // English: i in both (Unicode's full folding would add a combining dot).
  if (cp == 0x0130) {
    out.push_back('i');
    return;
  }
  const auto* end = std::end(kFoldTable);
  const auto* row = std::lower_bound(std::begin(kFoldTable), end, static_cast<uint32_t>(cp),
                                     [](const FoldRow& r, uint32_t v) { return r.cp < v; });
  if (row == end || row->cp != cp) {
    put(cp);
    return;
  }
  for (uint32_t f : row->folded) {
    if (f != 0) put(f);
  }
}

std::string Fold(std::string_view utf8, TLanguage language, bool plain) {
  std::string out;
  out.reserve(utf8.size());
  size_t pos = 0;
  while (pos < utf8.size()) AppendFolded(out, NextCodePoint(utf8, pos), language, plain);
  return out;
}

int Sign(int v) {
  return v < 0 ? -1 : (v > 0 ? 1 : 0);
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

const char* PlainLetters(char32_t cp) {
  const auto* end = std::end(kPlain);
  const auto* it = std::lower_bound(std::begin(kPlain), end, cp,
                                    [](const Plain& p, char32_t v) { return p.cp < v; });
  return it != end && it->cp == cp ? it->letters : nullptr;
}

std::string FoldCase(std::string_view utf8, TLanguage language) {
  return Fold(utf8, language, false);
}

std::string FoldMarks(std::string_view utf8, TLanguage language) {
  return Fold(utf8, language, true);
}

// UTF-8 byte order is code point order, so the folded bytes compare directly.
int CompareIgnoringCase(std::string_view a, std::string_view b, TLanguage language) {
  return Sign(FoldCase(a, language).compare(FoldCase(b, language)));
}

int CompareIgnoringMarks(std::string_view a, std::string_view b, TLanguage language) {
  return Sign(FoldMarks(a, language).compare(FoldMarks(b, language)));
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix, TLanguage language) {
  return FoldCase(text, language).starts_with(FoldCase(prefix, language));
}

bool IsValidUtf8(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t start = pos;
    const char32_t cp = base::NextCodePoint(text, pos);
    // NextCodePoint yields U+FFFD for malformed bytes; a real U+FFFD takes three.
    if (cp == 0xFFFD && pos - start != 3) return false;
  }
  return true;
}

}  // namespace lugatim::base

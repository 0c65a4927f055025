#include "tools/Collation.h"

#include <algorithm>

#include "base/TextFold.h"
#include "tools/Text.h"

namespace lugatim::tools {

namespace {

constexpr char32_t kSpace = 1;
constexpr char32_t kPunct = 0x100;     // + ASCII code
constexpr char32_t kDigit = 0x200;     // + digit
constexpr char32_t kLetter = 0x1000;   // + rank
constexpr char32_t kOther = 0x100000;  // + code point: after every letter

// Latin letters with accents (small forms, after TurkishLower) and the plain
// letters they sort with.
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

const char* PlainLetters(char32_t cp) {
  const auto* end = std::end(kPlain);
  const auto* it = std::lower_bound(std::begin(kPlain), end, cp,
                                    [](const Plain& p, char32_t v) { return p.cp < v; });
  return it != end && it->cp == cp ? it->letters : nullptr;
}

// Rank of a small letter in the Turkish alphabet, or -1.
int TurkishRank(char32_t cp) {
  static constexpr char32_t kAlphabet[] = {U'a',  U'b', U'c',  0xE7, U'd', U'e', U'f', U'g',
                                           0x11F, U'h', 0x131, U'i', U'j', U'k', U'l', U'm',
                                           U'n',  U'o', 0xF6,  U'p', U'q', U'r', U's', 0x15F,
                                           U't',  U'u', 0xFC,  U'v', U'w', U'x', U'y', U'z'};
  for (size_t i = 0; i < std::size(kAlphabet); ++i)
    if (kAlphabet[i] == cp) return static_cast<int>(i);
  if (cp == 0xE2) return 0;   // â
  if (cp == 0xEE) return 11;  // î
  if (cp == 0xFB) return 25;  // û
  return -1;
}

void AppendNonLetter(std::u32string& key, char32_t cp) {
  if (cp == U' ' || cp == U'\t' || cp == 0xA0) {
    key.push_back(kSpace);
  } else if (cp >= U'0' && cp <= U'9') {
    key.push_back(kDigit + (cp - U'0'));
  } else if (cp < 0x80) {
    key.push_back(kPunct + cp);
  } else if (cp >= 0x2010 && cp <= 0x2015) {
    key.push_back(kPunct + U'-');
  } else if (cp == 0x2018 || cp == 0x2019 || cp == 0x02BC) {
    key.push_back(kPunct + U'\'');
  } else if (cp == 0x201C || cp == 0x201D) {
    key.push_back(kPunct + U'"');
  } else {
    key.push_back(kOther + cp);
  }
}

}  // namespace

std::u32string SortKey(std::string_view headword, TLang lang) {
  const std::string lower = TurkishLower(headword);
  std::u32string key;
  key.reserve(lower.size());
  size_t pos = 0;
  while (pos < lower.size()) {
    char32_t cp = base::NextCodePoint(lower, pos);
    if (lang == TLang::English && cp == 0x131) cp = U'i';  // English I is i
    if (lang == TLang::Turkish) {
      const int rank = TurkishRank(cp);
      if (rank >= 0) {
        key.push_back(kLetter + static_cast<char32_t>(rank));
        continue;
      }
    }
    if (cp >= U'a' && cp <= U'z') {
      const int rank = lang == TLang::Turkish ? TurkishRank(cp) : static_cast<int>(cp - U'a');
      key.push_back(kLetter + static_cast<char32_t>(rank));
      continue;
    }
    if (const char* plain = PlainLetters(cp)) {
      for (const char* p = plain; *p; ++p) {
        const char32_t c = static_cast<unsigned char>(*p);
        key.push_back(kLetter + static_cast<char32_t>(lang == TLang::Turkish ? TurkishRank(c)
                                                                             : int(c - U'a')));
      }
      continue;
    }
    AppendNonLetter(key, cp);
  }
  return key;
}

namespace {

int Sign(int v) {
  return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

int CompareKeys(const std::u32string& ka, const std::string& la, const std::string& a,
                const std::u32string& kb, const std::string& lb, const std::string& b) {
  if (int c = ka.compare(kb)) return Sign(c);
  if (int c = la.compare(lb)) return Sign(c);
  return Sign(a.compare(b));
}

}  // namespace

// Lower case for the accent tie-break: English folds I with i, Turkish with ı.
static std::string Lower(std::string_view text, TLang lang) {
  return lang == TLang::Turkish ? TurkishLower(text) : base::FoldCase(text);
}

int CollateCompare(std::string_view a, std::string_view b, TLang lang) {
  return CompareKeys(SortKey(a, lang), Lower(a, lang), std::string(a), SortKey(b, lang),
                     Lower(b, lang), std::string(b));
}

std::vector<size_t> CollationOrder(const std::vector<std::string>& words, TLang lang) {
  struct Keyed {
    std::u32string key;
    std::string lower;
  };
  std::vector<Keyed> keyed(words.size());
  for (size_t i = 0; i < words.size(); ++i)
    keyed[i] = {SortKey(words[i], lang), Lower(words[i], lang)};
  std::vector<size_t> order(words.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) {
    return CompareKeys(keyed[x].key, keyed[x].lower, words[x], keyed[y].key, keyed[y].lower,
                       words[y]) < 0;
  });
  return order;
}

void SortRows(std::vector<TRow>& rows, TLang lang) {
  std::vector<std::string> words;
  words.reserve(rows.size());
  for (const TRow& r : rows) words.push_back(r.kelime);
  std::vector<TRow> sorted;
  sorted.reserve(rows.size());
  for (size_t i : CollationOrder(words, lang)) sorted.push_back(std::move(rows[i]));
  rows = std::move(sorted);
}

}  // namespace lugatim::tools

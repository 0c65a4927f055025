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
    if (const char* plain = base::PlainLetters(cp)) {
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
  return lang == TLang::Turkish ? TurkishLower(text)
                                : base::FoldCase(text, base::TLanguage::English);
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

#include "morph/Letters.h"

#include "base/TextFold.h"

namespace lugatim::morph {

bool IsVowel(char32_t c) {
  switch (c) {
    case U'a':
    case U'e':
    case U'ı':
    case U'i':
    case U'o':
    case U'ö':
    case U'u':
    case U'ü':
    case U'â':
    case U'î':
    case U'û':
    case U'ê':
      return true;
    default:
      return false;
  }
}

bool IsBackVowel(char32_t c) {
  return c == U'a' || c == U'ı' || c == U'o' || c == U'u' || c == U'â' || c == U'û';
}

bool IsRoundedVowel(char32_t c) {
  return c == U'o' || c == U'ö' || c == U'u' || c == U'ü' || c == U'û';
}

bool IsVoiceless(char32_t c) {
  switch (c) {
    case U'ç':
    case U'f':
    case U'h':
    case U'k':
    case U'p':
    case U's':
    case U'ş':
    case U't':
      return true;
    default:
      return false;
  }
}

char32_t PlainLetter(char32_t c) {
  switch (c) {
    case U'ç':
      return U'c';
    case U'ğ':
      return U'g';
    case U'ı':
    case U'î':
      return U'i';
    case U'ö':
      return U'o';
    case U'ş':
      return U's';
    case U'ü':
    case U'û':
      return U'u';
    case U'â':
      return U'a';
    case U'ê':
      return U'e';
    default:
      return c;
  }
}

std::u32string PlainLetters(std::u32string_view text) {
  std::u32string out(text);
  for (char32_t& c : out) c = PlainLetter(c);
  return out;
}

char32_t HighVowelAfter(char32_t vowel) {
  if (vowel == U'\0') return U'ı';
  const bool back = IsBackVowel(vowel);
  if (IsRoundedVowel(vowel)) return back ? U'u' : U'ü';
  return back ? U'ı' : U'i';
}

char32_t LowVowelAfter(char32_t vowel) {
  if (vowel == U'\0') return U'a';
  return IsBackVowel(vowel) ? U'a' : U'e';
}

char32_t FrontOf(char32_t vowel) {
  switch (vowel) {
    case U'a':
    case U'â':
      return U'e';
    case U'ı':
      return U'i';
    case U'o':
      return U'ö';
    case U'u':
    case U'û':
      return U'ü';
    default:
      return vowel;
  }
}

char32_t LastVowel(std::u32string_view text) {
  for (size_t i = text.size(); i > 0; --i)
    if (IsVowel(text[i - 1])) return text[i - 1];
  return U'\0';
}

std::u32string ToUtf32(std::string_view utf8) {
  std::u32string out;
  out.reserve(utf8.size());
  for (size_t pos = 0; pos < utf8.size();) out.push_back(base::NextCodePoint(utf8, pos));
  return out;
}

std::string ToUtf8(std::u32string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (char32_t c : text) base::AppendUtf8(out, c);
  return out;
}

std::u32string TurkishSmall(std::string_view utf8) {
  std::u32string out;
  for (char32_t c : ToUtf32(base::FoldCase(utf8, base::TLanguage::Turkish))) {
    if (c == U'\'' || c == U'\u2019') continue;
    if (c == U'\u0307') continue;  // a combining dot left over from İ
    out.push_back(c);
  }
  return out;
}

}  // namespace lugatim::morph

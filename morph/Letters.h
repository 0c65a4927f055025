#pragma once
// Turkish letters as the analyser sees them: one code point each, small.
// Vowel classes drive harmony; the voiceless consonants drive d/t and c/ç;
// the plain letter of each Turkish letter is what a keyboard without
// Turkish keys types (ç → c, ğ → g, ı → i, ö → o, ş → s, ü → u, â → a).

#include <string>
#include <string_view>

namespace lugatim::morph {

bool IsVowel(char32_t c);
bool IsBackVowel(char32_t c);
bool IsRoundedVowel(char32_t c);
bool IsVoiceless(char32_t c);  // ç f h k p s ş t

// The plain letter of a small letter; other characters stand for themselves.
char32_t PlainLetter(char32_t c);
std::u32string PlainLetters(std::u32string_view text);

// The high vowel (ı i u ü) and the low vowel (a e) that follow a vowel.
char32_t HighVowelAfter(char32_t vowel);
char32_t LowVowelAfter(char32_t vowel);
// The vowel's front counterpart (a → e, ı → i, o → ö, u → ü).
char32_t FrontOf(char32_t vowel);
// The last vowel of a text, or U'\0' when it has none.
char32_t LastVowel(std::u32string_view text);

std::u32string ToUtf32(std::string_view utf8);
std::string ToUtf8(std::u32string_view text);

// Small letters by the Turkish case pairs (I → ı, İ → i), apostrophes
// (’ and ') removed: "Ankara'da" is analysed as "ankarada".
std::u32string TurkishSmall(std::string_view utf8);

}  // namespace lugatim::morph

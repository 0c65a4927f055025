#pragma once
// Case-insensitive comparison of UTF-8 text by the rule of a language.
//
// Turkish pairs I with ı and İ with i, and keeps ı and i apart: "ılık" and
// "ilik" are different words. English pairs I with i (İ counts as I with a
// dot, so it folds to i as well). Every other character takes its full
// Unicode case folding (ß → ss, Ç → ç, Ğ → ğ, ...) in both.
//
// Without marks, the same folding then takes the letters without their
// diacritics (ç → c, ğ → g, ı → i, ö → o, ş → s, ü → u, â → a, é → e, ...) and
// drops combining marks: the comparison for a person without Turkish keys.
//
// Case-sensitive comparison elsewhere in the program is plain byte equality.

#include <string>
#include <string_view>

namespace lugatim::base {

// The language of a table's headwords; it chooses the case pairs.
enum class TLanguage { English, Turkish };

// The folded form of a UTF-8 text, itself UTF-8. Malformed bytes become U+FFFD.
std::string FoldCase(std::string_view utf8, TLanguage language = TLanguage::English);

// The folded form with every letter's diacritics removed.
std::string FoldMarks(std::string_view utf8, TLanguage language);

// Folded comparison: <0, 0 or >0, ordered by code point of the folded forms.
int CompareIgnoringCase(std::string_view a, std::string_view b, TLanguage language);
int CompareIgnoringMarks(std::string_view a, std::string_view b, TLanguage language);

// Whether the folded text begins with the folded prefix.
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix, TLanguage language);

// The plain letters a small Latin letter with diacritics stands for ("c" for
// ç, "ss" for ß, "ae" for æ, "i" for ı), or nullptr when it has none.
const char* PlainLetters(char32_t smallLetter);

// Appends the UTF-8 encoding of one code point.
void AppendUtf8(std::string& out, char32_t cp);

// Decodes the code point at pos and advances pos; malformed input yields U+FFFD
// and advances by one byte.
char32_t NextCodePoint(std::string_view utf8, size_t& pos);

// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool IsValidUtf8(std::string_view text);

}  // namespace lugatim::base

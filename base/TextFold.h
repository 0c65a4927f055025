#pragma once
// Case-insensitive comparison of UTF-8 text, right for Turkish: İ, I, ı and i
// all fold to i, and every other character takes its full Unicode case
// folding (ß → ss, Ç → ç, Ğ → ğ, ...). Case-sensitive comparison elsewhere in
// the program is plain byte equality.

#include <string>
#include <string_view>

namespace lugatim::base {

// The folded form of a UTF-8 text, itself UTF-8. Malformed bytes become U+FFFD.
std::string FoldCase(std::string_view utf8);

// Folded comparison: <0, 0 or >0, ordered by code point of the folded forms.
int CompareIgnoringCase(std::string_view a, std::string_view b);

// Whether the folded text begins with the folded prefix.
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);

// Appends the UTF-8 encoding of one code point.
void AppendUtf8(std::string& out, char32_t cp);

// Decodes the code point at pos and advances pos; malformed input yields U+FFFD
// and advances by one byte.
char32_t NextCodePoint(std::string_view utf8, size_t& pos);

}  // namespace lugatim::base

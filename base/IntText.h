#pragma once
// Integer text: the whole text of one 32-bit signed integer, read strictly.
//
//   [spaces] [+|-] ( decimal digits | ("$" | "x" | "X" | "0x" | "0X") hex digits )
//
// (the bare "x"/"X" prefix only where the caller accepts it).
//
// Only the space character may lead; nothing may trail (no space, no tab, no
// line break). The value, sign applied, must lie in the 32-bit signed range;
// hexadecimal text is a magnitude like decimal text, so "$7FFFFFFF" and
// "-$80000000" are the ends and "$FFFFFFFF" overflows.

#include <cstdint>
#include <optional>
#include <string_view>

namespace lugatim::base {

// The prefixes that mark hexadecimal text: all of "$", "x", "X", "0x",
// "0X", or only "$", "0x" and "0X" (text such as "x10" is then no integer).
enum class THexPrefixes { DollarXOr0x, DollarOr0x };

// The value of the text, or nothing when it is not integer text.
std::optional<int32_t> TryStrToInt(std::string_view text,
                                   THexPrefixes hex = THexPrefixes::DollarXOr0x);

// The value of the text; fails with EConvertError
// "'<text>' is not a valid integer value".
int32_t StrToInt(std::string_view text, THexPrefixes hex = THexPrefixes::DollarXOr0x);

}  // namespace lugatim::base

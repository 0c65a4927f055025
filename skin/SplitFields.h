#pragma once
// Cuts a description line into fields at a delimiter.
//
// Characters with codes 1 to 32 are skipped before the first field and after
// each field and delimiter. A field that starts with a double quote runs to
// the matching closing quote, a doubled quote inside standing for one quote;
// any other field runs up to the delimiter or a control character (code below
// 32), keeping blanks inside it and at its end. Two delimiters in a row give an
// empty field between them; a delimiter at the very end gives no field.
// Text after a NUL character is not looked at.

#include <string_view>

#include "base/StringList.h"

namespace lugatim::skin {

void SplitFields(base::TStringList& list, std::string_view text, char delimiter);

}  // namespace lugatim::skin

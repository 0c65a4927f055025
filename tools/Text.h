#pragma once
// Small UTF-8 text helpers of the importer: validity, length in characters,
// whitespace clean-up, Turkish lower case and word tokens.

#include <string>
#include <string_view>
#include <vector>

#include "base/TextFold.h"

namespace lugatim::tools {

using base::IsValidUtf8;

// Number of code points of well-formed UTF-8 text.
size_t CharCount(std::string_view text);

// Leading and trailing spaces and tabs removed.
std::string_view Trim(std::string_view text);

// Runs of spaces and tabs made one space; trimmed.
std::string CollapseSpaces(std::string_view text);

// Lower case the way Turkish writes it: I → ı, İ → i, the other letters of
// Latin-1 and Latin Extended-A to their small forms; everything else unchanged.
std::string TurkishLower(std::string_view text);

// The words of a text, case-folded (base::FoldCase): maximal runs of ASCII
// letters and digits and of non-ASCII characters other than dashes and quotes.
std::vector<std::string> Words(std::string_view text);

// Splits at every occurrence of sep that lies outside parentheses.
std::vector<std::string> SplitOutsideParens(std::string_view text, std::string_view sep);

// Whether every "(" has its ")" and none closes before it opens.
bool ParensBalanced(std::string_view text);

}  // namespace lugatim::tools

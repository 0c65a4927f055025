#pragma once
// Alphabetical (dictionary) order of headwords.
//
// English: letters a..z without regard to case or accents (é sorts with e,
// ß as ss, æ as ae). Turkish: a b c ç d e f g ğ h ı i j k l m n o ö p (q) r s
// ş t u ü v (w x) y z, case-insensitively with I ↔ ı and İ ↔ i, and â î û
// with a i u. In both, a space sorts before every other character and
// punctuation and digits before letters, so the order is word by word
// ("a la carte" < "a-one" < "aa"). Headwords equal in that order fall back
// to their accents, then to their exact bytes; rows whose headwords are
// identical keep their input order.

#include <string>
#include <string_view>
#include <vector>

#include "tools/ImportTypes.h"

namespace lugatim::tools {

// Primary sort weights of a headword; equal keys mean "same letters".
std::u32string SortKey(std::string_view headword, TLang lang);

// Three-way comparison in dictionary order (primary, then accents, then bytes).
int CollateCompare(std::string_view a, std::string_view b, TLang lang);

// The positions of words in dictionary order (a stable sort).
std::vector<size_t> CollationOrder(const std::vector<std::string>& words, TLang lang);

// Sorts rows by Kelime in dictionary order; stable for identical headwords.
void SortRows(std::vector<TRow>& rows, TLang lang);

}  // namespace lugatim::tools

#pragma once
// Reading dictd entries and finding reversed entries, for the tests of the
// reverse table and of its ranking.

#include <string>
#include <vector>

#include "tools/DictdEntry.h"
#include "tools/Reverse.h"

namespace toolstest {

inline lugatim::tools::TParsedEntry E(const std::string& text) {
  return lugatim::tools::ParseDictdEntry(text, "key");
}

// The reversed entry of the headword, or null.
inline const lugatim::tools::TReverseEntry* Find(
    const std::vector<lugatim::tools::TReverseEntry>& r, const std::string& headword) {
  for (const lugatim::tools::TReverseEntry& e : r)
    if (e.headword == headword) return &e;
  return nullptr;
}

}  // namespace toolstest

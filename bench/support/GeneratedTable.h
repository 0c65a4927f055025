#pragma once
// The generated benchmark table: 1,000,000 random headwords in alphabetical
// table order, a meaning and an example of realistic size, a BINARY index and
// the Turkish case-insensitive and mark-free indexes on Kelime, as the
// importer builds them for Turkish headwords. Built once and cached in
// $TMPDIR/lugatim-bench-2/Sozluk1.DB.

#include <string>
#include <vector>

namespace lugatim::bench {

// The folder holding the generated Sozluk1.DB (built on first use).
std::string GeneratedFolder();
// n random headwords drawn like the table's, from the given seed.
std::vector<std::string> SampleWords(int n, unsigned seed);

}  // namespace lugatim::bench

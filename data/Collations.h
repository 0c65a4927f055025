#pragma once
// The comparisons the table engine shares with SQLite: one case-insensitive
// collation and one without marks per headword language, and the match
// function behind a Locate that no index serves. Every connection that
// reads or builds a table registers them, so an index built with one of
// them orders its keys exactly as the search compares them.

#include "base/TextFold.h"

struct sqlite3;

namespace lugatim::data {

// "LUGATIM_NOCASE_EN" / "LUGATIM_NOCASE_TR": case-insensitive under the
// language's case pairs (base::FoldCase), ordered by folded code point.
const char* FoldCollation(base::TLanguage language);
// "LUGATIM_NOMARKS_EN" / "LUGATIM_NOMARKS_TR": the same without diacritics
// (base::FoldMarks).
const char* MarksCollation(base::TLanguage language);

// Registers the four collations and lugatim_match(key, value, options,
// language) on a connection; returns the first SQLite error code, else
// SQLITE_OK. lugatim_match tells whether key matches value under the Locate
// options (value arrives folded as those options fold it); NULL never matches.
int RegisterTextFunctions(sqlite3* db);

}  // namespace lugatim::data

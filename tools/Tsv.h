#pragma once
// A user's word list: UTF-8 text, one entry per line,
//
//   headword TAB category TAB prefix/suffix TAB meaning TAB example
//
// Trailing fields may be left out; a sixth field is an error. In meaning and
// example "\n" stands for a line break, "\t" for a tab and "\\" for a
// backslash; any other backslash there is an error. The other fields are
// taken literally, blanks around them trimmed; they may hold up to 255
// characters. Lines end in LF or CR LF. Empty lines, lines of blanks and
// lines starting with "#" are skipped; a UTF-8 byte order mark at the start
// is ignored. Invalid UTF-8, a NUL character and an empty headword are
// errors. Every error names the file and line: "words.tsv:7: more than five
// fields".

#include <string>
#include <string_view>
#include <vector>

#include "tools/ImportTypes.h"

namespace lugatim::tools {

// The rows of a word list in file order.
std::vector<TRow> ParseTsv(std::string_view text, const std::string& fileName);

// The text of an escaped meaning or example field; a bad escape fails with
// EImportError naming it (without file and line, which the caller adds).
std::string UnescapeTsvField(std::string_view field);

}  // namespace lugatim::tools

#pragma once
// Reading a dictionary in the dictd format: the .index lists every headword
// with the byte offset and length of its entry in the .dict text (numbers in
// dictd's base64, digits A-Z a-z 0-9 + /, most significant first); the
// .dict is plain text or dictzip, which is gzip with random-access data in
// the header and so readable as one gzip stream.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/Progress.h"

namespace lugatim::tools {

// The value of a dictd base64 number; nothing when it is empty, holds a
// character outside the alphabet, or exceeds 2^48 (no dictionary is that big).
std::optional<uint64_t> DecodeDictdNumber(std::string_view digits);

struct TIndexEntry {
  std::string key;  // the index's (normalised) headword
  uint64_t offset = 0;
  uint64_t length = 0;
  int line = 0;  // 1-based line of the .index
};

// The entries of an .index text in file order, without the "00database…"
// metadata entries (and the "00-database-…" spelling of older dictfmt).
// Malformed lines fail with EImportError "<fileName>:<line>: <what>".
std::vector<TIndexEntry> ParseDictdIndex(std::string_view text, const std::string& fileName);

// The whole content of a file; a missing or unreadable file fails with
// EImportError "<path>: <system error text>".
std::string ReadWholeFile(const std::string& path);

// The text of a .dict file: gunzipped when it starts with the gzip magic
// (every member, for concatenated streams), else the bytes unchanged.
// Damaged or truncated data fails with EImportError naming fileName.
std::string InflateDict(std::string_view data, const std::string& fileName,
                        TProgress& progress = TProgress::Silent());

struct TDictdEntry {
  std::string key;   // index headword
  std::string text;  // the entry's text from the .dict
  int line = 0;      // line of the .index that named it
};

// Every entry of a dictd dictionary in index order. An entry reaching past
// the end of the .dict fails with EImportError "<index>:<line>: …".
std::vector<TDictdEntry> ReadDictd(const std::string& indexPath, const std::string& dictPath,
                                   TProgress& progress = TProgress::Silent());

}  // namespace lugatim::tools

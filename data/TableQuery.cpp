// Listing the entries that match a value, for readers that show several
// matches at once rather than move to the first. The comparison is the one
// Locate uses: the same search key and the same match function.

#include <sqlite3.h>

#include <algorithm>

#include "data/Sql.h"
#include "data/Table.h"

namespace lugatim::data {

using sql::EngineError;
using sql::Query;
using sql::Quote;

std::vector<TEntry> TTable::Matching(const std::string& fieldName, const std::string& value,
                                     TLocateOptions options, int limit) const {
  CheckActive();
  std::vector<TEntry> entries;
  const TField& field = FieldByName(fieldName);
  const std::string& stored = columns_[static_cast<size_t>(field.Index())];
  if (((options & loPartialKey) != 0 && value.empty()) || count_ == 0 || limit == 0) {
    return entries;
  }
  const Index* index = IndexFor(stored, (options & loCaseInsensitive) != 0);
  const std::string column = Quote(stored);
  // The matches are found by their rowids alone, so that the search may read
  // a narrow index on the field instead of every entry's whole text; only the
  // entries listed are read in full.
  std::vector<int64_t> rowids;
  {
    const std::string order =
        index != nullptr ? " ORDER BY " + column + " COLLATE " + index->collation +
                               (index->descending ? " DESC, rowid LIMIT ?3" : ", rowid LIMIT ?3")
                         : "";
    Query q(Statement("SELECT rowid FROM " + sqlTable_ + " WHERE lugatim_match(" + column +
                      ", ?1, ?2)" + order));
    q.Bind(1, SearchKey(value, options));
    q.Bind(2, static_cast<int64_t>(options));
    if (index != nullptr) q.Bind(3, static_cast<int64_t>(limit));
    while (q.Step() == SQLITE_ROW) rowids.push_back(q.Int(0));
    if (q.Rc() != SQLITE_DONE) Fail(EngineError(q.Rc(), db_, path_));
  }
  if (index == nullptr) {
    // Without a fitting index Locate finds the first match in table order.
    std::sort(rowids.begin(), rowids.end());
    if (limit > 0 && rowids.size() > static_cast<size_t>(limit))
      rowids.resize(static_cast<size_t>(limit));
  }
  std::string list;
  for (const auto& c : columns_) list += (list.empty() ? "" : ", ") + Quote(c);
  for (const int64_t rowid : rowids) {
    Query q(Statement("SELECT " + list + " FROM " + sqlTable_ + " WHERE rowid = ?1"));
    q.Bind(1, rowid);
    if (q.Step() != SQLITE_ROW) {
      if (q.Rc() == SQLITE_DONE) continue;
      Fail(EngineError(q.Rc(), db_, path_));
    }
    TEntry entry;
    entry.rowid = rowid;
    for (size_t i = 0; i < columns_.size(); ++i)
      entry.values.push_back(q.Text(static_cast<int>(i)));
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace lugatim::data

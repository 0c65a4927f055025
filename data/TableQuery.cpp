// Listing the entries that match a value, for readers that show several
// matches at once rather than move to the first. The comparison is the one
// Locate uses: the same search key and the same match function.

#include <sqlite3.h>

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
  const std::string order = index != nullptr ? column + " COLLATE " + index->collation +
                                                   (index->descending ? " DESC, rowid" : ", rowid")
                                             : "rowid";
  std::string list = "rowid";
  for (const auto& c : columns_) list += ", " + Quote(c);
  Query q(Statement("SELECT " + list + " FROM " + sqlTable_ + " WHERE lugatim_match(" + column +
                    ", ?1, ?2) ORDER BY " + order + " LIMIT ?3"));
  q.Bind(1, SearchKey(value, options));
  q.Bind(2, static_cast<int64_t>(options));
  q.Bind(3, static_cast<int64_t>(limit));
  while (q.Step() == SQLITE_ROW) {
    TEntry entry;
    entry.rowid = q.Int(0);
    for (size_t i = 0; i < columns_.size(); ++i)
      entry.values.push_back(q.Text(static_cast<int>(i) + 1));
    entries.push_back(std::move(entry));
  }
  if (q.Rc() != SQLITE_DONE) Fail(EngineError(q.Rc(), db_, path_));
  return entries;
}

}  // namespace lugatim::data

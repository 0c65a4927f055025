// Listing the entries that match a value, for readers that show several
// matches at once rather than move to the first. The comparison is the one
// Locate uses: the same search key, language and match function.

#include <sqlite3.h>

#include <algorithm>

#include "data/Collations.h"
#include "data/Sql.h"
#include "data/Table.h"

namespace lugatim::data {

using sql::EngineError;
using sql::Query;
using sql::Quote;

TTable::TMatches TTable::Matching(const std::string& fieldName, const std::string& value,
                                  TLocateOptions caseOption, int beginningLimit) const {
  CheckActive();
  TMatches matches;
  const TField& field = FieldByName(fieldName);
  const std::string& stored = columns_[static_cast<size_t>(field.Index())];
  const TLocateOptions equalOptions = caseOption & (loCaseInsensitive | loIgnoreMarks);
  const TLocateOptions prefixOptions = equalOptions | loPartialKey;
  if (value.empty() || count_ == 0) return matches;
  const Index* index = IndexFor(stored, equalOptions);
  const std::string column = Quote(stored);

  // The matches are found by their rowids alone, so that the search may read
  // a narrow index on the field instead of every entry's whole text; only the
  // entries listed are read in full. A key that begins with the value is
  // compared once more, whole, only then.
  std::vector<int64_t> equal;
  std::vector<int64_t> beginning;
  const bool orderedLikeSearch =
      index != nullptr && !index->descending &&
      (index->collation == "BINARY" || index->collation == FoldCollation(language) ||
       index->collation == MarksCollation(language));
  if (orderedLikeSearch) {
    // The index orders the keys as the search compares them: the matches are
    // the keys from the value on, up to the first that does not begin with it.
    const std::string collate = " COLLATE " + index->collation;
    Query q(Statement("SELECT rowid, lugatim_match(" + column + ", ?1, ?2, ?5), lugatim_match(" +
                      column + ", ?1, ?3, ?5) FROM " + sqlTable_ + " INDEXED BY " +
                      Quote(index->name) + " WHERE " + column + collate + " >= ?4 ORDER BY " +
                      column + collate + ", rowid"));
    q.Bind(1, SearchKey(value, prefixOptions));
    q.Bind(2, static_cast<int64_t>(prefixOptions));
    q.Bind(3, static_cast<int64_t>(equalOptions));
    q.Bind(4, value);
    q.Bind(5, static_cast<int64_t>(language));
    while (q.Step() == SQLITE_ROW && q.Int(1) != 0) {
      // Equal keys come first in the index's order: asked for them alone,
      // the search ends at the first longer key.
      if (q.Int(2) == 0 && beginningLimit <= 0) break;
      (q.Int(2) != 0 ? equal : beginning).push_back(q.Int(0));
    }
    if (q.Rc() != SQLITE_DONE && q.Rc() != SQLITE_ROW) Fail(EngineError(q.Rc(), db_, path_));
  } else {
    const std::string order = index != nullptr
                                  ? " ORDER BY " + column + " COLLATE " + index->collation +
                                        (index->descending ? " DESC, rowid" : ", rowid")
                                  : "";
    Query q(Statement("SELECT rowid, lugatim_match(" + column + ", ?1, ?3, ?4) FROM " + sqlTable_ +
                      " WHERE lugatim_match(" + column + ", ?1, ?2, ?4)" + order));
    q.Bind(1, SearchKey(value, prefixOptions));
    q.Bind(2, static_cast<int64_t>(prefixOptions));
    q.Bind(3, static_cast<int64_t>(equalOptions));
    q.Bind(4, static_cast<int64_t>(language));
    while (q.Step() == SQLITE_ROW) (q.Int(1) != 0 ? equal : beginning).push_back(q.Int(0));
    if (q.Rc() != SQLITE_DONE) Fail(EngineError(q.Rc(), db_, path_));
  }
  if (index == nullptr) {
    // Without a fitting index Locate finds the first match in table order.
    std::sort(equal.begin(), equal.end());
    std::sort(beginning.begin(), beginning.end());
  }
  if (beginning.size() > static_cast<size_t>(std::max(beginningLimit, 0))) {
    beginning.resize(static_cast<size_t>(std::max(beginningLimit, 0)));
  }

  std::string list;
  for (const auto& c : columns_) list += (list.empty() ? "" : ", ") + Quote(c);
  const auto read = [&](const std::vector<int64_t>& rowids, std::vector<TEntry>& entries) {
    for (const int64_t rowid : rowids) {
      Query q(Statement("SELECT " + list + " FROM " + sqlTable_ + " WHERE rowid = ?1"));
      q.Bind(1, rowid);
      const int rc = q.Step();
      if (rc != SQLITE_ROW) {
        Fail(rc == SQLITE_DONE ? base::Format("Entry %lld of table file %s vanished",
                                              static_cast<long long>(rowid), path_.c_str())
                               : EngineError(rc, db_, path_));
      }
      TEntry entry;
      entry.rowid = rowid;
      for (size_t i = 0; i < columns_.size(); ++i)
        entry.values.push_back(q.Text(static_cast<int>(i)));
      entries.push_back(std::move(entry));
    }
  };
  read(equal, matches.equal);
  read(beginning, matches.beginning);
  return matches;
}

std::optional<std::string> TTable::FirstEqual(const std::string& fieldName,
                                              const std::string& value,
                                              TLocateOptions options) const {
  const TMatches m = Matching(fieldName, value, options, 0);
  if (m.equal.empty()) return std::nullopt;
  return m.equal.front().values[static_cast<size_t>(FieldByName(fieldName).Index())];
}

}  // namespace lugatim::data

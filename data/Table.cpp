#include "data/Table.h"

#include <sqlite3.h>
#include <strings.h>

#include <algorithm>
#include <cstdlib>

#include "base/TextFold.h"
#include "data/Collations.h"
#include "data/Sql.h"

namespace lugatim::data {

using base::Format;
using sql::EngineError;
using sql::Query;
using sql::Quote;

// ---------------------------------------------------------------- TField

std::string TField::AsString() const {
  if (table_ == nullptr || index_ < 0) return {};
  const TEntry& entry = table_->Current();
  return static_cast<size_t>(index_) < entry.values.size() ? entry.values[index_] : std::string();
}

int64_t TField::AsInteger() const {
  const std::string text = AsString();
  return text.empty() ? 0 : std::strtoll(text.c_str(), nullptr, 10);
}

// ---------------------------------------------------------------- TTable

TTable::TTable(std::string name) : name_(std::move(name)) {}

TTable::~TTable() {
  FinalizeStatements();
  if (db_ != nullptr) sqlite3_close_v2(db_);
  for (TDataSource* source : sources_) source->table_ = nullptr;
  for (TField* field : fields_) field->table_ = nullptr;
}

void TTable::AddField(TField* field) {
  field->table_ = this;
  fields_.push_back(field);
}

TField& TTable::FieldByName(const std::string& fieldName) const {
  for (TField* field : fields_) {
    if (strcasecmp(field->FieldName().c_str(), fieldName.c_str()) == 0) return *field;
  }
  Fail(Format("Field '%s' not found", fieldName.c_str()));
}

std::string TTable::FilePath() const {
  return path_.empty() ? ResolveAliasFor(databaseName, tableName) + tableName : path_;
}

void TTable::Fail(const std::string& what) const {
  throw EDatabaseError(Format("%s: %s", name_.c_str(), what.c_str()));
}

void TTable::Close() {
  if (db_ == nullptr) return;
  FinalizeStatements();
  sqlite3_close_v2(db_);
  db_ = nullptr;
  path_.clear();
  count_ = 0;
  position_ = -1;
  rowids_.clear();
  current_ = TEntry{};
  Notify(TDataEvent::ActiveChanged);
}

sqlite3_stmt* TTable::Statement(const std::string& sql) const {
  auto it = statements_.find(sql);
  if (it != statements_.end()) return it->second;
  sqlite3_stmt* stmt = nullptr;
  const int rc =
      sqlite3_prepare_v3(db_, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_finalize(stmt);
    Fail(EngineError(rc, db_, path_));
  }
  statements_.emplace(sql, stmt);
  return stmt;
}

void TTable::FinalizeStatements() {
  for (auto& [sql, stmt] : statements_) sqlite3_finalize(stmt);
  statements_.clear();
}

void TTable::CheckActive() const {
  if (db_ == nullptr) Fail("Cannot perform this operation on a closed dataset");
}

int TTable::RecordCount() const {
  CheckActive();
  return count_;
}

int TTable::Position() const {
  CheckActive();
  return position_;
}

const TEntry& TTable::Current() const {
  return current_;
}

namespace {

std::string SelectList(const std::vector<std::string>& columns) {
  std::string list = "rowid";
  for (const auto& c : columns) list += ", " + Quote(c);
  return list;
}

}  // namespace

void TTable::LoadEntryAt(int position) {
  const int64_t rowid =
      denseRowids_ ? minRowid_ + position : rowids_[static_cast<size_t>(position)];
  Query q(Statement("SELECT " + SelectList(columns_) + " FROM " + sqlTable_ + " WHERE rowid = ?1"));
  q.Bind(1, rowid);
  const int rc = q.Step();
  if (rc != SQLITE_ROW) {
    Fail(rc == SQLITE_DONE ? Format("Entry %lld of table file %s vanished",
                                    static_cast<long long>(rowid), path_.c_str())
                           : EngineError(rc, db_, path_));
  }
  TEntry entry;
  entry.rowid = q.Int(0);
  for (size_t i = 0; i < columns_.size(); ++i)
    entry.values.push_back(q.Text(static_cast<int>(i) + 1));
  current_ = std::move(entry);
  position_ = position;
}

int TTable::PositionOfRowid(int64_t rowid) const {
  if (denseRowids_) return static_cast<int>(rowid - minRowid_);
  return static_cast<int>(std::lower_bound(rowids_.begin(), rowids_.end(), rowid) -
                          rowids_.begin());
}

void TTable::First() {
  MoveTo(0);
}

void TTable::Last() {
  CheckActive();
  MoveTo(count_ - 1);
}

void TTable::MoveTo(int position) {
  CheckActive();
  if (count_ == 0) return;
  position = std::clamp(position, 0, count_ - 1);
  if (position == position_) return;
  LoadEntryAt(position);
  Notify(TDataEvent::RecordMoved);
}

int TTable::MoveBy(int distance) {
  CheckActive();
  if (count_ == 0) return 0;
  const int from = position_;
  const int64_t target = static_cast<int64_t>(from) + distance;
  MoveTo(static_cast<int>(std::clamp<int64_t>(target, 0, count_ - 1)));
  return position_ - from;
}

const TTable::Index* TTable::IndexFor(const std::string& column, TLocateOptions options) const {
  for (const auto& index : indexes_) {
    if (strcasecmp(index->column.c_str(), column.c_str()) != 0) continue;
    const std::string& c = index->collation;
    const bool agrees = (options & loIgnoreMarks) ? c == MarksCollation(language)
                        : (options & loCaseInsensitive)
                            ? c == "NOCASE" || c == FoldCollation(language)
                            : c == "BINARY";
    if (agrees) return index.get();
  }
  return nullptr;
}

std::string TTable::SearchKey(std::string_view value, TLocateOptions options) const {
  if (options & loIgnoreMarks) return base::FoldMarks(value, language);
  if (options & loCaseInsensitive) return base::FoldCase(value, language);
  return std::string(value);
}

bool TTable::Locate(const std::string& fieldName, const std::string& value,
                    TLocateOptions options) {
  CheckActive();
  const TField& field = FieldByName(fieldName);
  const std::string column = Quote(columns_[static_cast<size_t>(field.Index())]);
  const bool prefix = (options & loPartialKey) != 0;
  if ((prefix && value.empty()) || count_ == 0) return false;

  const Index* index = IndexFor(columns_[static_cast<size_t>(field.Index())], options);
  const auto searchForm = [&](std::string_view text) { return SearchKey(text, options); };
  const std::string key = searchForm(value);
  int64_t rowid = 0;
  bool found = false;

  const auto fail_on = [&](int rc) {
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) Fail(EngineError(rc, db_, path_));
  };
  const bool ordered_like_search =
      index != nullptr && !index->descending &&
      (index->collation == "BINARY" || index->collation == FoldCollation(language) ||
       index->collation == MarksCollation(language));
  if (ordered_like_search) {
    // The index orders the keys as the search compares them, so the first
    // match is the first key at or after the value in index order.
    const std::string collate = " COLLATE " + index->collation;
    Query q(Statement("SELECT rowid, " + column + " FROM " + sqlTable_ + " INDEXED BY " +
                      Quote(index->name) + " WHERE " + column + collate +
                      (prefix ? " >= ?1" : " = ?1") + " ORDER BY " + column + collate +
                      ", rowid LIMIT 1"));
    q.Bind(1, value);
    const int rc = q.Step();
    fail_on(rc);
    if (rc == SQLITE_ROW) {
      const std::string candidate = searchForm(q.Text(1));
      found = prefix ? candidate.starts_with(key) : candidate == key;
      rowid = q.Int(0);
    }
  } else {
    const std::string order = index != nullptr
                                  ? column + " COLLATE " + index->collation +
                                        (index->descending ? " DESC, rowid" : ", rowid")
                                  : "rowid";
    Query q(Statement("SELECT rowid FROM " + sqlTable_ + " WHERE lugatim_match(" + column +
                      ", ?1, ?2, ?3) ORDER BY " + order + " LIMIT 1"));
    q.Bind(1, key);
    q.Bind(2, static_cast<int64_t>(options));
    q.Bind(3, static_cast<int64_t>(language));
    const int rc = q.Step();
    fail_on(rc);
    if (rc == SQLITE_ROW) {
      found = true;
      rowid = q.Int(0);
    }
  }
  if (!found) return false;
  LoadEntryAt(PositionOfRowid(rowid));
  Notify(TDataEvent::Located);
  return true;
}

std::vector<TEntry> TTable::ReadEntries(int first, int count) const {
  CheckActive();
  std::vector<TEntry> entries;
  first = std::max(first, 0);
  if (count <= 0 || first >= count_) return entries;
  const int64_t from = denseRowids_ ? minRowid_ + first : rowids_[static_cast<size_t>(first)];
  Query q(Statement("SELECT " + SelectList(columns_) + " FROM " + sqlTable_ +
                    " WHERE rowid >= ?1 ORDER BY rowid LIMIT ?2"));
  q.Bind(1, from);
  q.Bind(2, static_cast<int64_t>(count));
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

void TTable::Notify(TDataEvent event) {
  const std::vector<TDataSource*> sources = sources_;
  for (TDataSource* source : sources) source->Notify(event);
}

// ---------------------------------------------------------------- TDataSource

TDataSource::TDataSource(std::string name, TTable* table) : name_(std::move(name)), table_(table) {
  if (table_ != nullptr) table_->sources_.push_back(this);
}

TDataSource::~TDataSource() {
  for (TDataLink* link : links_) link->source_ = nullptr;
  if (table_ != nullptr) std::erase(table_->sources_, this);
}

void TDataSource::Notify(TDataEvent event) {
  const std::vector<TDataLink*> links = links_;
  for (TDataLink* link : links) {
    // A handler may have unbound a later link; skip it then.
    if (link->source_ == this) link->DataEvent(event);
  }
}

// ---------------------------------------------------------------- TDataLink

TDataLink::~TDataLink() {
  if (source_ != nullptr) std::erase(source_->links_, this);
}

void TDataLink::SetDataSource(TDataSource* source) {
  if (source_ != nullptr) std::erase(source_->links_, this);
  source_ = source;
  if (source_ != nullptr) source_->links_.push_back(this);
  DataEvent(TDataEvent::ActiveChanged);
}

TTable* TDataLink::ActiveTable() const {
  if (source_ == nullptr || source_->table_ == nullptr || !source_->table_->Active())
    return nullptr;
  return source_->table_;
}

}  // namespace lugatim::data

#include "data/Table.h"

#include <sqlite3.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "base/TextFold.h"
#include "platform/ExePath.h"

namespace lugatim::data {

using base::Format;

namespace {

std::string Quote(const std::string& identifier) {
  std::string out = "\"";
  for (char c : identifier) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The file in folder whose name equals name, exactly or else ignoring case.
std::string FindFile(const std::string& folder, const std::string& name) {
  if (IsRegularFile(folder + name)) return folder + name;
  std::error_code ec;
  for (const auto& item : std::filesystem::directory_iterator(folder, ec)) {
    const std::string candidate = item.path().filename().string();
    if (strcasecmp(candidate.c_str(), name.c_str()) == 0 && IsRegularFile(folder + candidate)) {
      return folder + candidate;
    }
  }
  return folder + name;
}

int FoldCollation(void*, int n1, const void* s1, int n2, const void* s2) {
  return base::CompareIgnoringCase(
      std::string_view(static_cast<const char*>(s1), static_cast<size_t>(n1)),
      std::string_view(static_cast<const char*>(s2), static_cast<size_t>(n2)));
}

// lugatim_match(key, value, flags): whether key matches value under the
// Locate options in flags; value arrives already folded for a
// case-insensitive match. A NULL key never matches.
void MatchFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
    sqlite3_result_int(ctx, 0);
    return;
  }
  const auto* k = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
  const std::string_view key(k, static_cast<size_t>(sqlite3_value_bytes(argv[0])));
  const auto* v = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
  const std::string_view value(v ? v : "", static_cast<size_t>(sqlite3_value_bytes(argv[1])));
  const int flags = sqlite3_value_int(argv[2]);
  std::string folded;
  std::string_view subject = key;
  if (flags & loCaseInsensitive) {
    folded = base::FoldCase(key);
    subject = folded;
  }
  const bool match = (flags & loPartialKey) ? subject.starts_with(value) : subject == value;
  sqlite3_result_int(ctx, match ? 1 : 0);
}

// Owns one prepared statement for the span of one query.
// A cached statement is borrowed: reset for its next use instead of finalised.
class Query {
 public:
  Query(sqlite3* db, const std::string& sql) : owned_(true) {
    rc_ = sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt_, nullptr);
  }
  explicit Query(sqlite3_stmt* cached) : stmt_(cached), rc_(SQLITE_OK), owned_(false) {}
  ~Query() {
    if (owned_) {
      sqlite3_finalize(stmt_);
    } else {
      sqlite3_reset(stmt_);
      sqlite3_clear_bindings(stmt_);
    }
  }
  Query(const Query&) = delete;
  Query& operator=(const Query&) = delete;

  int Prepared() const { return rc_; }
  void Bind(int i, const std::string& text) {
    sqlite3_bind_text(stmt_, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  }
  void Bind(int i, int64_t value) { sqlite3_bind_int64(stmt_, i, value); }
  // SQLITE_ROW, SQLITE_DONE or an error code.
  int Step() { return rc_ = sqlite3_step(stmt_); }
  int64_t Int(int col) const { return sqlite3_column_int64(stmt_, col); }
  std::string Text(int col) const {
    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
    return t ? std::string(t, static_cast<size_t>(sqlite3_column_bytes(stmt_, col)))
             : std::string();
  }
  bool IsNull(int col) const { return sqlite3_column_type(stmt_, col) == SQLITE_NULL; }
  int Rc() const { return rc_; }

 private:
  sqlite3_stmt* stmt_ = nullptr;
  int rc_;
  bool owned_;
};

}  // namespace

std::string ResolveAlias(const std::string& alias) {
  if (strcasecmp(alias.c_str(), "Lugatim") != 0) {
    throw EDatabaseError(Format("Unknown database alias: %s", alias.c_str()));
  }
  const char* dir = std::getenv("LUGATIM_DB_DIR");
  std::string folder;
  if (dir != nullptr && *dir != '\0') {
    folder = dir;
  } else {
    // Beside the executable; an installed program keeps its tables in the
    // shared data folder of its prefix instead.
    const std::string exeDir = platform::ExecutableDir();
    folder = platform::RunsInstalled(exeDir) ? platform::InstalledDataDir(exeDir) + "data/"
                                             : exeDir + "data/";
  }
  if (folder.back() != '/') folder += '/';
  return folder;
}

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

struct TTable::Index {
  std::string name;
  std::string column;     // leading key column
  std::string collation;  // upper case
  bool descending = false;
};

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
  return path_.empty() ? ResolveAlias(databaseName) + tableName : path_;
}

void TTable::Fail(const std::string& what) const {
  throw EDatabaseError(Format("%s: %s", name_.c_str(), what.c_str()));
}

namespace {

std::string EngineError(int rc, sqlite3* db, const std::string& path) {
  const char* detail = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  switch (rc & 0xFF) {
    case SQLITE_NOTADB:
      return Format("Table file %s is not a database (%s)", path.c_str(), detail);
    case SQLITE_CORRUPT:
      return Format("Table file %s is damaged (%s)", path.c_str(), detail);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return Format("Table file %s is locked by another program (%s)", path.c_str(), detail);
    case SQLITE_CANTOPEN:
      return Format("Cannot open table file %s (%s)", path.c_str(), detail);
    default:
      return Format("Cannot read table file %s (%s)", path.c_str(), detail);
  }
}

}  // namespace

void TTable::Open() {
  if (db_ != nullptr) return;
  const std::string folder = [&] {
    try {
      return ResolveAlias(databaseName);
    } catch (const EDatabaseError& e) {
      Fail(e.Message());
    }
  }();
  if (!IsDirectory(folder)) {
    Fail(Format("Folder %s of alias %s does not exist", folder.c_str(), databaseName.c_str()));
  }
  const std::string path = FindFile(folder, tableName);
  if (!IsRegularFile(path)) Fail(Format("Table file %s does not exist", path.c_str()));

  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  if (rc != SQLITE_OK) {
    const std::string message = EngineError(rc, db, path);
    sqlite3_close_v2(db);
    Fail(message);
  }
  db_ = db;
  path_ = path;
  try {
    sqlite3_busy_timeout(db_, 200);
    // The shared lock taken by the first read is kept until the table closes:
    // the entries cannot change under the open table (positions and count stay
    // true), and no read pays for re-taking the lock and re-validating the cache.
    sqlite3_exec(db_, "PRAGMA locking_mode = EXCLUSIVE", nullptr, nullptr, nullptr);
    sqlite3_create_collation(db_, kFoldCollation, SQLITE_UTF8, nullptr, FoldCollation);
    sqlite3_create_function(db_, "lugatim_match", 3, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                            MatchFunction, nullptr, nullptr);

    const auto check = [&](int code) {
      if (code != SQLITE_OK && code != SQLITE_ROW && code != SQLITE_DONE) {
        Fail(EngineError(code, db_, path_));
      }
    };

    // The stored table: the only one, or the one named after the file.
    std::vector<std::string> tables;
    {
      Query q(db_,
              "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' "
              "ESCAPE '\\'");
      check(q.Prepared());
      while (q.Step() == SQLITE_ROW) tables.push_back(q.Text(0));
      check(q.Rc());
    }
    const std::string stem = std::filesystem::path(tableName).stem().string();
    std::string stored;
    if (tables.size() == 1) {
      stored = tables[0];
    } else {
      for (const auto& t : tables) {
        if (strcasecmp(t.c_str(), stem.c_str()) == 0) stored = t;
      }
    }
    if (stored.empty()) {
      Fail(tables.empty() ? Format("Table file %s holds no table", path_.c_str())
                          : Format("Table file %s holds several tables and none named %s",
                                   path_.c_str(), stem.c_str()));
    }
    sqlTable_ = Quote(stored);

    std::vector<std::string> stored_columns;
    {
      Query q(db_, "PRAGMA table_info(" + sqlTable_ + ")");
      check(q.Prepared());
      while (q.Step() == SQLITE_ROW) stored_columns.push_back(q.Text(1));
      check(q.Rc());
    }
    if (fields_.empty()) {
      for (const auto& c : stored_columns) {
        ownFields_.push_back(std::make_unique<TField>(name_ + c, c, TFieldType::String));
        AddField(ownFields_.back().get());
      }
    }
    columns_.clear();
    for (size_t i = 0; i < fields_.size(); ++i) {
      const auto it = std::find_if(stored_columns.begin(), stored_columns.end(), [&](auto& c) {
        return strcasecmp(c.c_str(), fields_[i]->FieldName().c_str()) == 0;
      });
      if (it == stored_columns.end()) {
        Fail(Format("Field '%s' not found in table file %s", fields_[i]->FieldName().c_str(),
                    path_.c_str()));
      }
      columns_.push_back(*it);
      fields_[i]->index_ = static_cast<int>(i);
    }

    indexes_.clear();
    std::vector<std::string> index_names;
    {
      Query q(db_, "PRAGMA index_list(" + sqlTable_ + ")");
      check(q.Prepared());
      while (q.Step() == SQLITE_ROW) {
        if (q.Int(4) == 0) index_names.push_back(q.Text(1));  // partial indexes do not count
      }
      check(q.Rc());
    }
    for (const auto& index_name : index_names) {
      Query q(db_, "PRAGMA index_xinfo(" + Quote(index_name) + ")");
      check(q.Prepared());
      // The first row is the leading key column; an expression has no name.
      if (q.Step() == SQLITE_ROW && q.Int(5) == 1 && !q.IsNull(2)) {
        auto index = std::make_unique<Index>();
        index->name = index_name;
        index->column = q.Text(2);
        index->descending = q.Int(3) != 0;
        index->collation = q.Text(4);
        std::transform(index->collation.begin(), index->collation.end(), index->collation.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        indexes_.push_back(std::move(index));
      }
      check(q.Rc());
    }

    {
      Query q(db_, "SELECT count(*) FROM " + sqlTable_);
      check(q.Prepared());
      check(q.Step());
      count_ = static_cast<int>(q.Int(0));
    }
    denseRowids_ = true;
    rowids_.clear();
    minRowid_ = 0;
    if (count_ > 0) {
      Query lo(db_, "SELECT min(rowid), max(rowid) FROM " + sqlTable_);
      check(lo.Prepared());
      check(lo.Step());
      minRowid_ = lo.Int(0);
      denseRowids_ = lo.Int(1) - lo.Int(0) + 1 == count_;
      if (!denseRowids_) {
        Query all(db_, "SELECT rowid FROM " + sqlTable_ + " ORDER BY rowid");
        check(all.Prepared());
        rowids_.reserve(static_cast<size_t>(count_));
        while (all.Step() == SQLITE_ROW) rowids_.push_back(all.Int(0));
        check(all.Rc());
        count_ = static_cast<int>(rowids_.size());
      }
    }
    // A larger page cache for the lookups, set only now so that the count's
    // one pass over the table does not fill it.
    sqlite3_exec(db_, "PRAGMA cache_size = -8192", nullptr, nullptr, nullptr);
    position_ = -1;
    current_ = TEntry{};
    if (count_ > 0) LoadEntryAt(0);
  } catch (...) {
    FinalizeStatements();
    sqlite3_close_v2(db_);
    db_ = nullptr;
    path_.clear();
    throw;
  }
  Notify(TDataEvent::ActiveChanged);
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

const TTable::Index* TTable::IndexFor(const std::string& column, bool caseInsensitive) const {
  for (const auto& index : indexes_) {
    if (strcasecmp(index->column.c_str(), column.c_str()) != 0) continue;
    const bool ci = index->collation == "NOCASE" || index->collation == kFoldCollation;
    const bool cs = index->collation == "BINARY";
    if ((caseInsensitive && ci) || (!caseInsensitive && cs)) return index.get();
  }
  return nullptr;
}

bool TTable::Locate(const std::string& fieldName, const std::string& value,
                    TLocateOptions options) {
  CheckActive();
  const TField& field = FieldByName(fieldName);
  const std::string column = Quote(columns_[static_cast<size_t>(field.Index())]);
  const bool caseInsensitive = (options & loCaseInsensitive) != 0;
  const bool prefix = (options & loPartialKey) != 0;
  if ((prefix && value.empty()) || count_ == 0) return false;

  const Index* index = IndexFor(columns_[static_cast<size_t>(field.Index())], caseInsensitive);
  const std::string key = caseInsensitive ? base::FoldCase(value) : value;
  int64_t rowid = 0;
  bool found = false;

  const auto fail_on = [&](int rc) {
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) Fail(EngineError(rc, db_, path_));
  };
  const bool ordered_like_search =
      index != nullptr && !index->descending &&
      (index->collation == "BINARY" || index->collation == kFoldCollation);
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
      const std::string candidate = caseInsensitive ? base::FoldCase(q.Text(1)) : q.Text(1);
      found = prefix ? candidate.starts_with(key) : candidate == key;
      rowid = q.Int(0);
    }
  } else {
    const std::string order = index != nullptr
                                  ? column + " COLLATE " + index->collation +
                                        (index->descending ? " DESC, rowid" : ", rowid")
                                  : "rowid";
    Query q(Statement("SELECT rowid FROM " + sqlTable_ + " WHERE lugatim_match(" + column +
                      ", ?1, ?2) ORDER BY " + order + " LIMIT 1"));
    q.Bind(1, key);
    q.Bind(2, static_cast<int64_t>(options));
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

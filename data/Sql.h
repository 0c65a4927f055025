#pragma once
// What the table engine's files share about SQLite: quoting identifiers,
// one prepared statement per query, and the engine's failures in words.

#include <sqlite3.h>

#include <cstdint>
#include <string>

namespace lugatim::data::sql {

// The identifier in double quotes, inner quotes doubled.
inline std::string Quote(const std::string& identifier) {
  std::string out = "\"";
  for (char c : identifier) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
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

// The failure rc of the table file at path, named by its class (not a
// database, damaged, locked, cannot open, cannot read) with SQLite's detail.
std::string EngineError(int rc, sqlite3* db, const std::string& path);

}  // namespace lugatim::data::sql

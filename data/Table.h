#pragma once
// The table engine: a read-only dictionary table in an SQLite database file,
// with one current entry, navigation in the table's own (rowid) order, and
// Locate on a field with the case-insensitive and prefix options.
//
// A table file reached through the alias holds one table. It is opened with
// SQLITE_OPEN_READONLY: nothing here ever writes a table file. A
// case-insensitive Locate compares by the case pairs of the table's headword
// language (base/TextFold.h). An index whose leading column is the located
// field decides which match a Locate finds first when its collation agrees
// with the search (BINARY for case-sensitive; NOCASE or the language's
// FoldCollation for case-insensitive; the language's MarksCollation for a
// search without marks); without one, the first match in the table's own
// order wins.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/Exception.h"
#include "base/TextFold.h"

struct sqlite3;
struct sqlite3_stmt;

namespace lugatim::data {

class EDatabaseError : public base::Exception {
 public:
  using Exception::Exception;
};

// The folder the alias names, ending in "/": for "Lugatim", $LUGATIM_DB_DIR
// when set and not empty, else the shipped tables (data/ beside the
// executable, or <prefix>/share/lugatim/data/ when installed). Any other
// alias fails with EDatabaseError.
std::string ResolveAlias(const std::string& alias);

// The folder the alias names for one file of it, ending in "/": as
// ResolveAlias, except that without $LUGATIM_DB_DIR the user's folder
// $XDG_DATA_HOME/lugatim/ comes first when it holds the file (its name
// compared without regard to case). So a user replaces one table, or adds
// the word-form file, and takes the shipped ones for the rest.
std::string ResolveAliasFor(const std::string& alias, const std::string& file);

enum class TFieldType { String, AutoInc, Memo };

class TTable;

// A field of a table, bound by name when the table opens. It reads the value
// of the table's current entry.
class TField {
 public:
  TField(std::string name, std::string fieldName, TFieldType type, int size = 0)
      : name_(std::move(name)), fieldName_(std::move(fieldName)), type_(type), size_(size) {}
  TField(const TField&) = delete;
  TField& operator=(const TField&) = delete;

  const std::string& Name() const { return name_; }
  const std::string& FieldName() const { return fieldName_; }
  TFieldType DataType() const { return type_; }
  int Size() const { return size_; }
  bool ReadOnly() const { return type_ == TFieldType::AutoInc; }
  TTable* DataSet() const { return table_; }
  // Index of the field in the table's entries; valid while the table is open.
  int Index() const { return index_; }

  // The current entry's value; empty when the table is closed or empty.
  std::string AsString() const;
  int64_t AsInteger() const;

 private:
  friend class TTable;
  std::string name_;
  std::string fieldName_;
  TFieldType type_;
  int size_;
  TTable* table_ = nullptr;
  int index_ = -1;
};

// One entry: its rowid and the text of every field, in the table's field order.
struct TEntry {
  int64_t rowid = 0;
  std::vector<std::string> values;
};

// loIgnoreMarks compares without case and without diacritics (ağaç = AGAC).
enum TLocateOption : unsigned { loCaseInsensitive = 1u, loPartialKey = 2u, loIgnoreMarks = 4u };
using TLocateOptions = unsigned;

enum class TDataEvent {
  ActiveChanged,  // opened or closed
  RecordMoved,    // another entry became current by navigation
  Located,        // a Locate made an entry current: views centre it
};

class TDataSource;

class TTable {
 public:
  // name is the component name that prefixes the table's own errors ("SozlukTB").
  explicit TTable(std::string name);
  ~TTable();
  TTable(const TTable&) = delete;
  TTable& operator=(const TTable&) = delete;

  const std::string& Name() const { return name_; }
  std::string databaseName;  // alias
  std::string tableName;     // file name inside the alias folder
  // The language of the headwords: it chooses the case pairs of a
  // case-insensitive Locate and which folding indexes agree with it.
  base::TLanguage language = base::TLanguage::English;

  // Persistent fields, bound by field name at Open. A table without any gets
  // one field per column of the stored table.
  void AddField(TField* field);
  const std::vector<TField*>& Fields() const { return fields_; }
  TField& FieldByName(const std::string& fieldName) const;

  // Opens read-only and makes the first entry current; fails with
  // EDatabaseError naming what is wrong. Opening an open table does nothing.
  void Open();
  // Closing a closed table does nothing.
  void Close();
  bool Active() const { return db_ != nullptr; }

  int RecordCount() const;  // entries in the table
  int Position() const;     // 0-based position of the current entry; -1 when empty
  const TEntry& Current() const;

  void First();
  void Last();
  // Moves by distance entries, stopping at either end; returns the distance moved.
  int MoveBy(int distance);
  void MoveTo(int position);

  // Makes the first entry whose field matches value current and returns true;
  // returns false and leaves the current entry where it was otherwise.
  // An empty value with loPartialKey matches nothing.
  bool Locate(const std::string& fieldName, const std::string& value, TLocateOptions options);

  // Up to count entries from position first on, in table order.
  std::vector<TEntry> ReadEntries(int first, int count) const;

  // The entries whose field is value (every one) and those that only begin
  // with it (at most beginningLimit), compared exactly as Locate compares,
  // with or without regard to case and marks as caseOption (0,
  // loCaseInsensitive, or that with loIgnoreMarks) says; each group in the order in which Locate
  // finds its entries. One pass over the field; the current entry stays.
  struct TMatches {
    std::vector<TEntry> equal;
    std::vector<TEntry> beginning;
  };
  TMatches Matching(const std::string& fieldName, const std::string& value,
                    TLocateOptions caseOption, int beginningLimit) const;

  // The field's value in the first entry whose field equals value, compared
  // as Matching compares under options; the current entry stays.
  std::optional<std::string> FirstEqual(const std::string& fieldName, const std::string& value,
                                        TLocateOptions options) const;

  // File path the table was (or would be) opened from.
  std::string FilePath() const;

 private:
  friend class TDataSource;
  // An index on the table, as the search chooses among them.
  struct Index {
    std::string name;
    std::string column;     // leading key column
    std::string collation;  // upper case
    bool descending = false;
  };
  void CheckActive() const;
  // A prepared statement kept until the table closes.
  sqlite3_stmt* Statement(const std::string& sql) const;
  void FinalizeStatements();
  void LoadEntryAt(int position);
  int PositionOfRowid(int64_t rowid) const;
  void Notify(TDataEvent event);
  [[noreturn]] void Fail(const std::string& what) const;
  // An index on column whose collation compares as a search with these options does.
  const Index* IndexFor(const std::string& column, TLocateOptions options) const;
  // The value in the form the search compares under the options and the
  // table's language: as it is, folded, or folded without marks.
  std::string SearchKey(std::string_view value, TLocateOptions options) const;

  std::string name_;
  std::vector<TField*> fields_;
  std::vector<std::unique_ptr<TField>> ownFields_;
  std::vector<TDataSource*> sources_;

  sqlite3* db_ = nullptr;
  std::string path_;
  std::string sqlTable_;              // quoted name of the stored table
  std::vector<std::string> columns_;  // stored column of each field
  std::vector<std::unique_ptr<Index>> indexes_;
  mutable std::unordered_map<std::string, sqlite3_stmt*> statements_;
  int count_ = 0;
  int64_t minRowid_ = 0;
  bool denseRowids_ = true;      // rowids are minRowid_ .. minRowid_ + count_ - 1
  std::vector<int64_t> rowids_;  // only when not dense
  int position_ = -1;
  TEntry current_;
};

// The link between a table and the data-aware controls that show it.
class TDataLink;

class TDataSource {
 public:
  TDataSource(std::string name, TTable* table);
  ~TDataSource();
  TDataSource(const TDataSource&) = delete;
  TDataSource& operator=(const TDataSource&) = delete;

  const std::string& Name() const { return name_; }
  TTable* DataSet() const { return table_; }

 private:
  friend class TTable;
  friend class TDataLink;
  void Notify(TDataEvent event);
  std::string name_;
  TTable* table_;
  std::vector<TDataLink*> links_;
};

// Base of everything that follows a data source: it receives the table's
// events and may be re-bound to another source at any time.
class TDataLink {
 public:
  TDataLink() = default;
  virtual ~TDataLink();
  TDataLink(const TDataLink&) = delete;
  TDataLink& operator=(const TDataLink&) = delete;

  // Binding sends ActiveChanged to this link so it shows the new table.
  void SetDataSource(TDataSource* source);
  TDataSource* DataSource() const { return source_; }
  // The bound table when it is open, else nullptr.
  TTable* ActiveTable() const;

 protected:
  virtual void DataEvent(TDataEvent event) = 0;

 private:
  friend class TDataSource;
  TDataSource* source_ = nullptr;
};

}  // namespace lugatim::data

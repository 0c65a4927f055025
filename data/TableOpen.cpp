// Opening a table: the alias, the file (exact name, else ignoring case), the
// read-only connection with the program's collation and match function, and
// the checks that the file holds the table with its fields.

#include <sqlite3.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "data/Collations.h"
#include "data/Sql.h"
#include "data/Table.h"
#include "platform/ExePath.h"

namespace lugatim::data {

using base::Format;
using sql::EngineError;
using sql::Query;
using sql::Quote;

namespace {

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

std::string ResolveAliasFor(const std::string& alias, const std::string& file) {
  const std::string shipped = ResolveAlias(alias);
  const char* dir = std::getenv("LUGATIM_DB_DIR");
  if (dir != nullptr && *dir != '\0') return shipped;
  const std::string user = platform::UserDataDir();
  return IsRegularFile(FindFile(user, file)) ? user : shipped;
}

void TTable::Open() {
  if (db_ != nullptr) return;
  const std::string folder = [&] {
    try {
      return ResolveAliasFor(databaseName, tableName);
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
    if (const int registered = RegisterTextFunctions(db_); registered != SQLITE_OK) {
      Fail(EngineError(registered, db_, path_));
    }

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
      // The count reads every page of the smallest index: mapped, they are
      // read without a system call each. The mapping ends with the pass
      // (below), so that a file overwritten in place under the open table
      // yields read errors, never a fault at a page the file no longer has.
      sqlite3_exec(db_, "PRAGMA mmap_size = 1073741824", nullptr, nullptr, nullptr);
      Query q(db_, "SELECT count(*) FROM " + sqlTable_);
      check(q.Prepared());
      check(q.Step());
      count_ = static_cast<int>(q.Int(0));
    }
    denseRowids_ = true;
    rowids_.clear();
    minRowid_ = 0;
    if (count_ > 0) {
      // Two subqueries: the engine finds a lone min() or max() at one end of
      // the table's b-tree, but both in one query cost a pass over the table.
      Query lo(db_, "SELECT (SELECT min(rowid) FROM " + sqlTable_ + "), (SELECT max(rowid) FROM " +
                        sqlTable_ + ")");
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
    sqlite3_exec(db_, "PRAGMA mmap_size = 0", nullptr, nullptr, nullptr);
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

}  // namespace lugatim::data

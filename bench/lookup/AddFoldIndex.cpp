// Bench helper: gives a copy of a dictionary table an index on Kelime in the
// program's case-folding collation, so the lookup can be measured over a
// table that carries one.   add_fold_index TABLE.DB
#include <sqlite3.h>

#include <cstdio>
#include <string_view>

#include "base/TextFold.h"
#include "data/Table.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: add_fold_index TABLE.DB\n");
    return 2;
  }
  sqlite3* db = nullptr;
  if (sqlite3_open(argv[1], &db) != SQLITE_OK) return 1;
  sqlite3_create_collation(
      db, lugatim::data::kFoldCollation, SQLITE_UTF8, nullptr,
      [](void*, int n1, const void* s1, int n2, const void* s2) {
        return lugatim::base::CompareIgnoringCase(
            std::string_view(static_cast<const char*>(s1), static_cast<size_t>(n1)),
            std::string_view(static_cast<const char*>(s2), static_cast<size_t>(n2)));
      });
  // The table is the only one in the file.
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type = 'table'", -1, &st, nullptr);
  std::string table = sqlite3_step(st) == SQLITE_ROW
                          ? reinterpret_cast<const char*>(sqlite3_column_text(st, 0))
                          : "";
  sqlite3_finalize(st);
  const std::string sql = "CREATE INDEX IF NOT EXISTS \"" + table + "_Kelime_fold\" ON \"" + table +
                          "\"(Kelime COLLATE " + lugatim::data::kFoldCollation + ")";
  char* err = nullptr;
  const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
  if (rc != SQLITE_OK) std::fprintf(stderr, "%s\n", err);
  sqlite3_close(db);
  return rc == SQLITE_OK ? 0 : 1;
}

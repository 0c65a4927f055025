#pragma once
// Builds small dictionary table files in a private temporary folder that the
// alias points at, so each test states exactly which rows and indexes exist.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

struct Row {
  std::string kelime;
  std::string anlami = "";
  std::string kategori = "";
};

class TableFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/lugatim-data-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = std::string(tmpl) + "/";
    setenv("LUGATIM_DB_DIR", dir_.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("LUGATIM_DB_DIR");
    std::filesystem::remove_all(dir_);
  }

  static void Exec(sqlite3* db, const std::string& sql) {
    char* err = nullptr;
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err), SQLITE_OK) << err << "\n"
                                                                                << sql;
  }

  // A table file with the six fields; rows go in the given (table) order.
  // extraSql runs afterwards, e.g. to create an index or delete rows.
  void MakeTable(const std::string& file, const std::vector<Row>& rows,
                 const std::string& extraSql = "") {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((dir_ + file).c_str(), &db), SQLITE_OK);
    const std::string t = std::filesystem::path(file).stem().string();
    Exec(db, "CREATE TABLE " + t +
                 " (Kelime TEXT, Kategori TEXT, OnekSonek TEXT, SiraNo INTEGER PRIMARY KEY,"
                 " Anlami TEXT, Ornek TEXT)");
    Exec(db, "BEGIN");
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       ("INSERT INTO " + t +
                        " (Kelime, Kategori, OnekSonek, Anlami, Ornek)"
                        " VALUES (?1, ?2, '', ?3, '')")
                           .c_str(),
                       -1, &st, nullptr);
    for (const Row& r : rows) {
      sqlite3_bind_text(st, 1, r.kelime.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(st, 2, r.kategori.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(st, 3, r.anlami.c_str(), -1, SQLITE_TRANSIENT);
      ASSERT_EQ(sqlite3_step(st), SQLITE_DONE);
      sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    Exec(db, "COMMIT");
    if (!extraSql.empty()) Exec(db, extraSql);
    sqlite3_close(db);
  }

  std::string ReadBytes(const std::string& file) const {
    std::ifstream in(dir_ + file, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  void WriteBytes(const std::string& file, const std::string& bytes) const {
    std::ofstream(dir_ + file, std::ios::binary | std::ios::trunc) << bytes;
  }

  std::string dir_;
};

#pragma once
// A private temporary folder per test, and the means to lay dictd
// dictionaries into it and to read table files back.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "data/Collations.h"

namespace toolstest {

// dictd base64 of a number, most significant digit first.
inline std::string DictdNumber(uint64_t v) {
  static const char* kDigits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string s;
  do {
    s.insert(s.begin(), kDigits[v % 64]);
    v /= 64;
  } while (v != 0);
  return s;
}

// gzip-compressed bytes of text.
inline std::string Gzip(const std::string& text) {
  z_stream zs{};
  EXPECT_EQ(deflateInit2(&zs, 9, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
  std::string out(deflateBound(&zs, text.size()) + 64, '\0');
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  zs.avail_in = static_cast<uInt>(text.size());
  zs.next_out = reinterpret_cast<Bytef*>(out.data());
  zs.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&zs, Z_FINISH), Z_STREAM_END);
  out.resize(zs.total_out);
  deflateEnd(&zs);
  return out;
}

// A dictd dictionary in memory: entries (index key, entry text) in order.
struct Dictionary {
  std::string index;
  std::string dict;
};
inline Dictionary MakeDictionary(const std::vector<std::pair<std::string, std::string>>& entries) {
  Dictionary d;
  const std::string info = "00-database-info\nA test dictionary.\n";
  d.index += "00databaseinfo\t" + DictdNumber(0) + "\t" + DictdNumber(info.size()) + "\n";
  d.dict = info;
  for (const auto& [key, text] : entries) {
    d.index += key + "\t" + DictdNumber(d.dict.size()) + "\t" + DictdNumber(text.size()) + "\n";
    d.dict += text;
  }
  return d;
}

class TempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/lugatim-tools-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary | std::ios::trunc) << bytes;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir_))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string dir_;
};

// Rows of a table file as "SiraNo|Kelime|Kategori|OnekSonek|Anlami|Ornek".
inline std::vector<std::string> QueryRows(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  std::vector<std::string> rows;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << "cannot open " << path;
    sqlite3_close(db);
    return rows;
  }
  // The tables' folding indexes use the program's collations.
  lugatim::data::RegisterTextFunctions(db);
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << sqlite3_errmsg(db) << " in " << sql;
    sqlite3_close(db);
    return rows;
  }
  while (sqlite3_step(st) == SQLITE_ROW) {
    std::string row;
    for (int c = 0; c < sqlite3_column_count(st); ++c) {
      if (c) row += '|';
      if (sqlite3_column_type(st, c) == SQLITE_NULL)
        row += "<NULL>";
      else
        row += reinterpret_cast<const char*>(sqlite3_column_text(st, c));
    }
    rows.push_back(row);
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return rows;
}

}  // namespace toolstest

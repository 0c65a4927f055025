#include "bench/support/GeneratedTable.h"

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "data/Collations.h"

namespace lugatim::bench {

namespace {

constexpr int kEntries = 1'000'000;

std::string Word(std::mt19937& rng) {
  static const char* const kLetters[] = {"a", "b", "c", "ç", "d", "e", "f", "g", "ğ", "h",
                                         "ı", "i", "k", "l", "m", "n", "o", "ö", "p", "r",
                                         "s", "ş", "t", "u", "ü", "v", "y", "z", "A", "İ"};
  std::uniform_int_distribution<int> len(3, 12);
  std::uniform_int_distribution<int> letter(0, 29);
  std::string w;
  for (int i = len(rng); i > 0; --i) w += kLetters[letter(rng)];
  return w;
}

}  // namespace

std::vector<std::string> SampleWords(int n, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<std::string> words;
  for (int i = 0; i < n; ++i) words.push_back(Word(rng));
  return words;
}

// The generated table: random headwords in alphabetical table order, a
// meaning and an example of realistic size, a BINARY and a folding index.
std::string GeneratedFolder() {
  const char* tmp = std::getenv("TMPDIR");
  const std::string folder = std::string(tmp ? tmp : "/tmp") + "/lugatim-bench-2/";
  const std::string path = folder + "Sozluk1.DB";
  if (std::filesystem::exists(path)) return folder;
  std::filesystem::create_directories(folder);
  const std::string temp = path + ".tmp";
  std::filesystem::remove(temp);
  sqlite3* db = nullptr;
  sqlite3_open(temp.c_str(), &db);
  data::RegisterTextFunctions(db);
  sqlite3_exec(db,
               "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;"
               "CREATE TABLE Sozluk1 (Kelime TEXT, Kategori TEXT, OnekSonek TEXT,"
               " SiraNo INTEGER PRIMARY KEY, Anlami TEXT, Ornek TEXT); BEGIN;",
               nullptr, nullptr, nullptr);
  std::vector<std::string> words = SampleWords(kEntries, 1);
  std::sort(words.begin(), words.end());
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db,
                     "INSERT INTO Sozluk1 (Kelime, Kategori, OnekSonek, Anlami, Ornek)"
                     " VALUES (?1, 'isim', '', ?2, ?3)",
                     -1, &st, nullptr);
  for (const auto& w : words) {
    const std::string meaning =
        "1. " + w + " anlamında bir sözcük\n2. ikinci anlamı, uzunca bir açıklama";
    const std::string example = w + " ile kurulmuş örnek bir cümle.";
    sqlite3_bind_text(st, 1, w.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 2, meaning.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 3, example.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_step(st);
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  sqlite3_exec(db,
               "COMMIT; CREATE INDEX Sozluk1_Kelime ON Sozluk1(Kelime COLLATE BINARY);"
               "CREATE INDEX Sozluk1_KelimeNocase ON Sozluk1(Kelime COLLATE LUGATIM_NOCASE_TR);"
               "CREATE INDEX Sozluk1_KelimeNomarks ON Sozluk1(Kelime COLLATE LUGATIM_NOMARKS_TR);",
               nullptr, nullptr, nullptr);
  sqlite3_close(db);
  std::filesystem::rename(temp, path);
  return folder;
}

}  // namespace lugatim::bench

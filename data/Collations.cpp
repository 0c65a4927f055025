#include "data/Collations.h"

#include <sqlite3.h>

#include <string>

#include "data/Table.h"

namespace lugatim::data {

using base::TLanguage;

namespace {

std::string_view View(const void* text, int bytes) {
  return {static_cast<const char*>(text), static_cast<size_t>(bytes)};
}

template <TLanguage language>
int FoldCompare(void*, int n1, const void* s1, int n2, const void* s2) {
  return base::CompareIgnoringCase(View(s1, n1), View(s2, n2), language);
}

template <TLanguage language>
int MarksCompare(void*, int n1, const void* s1, int n2, const void* s2) {
  return base::CompareIgnoringMarks(View(s1, n1), View(s2, n2), language);
}

void MatchFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
    sqlite3_result_int(ctx, 0);
    return;
  }
  const auto* k = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
  const std::string_view key(k, static_cast<size_t>(sqlite3_value_bytes(argv[0])));
  const auto* v = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
  const std::string_view value(v ? v : "", static_cast<size_t>(sqlite3_value_bytes(argv[1])));
  const int options = sqlite3_value_int(argv[2]);
  const auto language = static_cast<TLanguage>(sqlite3_value_int(argv[3]));
  std::string folded;
  std::string_view subject = key;
  if (options & loIgnoreMarks) {
    folded = base::FoldMarks(key, language);
    subject = folded;
  } else if (options & loCaseInsensitive) {
    folded = base::FoldCase(key, language);
    subject = folded;
  }
  const bool match = (options & loPartialKey) ? subject.starts_with(value) : subject == value;
  sqlite3_result_int(ctx, match ? 1 : 0);
}

}  // namespace

const char* FoldCollation(TLanguage language) {
  return language == TLanguage::Turkish ? "LUGATIM_NOCASE_TR" : "LUGATIM_NOCASE_EN";
}

const char* MarksCollation(TLanguage language) {
  return language == TLanguage::Turkish ? "LUGATIM_NOMARKS_TR" : "LUGATIM_NOMARKS_EN";
}

int RegisterTextFunctions(sqlite3* db) {
  constexpr auto en = TLanguage::English;
  constexpr auto tr = TLanguage::Turkish;
  for (const int rc : {
           sqlite3_create_collation(db, FoldCollation(en), SQLITE_UTF8, nullptr, FoldCompare<en>),
           sqlite3_create_collation(db, FoldCollation(tr), SQLITE_UTF8, nullptr, FoldCompare<tr>),
           sqlite3_create_collation(db, MarksCollation(en), SQLITE_UTF8, nullptr, MarksCompare<en>),
           sqlite3_create_collation(db, MarksCollation(tr), SQLITE_UTF8, nullptr, MarksCompare<tr>),
           sqlite3_create_function(db, "lugatim_match", 4, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                   nullptr, MatchFunction, nullptr, nullptr),
       }) {
    if (rc != SQLITE_OK) return rc;
  }
  return SQLITE_OK;
}

}  // namespace lugatim::data

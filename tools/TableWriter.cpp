#include "tools/TableWriter.h"

#include <dirent.h>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>

#include "base/Exception.h"
#include "data/Collations.h"
#include "tools/Text.h"

namespace lugatim::tools {

using base::Format;

namespace {

constexpr size_t kMaxChars = 255;

// Temporary files of the tables being built, for the signal handler: fixed
// slots of plain char arrays, claimed and released with atomics.
constexpr int kSlots = 4;
constexpr size_t kPathMax = 4096;
struct Slot {
  std::atomic<bool> used{false};
  char path[kPathMax];
  char journal[kPathMax];
};
Slot gSlots[kSlots];

int ClaimSlot(const std::string& path) {
  if (path.size() + 9 >= kPathMax) return -1;
  for (int i = 0; i < kSlots; ++i) {
    bool expected = false;
    if (!gSlots[i].used.load() && gSlots[i].used.compare_exchange_strong(expected, true)) {
      std::memcpy(gSlots[i].path, path.c_str(), path.size() + 1);
      std::memcpy(gSlots[i].journal, (path + "-journal").c_str(), path.size() + 9);
      return i;
    }
  }
  return -1;
}

void ReleaseSlot(const std::string& path) {
  for (Slot& s : gSlots)
    if (s.used.load() && path == s.path) s.used.store(false);
}

std::string Quote(const std::string& name) {
  std::string q = "\"";
  for (char c : name) {
    if (c == '"') q += '"';
    q += c;
  }
  return q + "\"";
}

class Db {
 public:
  Db(const std::string& path, const std::string& target) : target_(target) {
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) Fail();
    if (data::RegisterTextFunctions(db_) != SQLITE_OK) Fail();
  }
  ~Db() { sqlite3_close(db_); }
  void Exec(const std::string& sql) {
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) Fail();
  }
  sqlite3* Handle() const { return db_; }
  [[noreturn]] void Fail() const {
    throw EImportError(Format("%s: cannot write the table: %s", target_.c_str(),
                              db_ ? sqlite3_errmsg(db_) : "out of memory"));
  }

 private:
  sqlite3* db_ = nullptr;
  std::string target_;
};

void CheckRow(const TRow& row, size_t index, const std::string& target) {
  const auto fail = [&](const char* what) {
    throw EImportError(Format("%s: entry %zu ('%s'): %s", target.c_str(), index + 1,
                              row.kelime.substr(0, 40).c_str(), what));
  };
  if (row.kelime.empty()) fail("empty headword");
  for (const std::string* s : {&row.kelime, &row.kategori, &row.onekSonek, &row.anlami, &row.ornek})
    if (!IsValidUtf8(*s))
      fail("text is not valid UTF-8");
    else if (s->find('\0') != std::string::npos)
      fail("text holds a NUL character");
  if (CharCount(row.kelime) > kMaxChars) fail("headword longer than 255 characters");
  if (CharCount(row.kategori) > kMaxChars) fail("category longer than 255 characters");
  if (CharCount(row.onekSonek) > kMaxChars) fail("prefix/suffix longer than 255 characters");
}

void Fill(const std::string& path, const std::string& target, const std::vector<TRow>& rows,
          TLang lang, TProgress& progress) {
  const std::string table = std::filesystem::path(target).stem().string();
  if (table.empty())
    throw EImportError(Format("%s: no table name in the file name", target.c_str()));
  Db db(path, target);
  db.Exec("PRAGMA journal_mode=DELETE");
  db.Exec("BEGIN");
  db.Exec("CREATE TABLE " + Quote(table) +
          " (Kelime TEXT, Kategori TEXT, OnekSonek TEXT, SiraNo INTEGER PRIMARY KEY,"
          " Anlami TEXT, Ornek TEXT)");
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db.Handle(),
                         ("INSERT INTO " + Quote(table) +
                          " (Kelime, Kategori, OnekSonek, SiraNo, Anlami, Ornek)"
                          " VALUES (?1, ?2, ?3, ?4, ?5, ?6)")
                             .c_str(),
                         -1, &raw, nullptr) != SQLITE_OK)
    db.Fail();
  // Finalized on every path, also when the progress report throws, so that
  // the connection closes.
  const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> st(raw, sqlite3_finalize);
  const auto bind = [&](int column, const std::string& text) {
    sqlite3_bind_text(st.get(), column, text.c_str(), static_cast<int>(text.size()), SQLITE_STATIC);
  };
  for (size_t i = 0; i < rows.size(); ++i) {
    const TRow& r = rows[i];
    bind(1, r.kelime);
    bind(2, r.kategori);
    bind(3, r.onekSonek);
    sqlite3_bind_int64(st.get(), 4, static_cast<sqlite3_int64>(i + 1));
    bind(5, r.anlami);
    bind(6, r.ornek);
    if (sqlite3_step(st.get()) != SQLITE_DONE) db.Fail();
    sqlite3_reset(st.get());
    if (i % 1024 == 0) progress.Update(i, rows.size());
  }
  db.Exec("CREATE INDEX " + Quote(table + "_Kelime") + " ON " + Quote(table) +
          "(Kelime COLLATE BINARY)");
  // The indexes of the typed search: case-insensitive and without marks, by
  // the case pairs of the headwords' language, as the program compares.
  const base::TLanguage language =
      lang == TLang::Turkish ? base::TLanguage::Turkish : base::TLanguage::English;
  db.Exec("CREATE INDEX " + Quote(table + "_KelimeNocase") + " ON " + Quote(table) +
          "(Kelime COLLATE " + data::FoldCollation(language) + ")");
  db.Exec("CREATE INDEX " + Quote(table + "_KelimeNomarks") + " ON " + Quote(table) +
          "(Kelime COLLATE " + data::MarksCollation(language) + ")");
  db.Exec("COMMIT");
  progress.Update(rows.size(), rows.size());
}

}  // namespace

void RemoveStaleStagedFiles(const std::string& targetPath) {
  const std::filesystem::path target(targetPath);
  const std::string dir = target.parent_path().empty() ? "." : target.parent_path().string();
  const std::string prefix = "." + target.filename().string() + ".tmp-";
  DIR* folder = opendir(dir.c_str());
  if (folder == nullptr) return;
  std::vector<std::string> stale;
  while (const dirent* entry = readdir(folder)) {
    const std::string name = entry->d_name;
    // mkstemp's six characters, and nothing else after them but a journal's suffix.
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string rest = name.substr(prefix.size());
    if (rest.size() != 6 || rest.find('/') != std::string::npos) continue;
    const std::string path = dir + "/" + name;
    // An import that runs holds a lock on its file: that one is not stale.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) continue;
    struct stat st {};
    const bool free =
        fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0;
    close(fd);
    if (free) stale.push_back(path);
  }
  closedir(folder);
  for (const std::string& path : stale) {
    unlink(path.c_str());
    unlink((path + "-journal").c_str());
  }
}

TStagedTable::TStagedTable(const std::string& targetPath, const std::vector<TRow>& rows, TLang lang,
                           TProgress& progress)
    : target_(targetPath) {
  for (size_t i = 0; i < rows.size(); ++i) CheckRow(rows[i], i, target_);
  std::filesystem::path target(targetPath);
  const std::string dir = target.parent_path().empty() ? "." : target.parent_path().string();
  RemoveStaleStagedFiles(targetPath);
  std::string tmpl = dir + "/." + target.filename().string() + ".tmp-XXXXXX";
  const int fd = mkstemp(tmpl.data());
  if (fd < 0)
    throw EImportError(Format("%s: cannot create a temporary file in %s: %s", target_.c_str(),
                              dir.c_str(), std::strerror(errno)));
  tempPath_ = tmpl;
  ClaimSlot(tempPath_);
  // The lock, held while the table is staged, tells an import that runs
  // beside this one that the file is not stale.
  lockFd_ = fd;
  flock(lockFd_, LOCK_EX | LOCK_NB);
  // mkstemp makes the file private; a table is as readable as any new file.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  try {
    Fill(tempPath_, target_, rows, lang, progress);
  } catch (...) {
    unlink(tempPath_.c_str());
    unlink((tempPath_ + "-journal").c_str());
    ReleaseSlot(tempPath_);
    close(lockFd_);
    throw;
  }
}

TStagedTable::~TStagedTable() {
  if (lockFd_ >= 0) close(lockFd_);
  if (committed_) return;
  unlink(tempPath_.c_str());
  unlink((tempPath_ + "-journal").c_str());
  ReleaseSlot(tempPath_);
}

void TStagedTable::Commit() {
  if (committed_) return;
  if (rename(tempPath_.c_str(), target_.c_str()) != 0)
    throw EImportError(
        Format("%s: cannot replace the table: %s", target_.c_str(), std::strerror(errno)));
  committed_ = true;
  ReleaseSlot(tempPath_);
  close(lockFd_);
  lockFd_ = -1;
}

void WriteTable(const std::string& targetPath, const std::vector<TRow>& rows, TLang lang,
                TProgress& progress) {
  TStagedTable staged(targetPath, rows, lang, progress);
  staged.Commit();
}

void RemoveStagedFilesNow() {
  for (Slot& s : gSlots) {
    if (!s.used.load()) continue;
    unlink(s.path);
    unlink(s.journal);
  }
}

}  // namespace lugatim::tools

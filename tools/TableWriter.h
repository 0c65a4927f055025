#pragma once
// Writing a table file: an SQLite database holding one table named after the
// file's stem ("Sozluk1" in "Sozluk1.DB"),
//
//   CREATE TABLE <stem> (Kelime TEXT, Kategori TEXT, OnekSonek TEXT,
//                        SiraNo INTEGER PRIMARY KEY, Anlami TEXT, Ornek TEXT);
//   CREATE INDEX <stem>_Kelime ON <stem>(Kelime COLLATE BINARY);
//   CREATE INDEX <stem>_KelimeNocase ON <stem>(Kelime COLLATE LUGATIM_NOCASE_<lang>);
//   CREATE INDEX <stem>_KelimeNomarks ON <stem>(Kelime COLLATE LUGATIM_NOMARKS_<lang>);
//
// where <lang> (EN or TR) is the language of the headwords: the program's
// case-insensitive and mark-free searches find their first match in the
// order of these indexes (data/Collations.h).
//
// with the rows in the order given and SiraNo 1..n, in rollback-journal
// (DELETE) mode so that the read-only program needs no -wal or -shm file,
// every row inserted in one transaction. No text is NULL.
//
// The table is built in a temporary file in the target's folder and renamed
// over the target only when complete, so a failed or interrupted import
// leaves an existing table exactly as it was; on failure the temporary file
// is removed, and one that a kill left is removed by the next import.

#include <string>
#include <vector>

#include "tools/ImportTypes.h"
#include "tools/Progress.h"

namespace lugatim::tools {

// A table built into a temporary file beside its target. Commit() moves it
// into place; destroying it uncommitted removes the temporary file.
class TStagedTable {
 public:
  // Writes the rows; fails with EImportError naming the target.
  TStagedTable(const std::string& targetPath, const std::vector<TRow>& rows, TLang lang,
               TProgress& progress = TProgress::Silent());
  ~TStagedTable();
  TStagedTable(const TStagedTable&) = delete;
  TStagedTable& operator=(const TStagedTable&) = delete;

  const std::string& TempPath() const { return tempPath_; }
  // Renames the temporary file over the target.
  void Commit();

 private:
  std::string target_;
  std::string tempPath_;
  int lockFd_ = -1;  // the temporary file, locked while it is staged
  bool committed_ = false;
};

// Writes and commits one table.
void WriteTable(const std::string& targetPath, const std::vector<TRow>& rows, TLang lang,
                TProgress& progress = TProgress::Silent());

// Removes the temporary files (".NAME.tmp-XXXXXX" and their journals) that
// imports of the target killed before they could clean up left behind; a
// file that an import still running holds locked stays. Staging a table
// does this first.
void RemoveStaleStagedFiles(const std::string& targetPath);

// Removes every temporary table file still staged; async-signal-safe, for
// the handler of SIGINT and SIGTERM.
void RemoveStagedFilesNow();

}  // namespace lugatim::tools

#pragma once
// The files of the Banner folder. Names in the folder are compared without
// regard to letter case: a name is looked up among the folder's entries
// before it is opened, so "liste.lst" reads the file written as "Liste.lst".
//
// Every write goes to a fresh temporary file in the folder that is then
// renamed over the target, so that a reader, a crash or a kill sees either
// the old file or the new one complete, never a part. Renaming replaces an
// existing symbolic link instead of following it, so nothing is ever written
// outside the folder. These guarantees hold against the program ending at
// any moment; they do not reach to a power loss (no data is forced to disk).

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/Stream.h"

namespace lugatim::banner {

// Temporary files begin with this text; only unfinished writes leave them.
inline constexpr std::string_view kTempPrefix = ".lugatim-";
// The channel's own files.
inline constexpr const char* kAdListFile = "Liste.lst";
inline constexpr const char* kVersionFile = "versiyon.ver";
// The kept file: it survives the monthly housekeeping with its content unchanged.
inline constexpr const char* kKeptBanner = "Banner2.gif";

// Whether a banner of that name would take the place of one of the channel's
// own files: the ad list, the version file, the kept banner or a temporary
// file, compared as SameFileName compares. A list that names one is not
// allowed to replace it.
bool IsReservedName(std::string_view name);

// Whether the name can name a file directly inside the folder: not empty,
// not "." or "..", no "/" and no control character (below 0x20, and 0x7F).
bool IsSafeFileName(std::string_view name);

// Whether two names name the same file of the folder: equal after Unicode
// case folding when both are UTF-8, after ASCII case folding otherwise.
bool SameFileName(std::string_view a, std::string_view b);
// The key under which SameFileName finds a name: two names are the same file
// exactly when their keys are equal.
std::string FileNameKey(std::string_view name);

// The name of the folder's entry that names the same file as `name`: the
// exact name when an entry has it, otherwise the first (in byte order) entry
// that matches without regard to case; nothing when none matches or the
// name is unsafe.
std::optional<std::string> FindEntry(const std::string& folder, std::string_view name);

// The folder's entries, listed once, so that a pass over many names does not
// read the whole folder for each of them. Lookups follow FindEntry: the
// exact name first, then the first (in byte order) entry that matches
// without regard to case. Entries made or removed through it stay known.
class TFolderIndex {
 public:
  struct TEntry {
    int64_t size = 0;      // of a regular file; 0 for anything else
    bool regular = false;  // a regular file (not followed through a link)
    bool link = false;     // a symbolic link
  };
  explicit TFolderIndex(std::string folder);

  const std::string& Folder() const { return folder_; }
  std::optional<std::string> Find(std::string_view name) const;
  const std::map<std::string, TEntry>& Entries() const { return entries_; }
  // Records an entry made (or replaced) under that exact name.
  void Put(const std::string& name, const TEntry& entry);
  void Forget(const std::string& name);

 private:
  std::string folder_;
  std::map<std::string, TEntry> entries_;
  std::unordered_map<std::string, std::vector<std::string>> byKey_;  // folded name -> entries
};

// The whole content of the folder's file of that name. Fails with
// base::Exception 'Cannot open file "%s". <reason>' when the name is unsafe,
// no entry matches, or the entry is no regular file or cannot be read.
std::string ReadFolderFile(const std::string& folder, std::string_view name);
// At most maxBytes of it: the beginning, never more, whatever the file holds.
std::string ReadFolderFileHead(const std::string& folder, std::string_view name, size_t maxBytes);

// Creates or replaces the folder's file of that name (an existing entry of
// another letter case keeps its name) with exactly the bytes. Fails with
// base::Exception 'Cannot create file "%s". <reason>' when the name is
// unsafe or the file cannot be written; the old file then stays as it was.
void WriteFolderFile(const std::string& folder, std::string_view name, std::string_view bytes);

// A file of the folder written as a stream: the bytes go to a fresh
// temporary file in the folder as they come, and Commit renames it over the
// target, so that however large the content, none of it is held in memory
// and the target is replaced only when the content is complete. Destroyed
// without a successful Commit, the writer removes its temporary file and
// the target stays as it was.
class TFolderFileWriter : public base::TStream {
 public:
  // Creates the temporary file. Fails with base::Exception
  // 'Cannot create file "%s". <reason>' when the name is unsafe or the
  // folder takes no new file.
  // With an index, the target is looked up in it instead of in the folder.
  // With maxBytes of 0 or more, a write that would make the content longer
  // fails with 'Cannot create file "%s". File too large' and discards it.
  TFolderFileWriter(const std::string& folder, std::string_view name,
                    const TFolderIndex* index = nullptr, int64_t maxBytes = -1);
  ~TFolderFileWriter() override;
  TFolderFileWriter(const TFolderFileWriter&) = delete;
  TFolderFileWriter& operator=(const TFolderFileWriter&) = delete;

  using TStream::Write;
  void Write(const void* data, size_t count) override;
  size_t Read(void* data, size_t count) override;
  int64_t Size() const override { return size_; }
  void SetSize(int64_t size) override;
  int64_t Position() const override { return position_; }
  void SetPosition(int64_t position) override;

  // Closes the temporary file and renames it over the target (an existing
  // entry of another letter case keeps its name). On failure the temporary
  // file is removed, the old target stays, and the error is raised; the
  // writer is finished either way.
  void Commit();

  // The name of the target in the folder (another letter case of an
  // existing entry keeps that entry's name).
  std::string TargetName() const;

 private:
  [[noreturn]] void Discard(int err);

  std::string target_;
  std::string temp_;
  size_t folderLength_ = 0;
  int64_t maxBytes_ = -1;
  int fd_ = -1;
  int64_t size_ = 0;
  int64_t position_ = 0;
};

// Removes the temporary files that interrupted writes left behind.
void RemoveStaleTempFiles(const std::string& folder);

}  // namespace lugatim::banner

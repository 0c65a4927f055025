#include "tools/Dictd.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>

#include "base/Exception.h"
#include "tools/ImportTypes.h"
#include "tools/Text.h"

namespace lugatim::tools {

using base::Format;

std::optional<uint64_t> DecodeDictdNumber(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : digits) {
    int d;
    if (c >= 'A' && c <= 'Z')
      d = c - 'A';
    else if (c >= 'a' && c <= 'z')
      d = c - 'a' + 26;
    else if (c >= '0' && c <= '9')
      d = c - '0' + 52;
    else if (c == '+')
      d = 62;
    else if (c == '/')
      d = 63;
    else
      return std::nullopt;
    value = value * 64 + static_cast<uint64_t>(d);
    if (value > (uint64_t{1} << 48)) return std::nullopt;
  }
  return value;
}

namespace {

// The text of one index field for a message, kept short and printable.
std::string Shown(std::string_view field) {
  std::string s(field.substr(0, 40));
  for (char& c : s)
    if (static_cast<unsigned char>(c) < 0x20) c = '?';
  return s;
}

bool IsMetadataKey(std::string_view key) {
  return key.starts_with("00database") || key.starts_with("00-database");
}

}  // namespace

std::vector<TIndexEntry> ParseDictdIndex(std::string_view text, const std::string& fileName) {
  std::vector<TIndexEntry> entries;
  int lineNo = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNo;
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.empty()) continue;
    const auto fail = [&](const std::string& what) {
      throw EImportError(Format("%s:%d: %s", fileName.c_str(), lineNo, what.c_str()));
    };
    std::vector<std::string_view> fields;
    for (size_t start = 0;;) {
      const size_t tab = line.find('\t', start);
      fields.push_back(line.substr(start, tab == std::string_view::npos ? line.npos : tab - start));
      if (tab == std::string_view::npos) break;
      start = tab + 1;
    }
    // A fourth field (the original spelling of the headword) is allowed by dictfmt.
    if (fields.size() < 3 || fields.size() > 4)
      fail(Format("expected 3 tab-separated fields, found %zu", fields.size()));
    if (!IsValidUtf8(fields[0])) fail("headword is not valid UTF-8");
    if (fields[0].empty()) fail("empty headword");
    const auto offset = DecodeDictdNumber(fields[1]);
    if (!offset) fail(Format("bad base64 offset '%s'", Shown(fields[1]).c_str()));
    const auto length = DecodeDictdNumber(fields[2]);
    if (!length) fail(Format("bad base64 length '%s'", Shown(fields[2]).c_str()));
    if (IsMetadataKey(fields[0])) continue;
    entries.push_back({std::string(fields[0]), *offset, *length, lineNo});
  }
  return entries;
}

std::string ReadWholeFile(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw EImportError(Format("%s: %s", path.c_str(), std::strerror(errno)));
  std::string content;
  struct stat st {};
  if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    close(fd);
    throw EImportError(Format("%s: %s", path.c_str(), std::strerror(EISDIR)));
  }
  if (st.st_size > 0) content.reserve(static_cast<size_t>(st.st_size));
  char buf[1 << 16];
  for (;;) {
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      close(fd);
      throw EImportError(Format("%s: %s", path.c_str(), std::strerror(err)));
    }
    content.append(buf, static_cast<size_t>(n));
  }
  close(fd);
  return content;
}

std::string InflateDict(std::string_view data, const std::string& fileName, TProgress& progress) {
  if (data.size() < 2 || static_cast<unsigned char>(data[0]) != 0x1F ||
      static_cast<unsigned char>(data[1]) != 0x8B)
    return std::string(data);
  if (data.size() > UINT_MAX) throw EImportError(Format("%s: file too large", fileName.c_str()));
  z_stream zs{};
  if (inflateInit2(&zs, 16 + MAX_WBITS) != Z_OK)
    throw EImportError(Format("%s: cannot start decompression", fileName.c_str()));
  std::string out;
  out.reserve(data.size() * 3);
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  zs.avail_in = static_cast<uInt>(data.size());
  char chunk[1 << 16];
  int rc = Z_OK;
  for (;;) {
    zs.next_out = reinterpret_cast<Bytef*>(chunk);
    zs.avail_out = sizeof chunk;
    rc = inflate(&zs, Z_NO_FLUSH);
    out.append(chunk, sizeof chunk - zs.avail_out);
    progress.Update(data.size() - zs.avail_in, data.size());
    if (rc == Z_STREAM_END) {
      if (zs.avail_in == 0) break;
      // Another gzip member follows.
      if (inflateReset(&zs) != Z_OK) break;
      continue;
    }
    if (rc != Z_OK) break;
    if (zs.avail_in == 0 && zs.avail_out != 0) {
      rc = Z_BUF_ERROR;  // input ended inside the stream
      break;
    }
  }
  const std::string why = zs.msg ? zs.msg : "";
  inflateEnd(&zs);
  if (rc == Z_STREAM_END) return out;
  if (rc == Z_BUF_ERROR)
    throw EImportError(
        Format("%s: damaged compressed data (unexpected end of data)", fileName.c_str()));
  throw EImportError(Format("%s: damaged compressed data (%s)", fileName.c_str(),
                            why.empty() ? "inflate failed" : why.c_str()));
}

std::vector<TDictdEntry> ReadDictd(const std::string& indexPath, const std::string& dictPath,
                                   TProgress& progress) {
  const std::vector<TIndexEntry> index = ParseDictdIndex(ReadWholeFile(indexPath), indexPath);
  progress.Phase(std::filesystem::path(dictPath).filename().string());
  const std::string text = InflateDict(ReadWholeFile(dictPath), dictPath, progress);
  std::vector<TDictdEntry> entries;
  entries.reserve(index.size());
  for (const TIndexEntry& e : index) {
    if (e.offset > text.size() || e.length > text.size() - e.offset)
      throw EImportError(Format(
          "%s:%d: entry '%s' (offset %llu, length %llu) lies beyond the end of %s (%zu bytes)",
          indexPath.c_str(), e.line, Shown(e.key).c_str(),
          static_cast<unsigned long long>(e.offset), static_cast<unsigned long long>(e.length),
          dictPath.c_str(), text.size()));
    std::string body = text.substr(e.offset, e.length);
    if (!IsValidUtf8(body))
      throw EImportError(Format("%s:%d: entry '%s' in %s is not valid UTF-8", indexPath.c_str(),
                                e.line, Shown(e.key).c_str(), dictPath.c_str()));
    entries.push_back({e.key, std::move(body), e.line});
  }
  return entries;
}

}  // namespace lugatim::tools

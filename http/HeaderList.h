#pragma once
// Header lines and the header values of one request or response.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "http/HttpDate.h"

namespace lugatim::http {

// An ordered list of "Name: value" lines. Names compare without regard to
// ASCII case; a line that begins with a space or a tab continues the line
// above it.
class THeaderList {
 public:
  int Count() const { return static_cast<int>(lines_.size()); }
  const std::string& Strings(int index) const;
  const std::vector<std::string>& Lines() const { return lines_; }
  void Add(std::string line) { lines_.push_back(std::move(line)); }
  void Clear() { lines_.clear(); }

  // The text before the first ":" (empty without one).
  static std::string_view NameOf(std::string_view line);
  // The value of the first line with the name, its continuation lines joined
  // to it; empty text when no line has the name.
  std::string Values(std::string_view name) const;
  // Whether a line has the name.
  bool Has(std::string_view name) const { return IndexOf(name) >= 0; }
  // Deletes the first line with the name and its continuation lines.
  void Remove(std::string_view name);

 private:
  int IndexOf(std::string_view name) const;
  size_t ContinuationEnd(size_t index) const;

  std::vector<std::string> lines_;
};

// Header values; texts default to empty, numbers and dates to 0.
struct THeaderInfo {
  std::string Accept = "text/html, */*";
  std::string AcceptCharSet;
  std::string AcceptEncoding;
  std::string AcceptLanguage;
  std::string Connection;
  std::string ContentEncoding;
  std::string ContentLanguage;
  // 64 bits, so that a body over 2 GiB can be announced and refused by size.
  int64_t ContentLength = 0;
  uint32_t ContentRangeEnd = 0;
  uint32_t ContentRangeStart = 0;
  std::string ContentType;
  std::string ContentVersion;
  TDateTime Date = 0;
  TDateTime Expires = 0;
  THeaderList ExtraHeaders;
  std::string From;
  TDateTime LastModified = 0;
  std::string Location;
  std::string Password;
  std::string ProxyAuthenticate;
  std::string ProxyPassword;
  int32_t ProxyPort = 0;
  std::string ProxyServer;
  std::string ProxyUsername;
  std::string Referer;
  std::string Server;
  std::string UserAgent = "Mozilla/3.0 (compatible; Lugatim)";
  std::string Username;
  std::string WWWAuthenticate;
};

// Standard Base64 (with "=" padding).
std::string Base64Encode(std::string_view bytes);

}  // namespace lugatim::http

#include "http/Url.h"

#include <algorithm>

#include "base/IntText.h"

namespace lugatim::http {

std::optional<int> TUrlParts::PortNumber() const {
  if (Port.empty()) return std::nullopt;
  return base::TryStrToInt(Port);
}

TUrlParts SplitUrl(std::string_view url) {
  TUrlParts parts;
  // Text is UTF-8, where no byte of a multi-byte character is a backslash,
  // so every backslash byte is one.
  std::string rest(url);
  std::replace(rest.begin(), rest.end(), '\\', '/');

  const size_t scheme = rest.find("://");
  if (scheme != std::string::npos) {
    parts.Protocol = rest.substr(0, scheme);
    rest.erase(0, scheme + 3);
    const size_t slash = rest.find('/');
    std::string authority = rest.substr(0, slash);
    rest = slash == std::string::npos ? std::string() : rest.substr(slash + 1);
    const size_t colon = authority.find(':');
    if (colon != std::string::npos) {
      parts.Host = authority.substr(0, colon);
      parts.Port = authority.substr(colon + 1);
    } else {
      parts.Host = std::move(authority);
    }
  }

  const size_t lastSlash = rest.rfind('/');
  if (lastSlash != std::string::npos) {
    parts.Path = rest.substr(0, lastSlash + 1);
    parts.Document = rest.substr(lastSlash + 1);
  } else {
    parts.Document = rest;
  }
  if (parts.Path.empty() || parts.Path[0] != '/') parts.Path = "/" + parts.Path;

  const size_t hash = parts.Document.find('#');
  if (hash != std::string::npos) {
    parts.Bookmark = parts.Document.substr(hash + 1);
    parts.Document.erase(hash);
  }
  return parts;
}

std::string EncodeRequestTarget(std::string_view target) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(target.size());
  for (const char c : target) {
    const auto u = static_cast<unsigned char>(c);
    if (u <= 0x20 || u >= 0x7F) {
      out += '%';
      out += kHex[u >> 4];
      out += kHex[u & 0x0F];
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace lugatim::http

#pragma once
// Splitting a URL into the parts a request is made of.

#include <optional>
#include <string>
#include <string_view>

namespace lugatim::http {

struct TUrlParts {
  std::string Protocol;
  std::string Host;
  std::string Port;  // as written; see PortNumber
  std::string Path;  // always begins with "/"
  std::string Document;
  std::string Bookmark;  // never sent

  // The request target: path followed by document.
  std::string Target() const { return Path + Document; }
  // The port as a number; nothing when the port text is empty or not a number.
  std::optional<int> PortNumber() const;
};

// Backslashes count as "/". "proto://host:port/path/doc#mark"; a URL without
// "://" is a path with document (and bookmark) alone.
TUrlParts SplitUrl(std::string_view url);

// The request target as it may stand in a request line: a space, a control
// character (below 0x20, and 0x7F) and every byte from 0x80 up are
// percent-encoded ("%20", "%7F", "%C3"); every other byte, "%" included,
// stays as it is, so that a target already encoded is sent unchanged.
std::string EncodeRequestTarget(std::string_view target);

}  // namespace lugatim::http

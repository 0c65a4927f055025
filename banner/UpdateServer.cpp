#include "banner/UpdateServer.h"

#include <cstdlib>

namespace lugatim::banner {
namespace {

bool IsHostCharacter(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u <= 0x20 || u == 0x7F) return false;
  switch (c) {
    case '/':
    case '\\':
    case '@':
    case '?':
    case '#':
    case ':':
    case '[':
    case ']':
      return false;
    default:
      return true;
  }
}

}  // namespace

TUpdateServer ParseUpdateServer(std::string_view text) {
  const TUpdateServer builtIn;
  const size_t colon = text.rfind(':');
  const std::string_view host = colon == std::string_view::npos ? text : text.substr(0, colon);
  if (host.empty()) return builtIn;
  for (const char c : host)
    if (!IsHostCharacter(c)) return builtIn;
  TUpdateServer server{std::string(host), kUpdateServerPort};
  if (colon != std::string_view::npos) {
    const std::string_view digits = text.substr(colon + 1);
    if (digits.empty() || digits.size() > 5) return builtIn;
    int port = 0;
    for (const char c : digits) {
      if (c < '0' || c > '9') return builtIn;
      port = port * 10 + (c - '0');
    }
    if (port < 1 || port > 65535) return builtIn;
    server.port = port;
  }
  return server;
}

TUpdateServer ConfiguredUpdateServer() {
  const char* value = std::getenv("LUGATIM_UPDATE_SERVER");
  return value == nullptr ? TUpdateServer{} : ParseUpdateServer(value);
}

std::string ServerUrl(const TUpdateServer& server, std::string_view path) {
  std::string url = "http://" + server.host;
  if (server.port != 80) url += ":" + std::to_string(server.port);
  url += path;
  return url;
}

}  // namespace lugatim::banner

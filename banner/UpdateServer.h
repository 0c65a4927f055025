#pragma once
// Where the channel asks for its version number and ad list, and how often.

#include <string>
#include <string_view>

namespace lugatim::banner {

// The update server the program asks when nothing overrides it.
inline constexpr std::string_view kUpdateServerHost = "guncelleme.lugatim.org";
inline constexpr int kUpdateServerPort = 80;

// The interval of the window's update timer (Timer1). The window takes it
// as a parameter so that its tests can pass a shorter one.
inline constexpr int kTimer1IntervalMs = 30000;

struct TUpdateServer {
  std::string host{kUpdateServerHost};
  int port = kUpdateServerPort;
  friend bool operator==(const TUpdateServer&, const TUpdateServer&) = default;
};

// The server named by an override text "host" or "host:port" (port 1 to
// 65535 in decimal digits). Empty text, an empty host, a host holding a
// character that cannot stand in an address (a space, "/", "@", "?", "#", a
// control character) or a port that is not such a number leave the built-in
// server in effect.
TUpdateServer ParseUpdateServer(std::string_view text);

// The built-in server, overridden by the environment's
// LUGATIM_UPDATE_SERVER=host[:port] when that is set and valid.
TUpdateServer ConfiguredUpdateServer();

// The http address of a path on the server: "http://host/path", with
// ":port" after the host when the port is not 80.
std::string ServerUrl(const TUpdateServer& server, std::string_view path);

}  // namespace lugatim::banner

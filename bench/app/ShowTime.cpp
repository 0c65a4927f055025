// The stopwatch of the start-up benchmark: starts a program and prints how
// many milliseconds passed from its start until the X server mapped a
// top-level window whose name begins with the given one (Qt may append the
// application's display name), then the program's process id:
//
//   show_time <window-name> <program> [arguments...]   ->   "41.7 12345"
//
// The program is left running for the caller to measure and end; its
// output goes to show_time's standard error. The wait
// sleeps on the X connection, so the stopwatch takes no processor time from
// the program it times (a polling loop would take one of the machine's
// cores). The window name is the one the program sets (_NET_WM_NAME, else
// WM_NAME); an empty name matches any window. The server must run no window
// manager, so that the program's windows are the root window's children. Exit status 1: the program
// ended first or could not start; 2: no such window within 30 s; 3: bad use or no X server.

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace {

double NowMs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

xcb_atom_t Atom(xcb_connection_t* x, const char* name) {
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, std::strlen(name), name), nullptr);
  const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return atom;
}

std::string Property(xcb_connection_t* x, xcb_window_t window, xcb_atom_t property) {
  xcb_get_property_reply_t* reply = xcb_get_property_reply(
      x, xcb_get_property(x, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024), nullptr);
  std::string value;
  if (reply != nullptr && reply->format == 8) {
    value.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                 static_cast<size_t>(xcb_get_property_value_length(reply)));
  }
  std::free(reply);
  return value;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: show_time <window-name> <program> [arguments...]\n", stderr);
    return 3;
  }
  const std::string wanted = argv[1];
  xcb_connection_t* x = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(x)) {
    std::fputs("show_time: cannot connect to the X server\n", stderr);
    return 3;
  }
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
  const xcb_atom_t netWmName = Atom(x, "_NET_WM_NAME");
  // Every map of a root child is reported from here on, before the program starts.
  const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_void_cookie_t selected =
      xcb_change_window_attributes_checked(x, root, XCB_CW_EVENT_MASK, &mask);
  if (xcb_generic_error_t* error = xcb_request_check(x, selected)) {
    std::free(error);
    std::fputs("show_time: cannot watch the root window\n", stderr);
    return 3;
  }

  const double start = NowMs();
  const pid_t pid = fork();
  if (pid < 0) return 1;
  if (pid == 0) {
    close(xcb_get_file_descriptor(x));
    // Standard output carries only the result.
    dup2(STDERR_FILENO, STDOUT_FILENO);
    execvp(argv[2], argv + 2);
    std::fprintf(stderr, "show_time: cannot start %s: %s\n", argv[2], std::strerror(errno));
    _exit(127);
  }

  pollfd connection{xcb_get_file_descriptor(x), POLLIN, 0};
  while (NowMs() - start < 30000) {
    while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
      const bool map = (event->response_type & 0x7F) == XCB_MAP_NOTIFY;
      const xcb_window_t window =
          map ? reinterpret_cast<xcb_map_notify_event_t*>(event)->window : 0;
      std::free(event);
      if (!map) continue;
      const double shown = NowMs();
      std::string name = Property(x, window, netWmName);
      if (name.empty()) name = Property(x, window, XCB_ATOM_WM_NAME);
      if (name.compare(0, wanted.size(), wanted) == 0) {
        std::printf("%.1f %d\n", shown - start, static_cast<int>(pid));
        return 0;
      }
    }
    if (xcb_connection_has_error(x)) return 3;
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) {
      std::fprintf(stderr, "show_time: %s ended (status %d) before showing \"%s\"\n", argv[2],
                   status, wanted.c_str());
      return 1;
    }
    poll(&connection, 1, 20);
  }
  std::fprintf(stderr, "show_time: no window \"%s\" within 30 s\n", wanted.c_str());
  return 2;
}

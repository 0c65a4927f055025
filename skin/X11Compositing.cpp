#include "skin/X11Compositing.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <cstdlib>
#include <memory>
#include <string>

namespace lugatim::skin {
namespace {

struct FreeReply {
  void operator()(void* reply) const { std::free(reply); }
};

// The screen number of the display name ":0.1" is 1; without one it is 0.
int DefaultScreenOf(const QByteArray& display) {
  const int colon = display.lastIndexOf(':');
  const int dot = display.indexOf('.', colon < 0 ? 0 : colon);
  return dot < 0 ? 0 : display.mid(dot + 1).toInt();
}

}  // namespace

bool X11CompositingManagerRuns() {
  auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* c = x11 ? x11->connection() : nullptr;
  if (c == nullptr) return false;
  const std::string name = "_NET_WM_CM_S" + std::to_string(DefaultScreenOf(qgetenv("DISPLAY")));
  const std::unique_ptr<xcb_intern_atom_reply_t, FreeReply> atom(xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 1, static_cast<uint16_t>(name.size()), name.c_str()), nullptr));
  if (!atom || atom->atom == XCB_ATOM_NONE) return false;
  const std::unique_ptr<xcb_get_selection_owner_reply_t, FreeReply> owner(
      xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom->atom), nullptr));
  return owner && owner->owner != XCB_WINDOW_NONE;
}

}  // namespace lugatim::skin

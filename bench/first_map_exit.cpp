// Preloaded into a Qt program on X11 (LD_PRELOAD), this ends the program as
// soon as its first window is mapped: the request is sent, a round trip makes
// sure the server has carried it out, and the process exits at once. Timing
// the whole process then gives the time to the first window, and an
// instruction count of the whole process the work done before it.
#include <dlfcn.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdlib>

extern "C" xcb_void_cookie_t xcb_map_window(xcb_connection_t* connection, xcb_window_t window) {
  using MapWindow = xcb_void_cookie_t (*)(xcb_connection_t*, xcb_window_t);
  static const auto real = reinterpret_cast<MapWindow>(dlsym(RTLD_NEXT, "xcb_map_window"));
  const xcb_void_cookie_t cookie = real(connection, window);
  // Without a window manager the server maps the window when it handles the
  // request; the reply to any later request says that it has.
  std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
  _exit(0);
  return cookie;
}

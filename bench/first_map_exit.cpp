// Preloaded into a Qt program on X11 (LD_PRELOAD), this ends the program as
// soon as its first window is mapped: the request is sent, a round trip makes
// sure the server has carried it out, and the process exits at once. Timing
// the whole process then gives the time to the first window, and an
// instruction count of the whole process the work done before it.
//
// With FIRST_MAP_EXIT_AT=frame it waits instead for the first picture the
// program puts into a window after that map, and ends at the flush that sends
// it: a mapped window is not yet a drawn one, and whatever the program puts
// off until its first paint is counted too.
#include <dlfcn.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace {

bool waitForFrame() {
  static const bool frame = [] {
    const char* at = std::getenv("FIRST_MAP_EXIT_AT");
    return at && std::strcmp(at, "frame") == 0;
  }();
  return frame;
}

bool mapped = false;
bool drawn = false;

template <typename Function>
Function next(const char* name, const char* library = nullptr) {
  // Qt's platform plugin loads the shared-memory library privately, out of
  // RTLD_NEXT's sight; by the time it calls in, the library is loaded.
  void* from = library ? dlopen(library, RTLD_LAZY | RTLD_NOLOAD) : nullptr;
  if (!from) from = RTLD_NEXT;
  return reinterpret_cast<Function>(dlsym(from, name));
}

// The reply to any later request says that the server has carried out the
// ones before it; then the process ends.
[[noreturn]] void endOnceDone(xcb_connection_t* connection) {
  std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
  _exit(0);
}

}  // namespace

extern "C" xcb_void_cookie_t xcb_map_window(xcb_connection_t* connection, xcb_window_t window) {
  static const auto real =
      next<xcb_void_cookie_t (*)(xcb_connection_t*, xcb_window_t)>("xcb_map_window");
  const xcb_void_cookie_t cookie = real(connection, window);
  // Without a window manager the server maps the window when it handles the request.
  if (!waitForFrame()) endOnceDone(connection);
  mapped = true;
  return cookie;
}

// The three ways Qt's backing store puts a painted picture on the screen (the
// first from the shared-memory extension, declared here as its header has it).
extern "C" xcb_void_cookie_t xcb_shm_put_image(xcb_connection_t* c, xcb_drawable_t drawable,
                                               xcb_gcontext_t gc, uint16_t total_width,
                                               uint16_t total_height, uint16_t src_x,
                                               uint16_t src_y, uint16_t src_width,
                                               uint16_t src_height, int16_t dst_x, int16_t dst_y,
                                               uint8_t depth, uint8_t format, uint8_t send_event,
                                               uint32_t shmseg, uint32_t offset) {
  static const auto real =
      next<decltype(&xcb_shm_put_image)>("xcb_shm_put_image", "libxcb-shm.so.0");
  drawn = drawn || mapped;
  return real(c, drawable, gc, total_width, total_height, src_x, src_y, src_width, src_height,
              dst_x, dst_y, depth, format, send_event, shmseg, offset);
}

extern "C" xcb_void_cookie_t xcb_put_image(xcb_connection_t* c, uint8_t format,
                                           xcb_drawable_t drawable, xcb_gcontext_t gc,
                                           uint16_t width, uint16_t height, int16_t dst_x,
                                           int16_t dst_y, uint8_t left_pad, uint8_t depth,
                                           uint32_t data_len, const uint8_t* data) {
  static const auto real = next<decltype(&xcb_put_image)>("xcb_put_image");
  drawn = drawn || mapped;
  return real(c, format, drawable, gc, width, height, dst_x, dst_y, left_pad, depth, data_len,
              data);
}

extern "C" xcb_void_cookie_t xcb_copy_area(xcb_connection_t* c, xcb_drawable_t src,
                                           xcb_drawable_t dst, xcb_gcontext_t gc, int16_t src_x,
                                           int16_t src_y, int16_t dst_x, int16_t dst_y,
                                           uint16_t width, uint16_t height) {
  static const auto real = next<decltype(&xcb_copy_area)>("xcb_copy_area");
  drawn = drawn || mapped;
  return real(c, src, dst, gc, src_x, src_y, dst_x, dst_y, width, height);
}

// A frame may take several puts; the flush after them sends the whole of it.
extern "C" int xcb_flush(xcb_connection_t* connection) {
  static const auto real = next<int (*)(xcb_connection_t*)>("xcb_flush");
  const int result = real(connection);
  if (drawn) endOnceDone(connection);
  return result;
}

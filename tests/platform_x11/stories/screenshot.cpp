// Writes the X screen (the root window) to a PNG file, for the real-window
// stories' report.
//
//   x11_screenshot FILE.png

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>

#include <cstdint>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: x11_screenshot FILE.png\n");
    return 2;
  }
  Display* d = XOpenDisplay(nullptr);
  if (!d) return 1;
  const Window root = DefaultRootWindow(d);
  XWindowAttributes attributes;
  XGetWindowAttributes(d, root, &attributes);
  XImage* image = XGetImage(d, root, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
  if (!image) return 1;
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, attributes.width, attributes.height);
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < attributes.height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
    for (int x = 0; x < attributes.width; ++x) {
      // A 24-bit TrueColor pixel is 0x00RRGGBB, cairo's RGB24 as well.
      row[x] = static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xffffff;
    }
  }
  cairo_surface_mark_dirty(surface);
  const bool ok = cairo_surface_write_to_png(surface, argv[1]) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  XDestroyImage(image);
  XCloseDisplay(d);
  return ok ? 0 : 1;
}

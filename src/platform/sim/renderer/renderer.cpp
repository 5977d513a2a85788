#include "platform/sim/renderer/renderer.h"

#include "platform/sim/renderer/cairo_shapes.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <system_error>
#include <vector>

#include "platform/sim/renderer/renderer_layout.h"
#include "platform/sim/renderer/renderer_paint.h"
#include "platform/sim/renderer/renderer_panels.h"

namespace vistarail::sim {

namespace {

constexpr double kMarginPixels = 16;

struct SurfaceDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
  void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using ContextPtr = std::unique_ptr<cairo_t, ContextDeleter>;

std::vector<Rect> usableDisplayFrames(const Scene& scene) {
  std::vector<Rect> frames;
  for (const auto& display : scene.displays) {
    if (auto frame = usableRect(display.frame)) frames.push_back(*frame);
  }
  return frames;
}

void clipToDisplays(cairo_t* cr, const std::vector<Rect>& displayFrames, const Projection& p) {
  for (const Rect& frame : displayFrames) {
    const Rect px = p.toPixels(frame);
    cairo_rectangle(cr, px.minX(), px.minY(), px.width(), px.height());
  }
  cairo_clip(cr);
}

void drawScene(cairo_t* cr, const Scene& scene, int widthPixels, int heightPixels) {
  paintBackground(cr, widthPixels, heightPixels);
  const Projection projection =
      fitProjection(displayBounds(scene), widthPixels, heightPixels, kMarginPixels);
  for (const auto& display : scene.displays) paintDisplay(cr, display, projection);

  const std::vector<Rect> displayFrames = usableDisplayFrames(scene);
  struct Sliver {
    WindowPiece piece;
    const SceneWindow* window;
  };
  std::vector<Sliver> slivers;
  // Panels are drawn where they sit in the window order, between windows.
  size_t nextPanel = 0;
  auto panelsUpTo = [&](size_t windowsBehind) {
    for (;
         nextPanel < scene.panels.size() && scene.panels[nextPanel].windowsBehind <= windowsBehind;
         ++nextPanel) {
      cairo_save(cr);
      clipToDisplays(cr, displayFrames, projection);
      paintPanel(cr, scene.panels[nextPanel], projection);
      cairo_restore(cr);
    }
  };
  for (size_t i = 0; i < scene.windows.size(); ++i) {
    panelsUpTo(i);
    const SceneWindow& window = scene.windows[i];
    if (!usableRect(window.frame)) continue;
    cairo_save(cr);
    clipToDisplays(cr, displayFrames, projection);
    paintWindow(cr, window, projection);
    cairo_restore(cr);
    for (const auto& piece :
         windowPieces(window.frame, displayFrames, projection, Renderer::kMinimumSliverPixels)) {
      if (piece.sliver != SliverSide::none) slivers.push_back({piece, &window});
    }
  }
  panelsUpTo(scene.windows.size());
  // Slivers go on top: the point of drawing them is that they can be found.
  for (const auto& sliver : slivers) paintSliver(cr, sliver.piece, *sliver.window);
}

struct PngFile {
  std::FILE* file = nullptr;
  int error = 0;
};

cairo_status_t writeChunk(void* closure, const unsigned char* data, unsigned int length) {
  auto* out = static_cast<PngFile*>(closure);
  if (std::fwrite(data, 1, length, out->file) == length) return CAIRO_STATUS_SUCCESS;
  out->error = errno;
  return CAIRO_STATUS_WRITE_ERROR;
}

std::string errnoText(int error) {
  return std::error_code(error, std::generic_category()).message();
}

std::optional<std::string> savePng(cairo_surface_t* surface, const std::filesystem::path& path) {
  PngFile out;
  out.file = std::fopen(path.c_str(), "wb");
  if (!out.file) return "could not write \"" + path.string() + "\" (" + errnoText(errno) + ")";
  const cairo_status_t status = cairo_surface_write_to_png_stream(surface, writeChunk, &out);
  const bool closed = std::fclose(out.file) == 0;
  if (status == CAIRO_STATUS_SUCCESS && closed) return std::nullopt;
  const int error = out.error != 0 ? out.error : errno;
  std::remove(path.c_str());
  const std::string reason = status != CAIRO_STATUS_SUCCESS && out.error == 0
                                 ? cairo_status_to_string(status)
                                 : errnoText(error);
  return "could not write \"" + path.string() + "\" (" + reason + ")";
}

}  // namespace

// Cairo and fontconfig keep font caches for the life of the process, some of
// which memory checkers see as lost. Releasing them at exit keeps leak reports
// about this program's own memory. Safe because nothing draws during exit.
void releaseFontCachesAtExit() {
  static const bool registered = [] {
    std::atexit([] {
      cairo_debug_reset_static_data();
      FcFini();
    });
    return true;
  }();
  (void)registered;
}

std::optional<std::string> Renderer::writePng(const Scene& scene, const std::filesystem::path& path,
                                              int widthPixels, int heightPixels) const {
  if (widthPixels < kMinPixels || widthPixels > kMaxPixels || heightPixels < kMinPixels ||
      heightPixels > kMaxPixels) {
    return "cannot draw a picture of " + std::to_string(widthPixels) + "x" +
           std::to_string(heightPixels) + " pixels: each side must be between " +
           std::to_string(kMinPixels) + " and " + std::to_string(kMaxPixels);
  }
  if (path.empty()) return "no file name given for the picture";
  SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, widthPixels, heightPixels));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
    return std::string("could not create the picture (") +
           cairo_status_to_string(cairo_surface_status(surface.get())) + ")";
  }
  releaseFontCachesAtExit();
  ContextPtr cr(cairo_create(surface.get()));
  drawScene(cr.get(), scene, widthPixels, heightPixels);
  if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) {
    return std::string("could not draw the picture (") +
           cairo_status_to_string(cairo_status(cr.get())) + ")";
  }
  cairo_surface_flush(surface.get());
  return savePng(surface.get(), path);
}

}  // namespace vistarail::sim

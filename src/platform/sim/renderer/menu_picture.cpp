#include "platform/sim/renderer/menu_picture.h"

#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "platform/sim/renderer/cairo_shapes.h"

namespace vistarail::sim {
namespace {

constexpr double kScale = 2;  // a Retina picture
constexpr double kBarHeight = 24;
constexpr double kRowHeight = 22;
constexpr double kSeparatorHeight = 11;
constexpr double kFontSize = 13;
constexpr double kPadding = 6;
constexpr double kMenuWidth = 300;
constexpr double kPictureWidth = kMenuWidth + 2 * kPadding + 40;

struct SurfaceDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
  void operator()(cairo_t* c) const { cairo_destroy(c); }
};

void text(cairo_t* cr, const std::string& s, double x, double baseline, double grey,
          double alpha = 1) {
  cairo_select_font_face(cr, kPictureFont, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, kFontSize);
  cairo_set_source_rgba(cr, grey, grey, grey, alpha);
  cairo_move_to(cr, x, baseline);
  cairo_show_text(cr, s.c_str());
}

double textWidth(cairo_t* cr, const std::string& s) {
  cairo_select_font_face(cr, kPictureFont, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, kFontSize);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, s.c_str(), &extents);
  return extents.x_advance;
}

// The strip symbol: three columns in a rounded frame, crossed out when slashed.
void icon(cairo_t* cr, double x, double y, bool slashed, double alpha) {
  cairo_set_source_rgba(cr, 0.1, 0.1, 0.1, alpha);
  cairo_set_line_width(cr, 1.4);
  cairo_rectangle(cr, x, y, 18, 12);
  cairo_stroke(cr);
  for (double cx : {x + 6, x + 12}) {
    cairo_move_to(cr, cx, y);
    cairo_line_to(cr, cx, y + 12);
  }
  cairo_stroke(cr);
  if (slashed) {
    cairo_set_line_width(cr, 1.8);
    cairo_move_to(cr, x - 1, y + 14);
    cairo_line_to(cr, x + 19, y - 2);
    cairo_stroke(cr);
  }
}

double menuHeight(const Menu& menu) {
  double height = 2 * kPadding;
  for (const MenuItem& item : menu.items)
    height += item.isSeparator ? kSeparatorHeight : kRowHeight;
  return height;
}

std::string keyText(const MenuItem& item) {
  if (item.keyEquivalent.empty()) return "";
  std::string keys;
  if (item.keyEquivalentModifiers & kMenuControlKey) keys += "\u2303";
  if (item.keyEquivalentModifiers & kMenuOptionKey) keys += "\u2325";
  if (item.keyEquivalentModifiers & kMenuShiftKey) keys += "\u21e7";
  if (item.keyEquivalentModifiers & kMenuCommandKey) keys += "\u2318";
  std::string key = item.keyEquivalent;
  std::transform(key.begin(), key.end(), key.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return keys + key;
}

void drawMenu(cairo_t* cr, const MenuPicture& picture, double height) {
  cairo_set_source_rgb(cr, 0.93, 0.93, 0.95);
  cairo_paint(cr);
  // The menu bar with the item at its right, highlighted while its menu is open.
  cairo_set_source_rgb(cr, 0.85, 0.85, 0.88);
  cairo_rectangle(cr, 0, 0, kPictureWidth, kBarHeight);
  cairo_fill(cr);
  const double itemX = kPadding + 10;
  cairo_set_source_rgba(cr, 0, 0, 0, 0.15);
  cairo_rectangle(cr, itemX - 4, 2, 30, kBarHeight - 4);
  cairo_fill(cr);
  if (!picture.iconSymbol.empty()) {
    icon(cr, itemX + 2, 6, picture.iconSymbol.ends_with(".slash"), picture.iconDimmed ? 0.4 : 1);
  }

  const double top = kBarHeight + 2;
  cairo_set_source_rgb(cr, 0.98, 0.98, 0.98);
  cairo_rectangle(cr, itemX - 4, top, kMenuWidth, height - top - kPadding);
  cairo_fill_preserve(cr);
  cairo_set_source_rgb(cr, 0.7, 0.7, 0.72);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);

  double y = top + kPadding;
  const double left = itemX + 18;
  const double right = itemX - 4 + kMenuWidth - 12;
  for (const MenuItem& item : picture.menu.items) {
    if (item.isSeparator) {
      cairo_set_source_rgb(cr, 0.82, 0.82, 0.84);
      cairo_move_to(cr, itemX + 4, y + kSeparatorHeight / 2);
      cairo_line_to(cr, right + 6, y + kSeparatorHeight / 2);
      cairo_stroke(cr);
      y += kSeparatorHeight;
      continue;
    }
    const double baseline = y + 15;
    const double grey = item.enabled ? 0.1 : 0.62;
    if (item.checked) text(cr, "\u2713", itemX + 2, baseline, grey);
    if (item.attributedTitle.empty()) {
      text(cr, item.title, left, baseline, grey);
    } else {
      // The title's own run on the left, the shortcut after the tab at the
      // right edge, in the secondary colour.
      std::string title;
      std::string secondary;
      for (const MenuTextRun& run : item.attributedTitle) {
        std::string part = run.text;
        if (!part.empty() && part.back() == '\t') part.pop_back();
        (run.color == LabelColor::secondaryLabel ? secondary : title) += part;
      }
      text(cr, title, left, baseline, grey);
      text(cr, secondary, right - textWidth(cr, secondary), baseline, 0.5);
    }
    const std::string keys = keyText(item);
    if (!keys.empty()) text(cr, keys, right - textWidth(cr, keys), baseline, 0.45);
    y += kRowHeight;
  }
}

}  // namespace

std::optional<std::string> writeMenuPng(const MenuPicture& picture,
                                        const std::filesystem::path& path) {
  if (path.empty()) return "no file name given for the menu picture";
  const double height = kBarHeight + 2 + menuHeight(picture.menu) + kPadding;
  releaseFontCachesAtExit();
  std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface(
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(kPictureWidth * kScale),
                                 static_cast<int>(height * kScale)));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
    return "could not create the menu picture";
  }
  {
    std::unique_ptr<cairo_t, ContextDeleter> cr(cairo_create(surface.get()));
    cairo_scale(cr.get(), kScale, kScale);
    drawMenu(cr.get(), picture, height);
  }
  cairo_surface_flush(surface.get());
  if (cairo_surface_write_to_png(surface.get(), path.c_str()) != CAIRO_STATUS_SUCCESS) {
    std::remove(path.c_str());
    return "could not write \"" + path.string() + "\"";
  }
  return std::nullopt;
}

}  // namespace vistarail::sim

#include "platform/sim/renderer/renderer_paint.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace vistarail::sim {

namespace {

constexpr Rgb kBackground{0.11, 0.11, 0.13};
constexpr Rgb kDesktopTop{0.22, 0.33, 0.50};
constexpr Rgb kDesktopBottom{0.13, 0.18, 0.30};
constexpr Rgb kMenuBar{0.90, 0.90, 0.93};
constexpr Rgb kDock{0.30, 0.31, 0.36};
constexpr Rgb kAccent{0.18, 0.49, 0.96};
constexpr Rgb kMarker{1.00, 0.55, 0.05};
constexpr char kFont[] = "DejaVu Sans";
constexpr double kPi = std::numbers::pi;

// Typical sizes, in points, of the things every window has.
constexpr double kTitleBarPoints = 28;
constexpr double kCornerPoints = 10;

void setColor(cairo_t* cr, Rgb c, double alpha = 1) {
  cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

Rgb mix(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

void roundedRect(cairo_t* cr, const Rect& r, double radius) {
  radius = std::min({radius, r.width() / 2, r.height() / 2});
  if (radius <= 0.5) {
    cairo_rectangle(cr, r.minX(), r.minY(), r.width(), r.height());
    return;
  }
  const double x0 = r.minX(), y0 = r.minY(), x1 = r.maxX(), y1 = r.maxY();
  cairo_new_sub_path(cr);
  cairo_arc(cr, x1 - radius, y0 + radius, radius, -kPi / 2, 0);
  cairo_arc(cr, x1 - radius, y1 - radius, radius, 0, kPi / 2);
  cairo_arc(cr, x0 + radius, y1 - radius, radius, kPi / 2, kPi);
  cairo_arc(cr, x0 + radius, y0 + radius, radius, kPi, 3 * kPi / 2);
  cairo_close_path(cr);
}

// Cairo refuses (and stops drawing altogether) on malformed UTF-8, and titles
// come from other applications: replace every malformed sequence with U+FFFD.
std::string validUtf8(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    const auto lead = static_cast<unsigned char>(s[i]);
    size_t length = 0;
    uint32_t min = 0;
    uint32_t cp = 0;
    if (lead < 0x80) {
      length = 1, cp = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2, cp = lead & 0x1F, min = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3, cp = lead & 0x0F, min = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4, cp = lead & 0x07, min = 0x10000;
    }
    bool ok = length > 0 && i + length <= s.size();
    for (size_t k = 1; ok && k < length; ++k) {
      const auto c = static_cast<unsigned char>(s[i + k]);
      ok = (c & 0xC0) == 0x80;
      cp = (cp << 6) | (c & 0x3F);
    }
    ok = ok && cp >= min && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF) && cp != 0;
    if (ok) {
      out.append(s, i, length);
      i += length;
    } else {
      out += "\xEF\xBF\xBD";
      ++i;
    }
  }
  return out;
}

// Byte length of the longest prefix of at most `count` whole UTF-8 characters.
size_t utf8Prefix(const std::string& s, size_t count) {
  size_t i = 0;
  while (i < s.size() && count > 0) {
    ++i;
    while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
    --count;
  }
  return i;
}

size_t utf8Length(const std::string& s) {
  return static_cast<size_t>(std::count_if(
      s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

double textWidth(cairo_t* cr, const std::string& s) {
  cairo_text_extents_t extents;
  cairo_text_extents(cr, s.c_str(), &extents);
  return extents.x_advance;
}

// The text, shortened with an ellipsis until it fits; empty if nothing fits.
std::string fitted(cairo_t* cr, const std::string& text, double maxWidth) {
  if (maxWidth <= 0) return {};
  if (textWidth(cr, text) <= maxWidth) return text;
  // Binary search on the character count keeps long titles cheap.
  size_t lo = 0, hi = utf8Length(text);
  while (lo < hi) {
    const size_t mid = (lo + hi + 1) / 2;
    if (textWidth(cr, text.substr(0, utf8Prefix(text, mid)) + "…") <= maxWidth) {
      lo = mid;
    } else {
      hi = mid - 1;
    }
  }
  if (lo == 0) return {};
  return text.substr(0, utf8Prefix(text, lo)) + "…";
}

// Draws one line of text vertically centred in the band [top, top + height).
void bandText(cairo_t* cr, const std::string& text, double left, double top, double height,
              double maxWidth, Rgb color, cairo_font_weight_t weight) {
  const double fontSize = std::min(height * 0.62, 15.0);
  if (fontSize < 5) return;
  cairo_select_font_face(cr, kFont, CAIRO_FONT_SLANT_NORMAL, weight);
  cairo_set_font_size(cr, fontSize);
  const std::string shown = fitted(cr, validUtf8(text), maxWidth);
  if (shown.empty()) return;
  cairo_font_extents_t font;
  cairo_font_extents(cr, &font);
  setColor(cr, color);
  cairo_move_to(cr, left, top + (height + font.ascent - font.descent) / 2);
  cairo_show_text(cr, shown.c_str());
}

void fillRect(cairo_t* cr, const Rect& r, Rgb color, double alpha = 1) {
  if (r.isNull() || r.width() <= 0 || r.height() <= 0) return;
  setColor(cr, color, alpha);
  cairo_rectangle(cr, r.minX(), r.minY(), r.width(), r.height());
  cairo_fill(cr);
}

void paintDock(cairo_t* cr, const Rect& area, double cornerPixels) {
  fillRect(cr, area, kDock, 0.85);
  if (area.width() < 6 || area.height() < 6) return;
  // A pill with a few icon squares reads as a Dock at any size.
  const Rect pill = area.width() >= area.height()
                        ? area.insetBy(area.width() * 0.2, area.height() * 0.15)
                        : area.insetBy(area.width() * 0.15, area.height() * 0.2);
  if (pill.isNull()) return;
  setColor(cr, {0.75, 0.77, 0.82}, 0.35);
  roundedRect(cr, pill, cornerPixels);
  cairo_fill(cr);
  const bool horizontal = pill.width() >= pill.height();
  const double icon = (horizontal ? pill.height() : pill.width()) * 0.7;
  const double length = horizontal ? pill.width() : pill.height();
  const int count = std::clamp(static_cast<int>(length / (icon * 1.4)), 0, 12);
  for (int i = 0; i < count; ++i) {
    const double along = (i + 0.5) * length / count - icon / 2;
    const Rect square = horizontal ? Rect(pill.minX() + along, pill.midY() - icon / 2, icon, icon)
                                   : Rect(pill.midX() - icon / 2, pill.minY() + along, icon, icon);
    setColor(cr, appTint(std::to_string(i * 7919)), 0.9);
    roundedRect(cr, square, icon * 0.22);
    cairo_fill(cr);
  }
}

}  // namespace

Rgb appTint(const std::string& appName) {
  // FNV-1a: stable across runs and platforms, unlike std::hash.
  uint32_t h = 2166136261u;
  for (unsigned char c : appName) h = (h ^ c) * 16777619u;
  const double hue = (h % 360) / 60.0;
  const double saturation = 0.55, lightness = 0.62;
  const double chroma = (1 - std::fabs(2 * lightness - 1)) * saturation;
  const double x = chroma * (1 - std::fabs(std::fmod(hue, 2.0) - 1));
  const double m = lightness - chroma / 2;
  Rgb c;
  switch (static_cast<int>(hue)) {
    case 0:
      c = {chroma, x, 0};
      break;
    case 1:
      c = {x, chroma, 0};
      break;
    case 2:
      c = {0, chroma, x};
      break;
    case 3:
      c = {0, x, chroma};
      break;
    case 4:
      c = {x, 0, chroma};
      break;
    default:
      c = {chroma, 0, x};
      break;
  }
  return {c.r + m, c.g + m, c.b + m};
}

void paintBackground(cairo_t* cr, int widthPixels, int heightPixels) {
  fillRect(cr, Rect(0, 0, widthPixels, heightPixels), kBackground);
}

void paintDisplay(cairo_t* cr, const SceneDisplay& display, const Projection& projection) {
  const auto frame = usableRect(display.frame);
  if (!frame) return;
  const Rect framePx = projection.toPixels(*frame);
  // A visible frame that is missing or strays outside the display means "all of it".
  Rect visible = usableRect(display.visibleFrame).value_or(*frame).intersection(*frame);
  if (visible.isNull()) visible = *frame;
  const Rect visiblePx = projection.toPixels(visible);

  cairo_pattern_t* gradient = cairo_pattern_create_linear(0, framePx.minY(), 0, framePx.maxY());
  cairo_pattern_add_color_stop_rgb(gradient, 0, kDesktopTop.r, kDesktopTop.g, kDesktopTop.b);
  cairo_pattern_add_color_stop_rgb(gradient, 1, kDesktopBottom.r, kDesktopBottom.g,
                                   kDesktopBottom.b);
  cairo_set_source(cr, gradient);
  cairo_rectangle(cr, framePx.minX(), framePx.minY(), framePx.width(), framePx.height());
  cairo_fill(cr);
  cairo_pattern_destroy(gradient);

  const Rect menuBar(framePx.minX(), framePx.minY(), framePx.width(),
                     visiblePx.minY() - framePx.minY());
  fillRect(cr, menuBar, kMenuBar, 0.92);
  const double corner = kCornerPoints * projection.pixelsPerPoint;
  paintDock(
      cr,
      Rect(framePx.minX(), visiblePx.maxY(), framePx.width(), framePx.maxY() - visiblePx.maxY()),
      corner);
  paintDock(
      cr,
      Rect(framePx.minX(), visiblePx.minY(), visiblePx.minX() - framePx.minX(), visiblePx.height()),
      corner);
  paintDock(cr,
            Rect(visiblePx.maxX(), visiblePx.minY(), framePx.maxX() - visiblePx.maxX(),
                 visiblePx.height()),
            corner);

  const std::string label = display.name + (display.isPrimary ? "  (primary)" : "");
  if (menuBar.height() > 0) {
    cairo_save(cr);
    cairo_rectangle(cr, menuBar.minX(), menuBar.minY(), menuBar.width(), menuBar.height());
    cairo_clip(cr);
    const double pad = menuBar.height() * 0.6;
    bandText(cr, label, menuBar.minX() + pad, menuBar.minY(), menuBar.height(),
             menuBar.width() - 2 * pad, {0.1, 0.1, 0.12}, CAIRO_FONT_WEIGHT_BOLD);
    cairo_restore(cr);
  }
  setColor(cr, {0, 0, 0}, 0.6);
  cairo_set_line_width(cr, 1);
  cairo_rectangle(cr, framePx.minX() + 0.5, framePx.minY() + 0.5, framePx.width() - 1,
                  framePx.height() - 1);
  cairo_stroke(cr);
}

void paintWindow(cairo_t* cr, const SceneWindow& window, const Projection& projection) {
  const auto frame = usableRect(window.frame);
  if (!frame) return;
  const Rect px = projection.toPixels(*frame);
  const double corner = std::min(kCornerPoints * projection.pixelsPerPoint, 8.0);
  const double titleHeight =
      std::min(std::clamp(kTitleBarPoints * projection.pixelsPerPoint, 8.0, 36.0), px.height());
  const Rgb tint = appTint(window.appName);
  const double bodyAlpha = window.floating ? 0.72 : 1.0;

  // Shadow, body, then the title bar over the body's top.
  setColor(cr, {0, 0, 0}, window.floating ? 0.15 : 0.3);
  roundedRect(cr, px.offsetBy(2, 3), corner);
  cairo_fill(cr);
  const Rgb body = window.floating ? mix(tint, {1, 1, 1}, 0.9) : mix(tint, {1, 1, 1}, 0.82);
  setColor(cr, body, bodyAlpha);
  roundedRect(cr, px, corner);
  cairo_fill(cr);

  cairo_save(cr);
  roundedRect(cr, px, corner);
  cairo_clip(cr);
  const Rect titleBar(px.minX(), px.minY(), px.width(), titleHeight);
  const Rgb titleColor =
      window.focused ? kAccent : (window.floating ? mix(tint, {1, 1, 1}, 0.55) : tint);
  fillRect(cr, titleBar, titleColor, bodyAlpha);
  double textLeft = titleBar.minX() + titleHeight * 0.4;
  if (titleHeight >= 10) {
    // The three window buttons, for recognition.
    const Rgb buttons[] = {{0.99, 0.37, 0.34}, {0.99, 0.74, 0.18}, {0.16, 0.79, 0.26}};
    const double radius = titleHeight * 0.18;
    for (int i = 0; i < 3; ++i) {
      setColor(cr, buttons[i]);
      cairo_arc(cr, textLeft + radius + i * radius * 3.2, titleBar.midY(), radius, 0, 2 * kPi);
      cairo_fill(cr);
    }
    textLeft += radius * 10;
  }
  const std::string text =
      window.title.empty() ? window.appName : window.title + "  —  " + window.appName;
  const Rgb textColor = window.focused ? Rgb{1, 1, 1} : Rgb{0.08, 0.08, 0.1};
  bandText(cr, text, textLeft, titleBar.minY(), titleHeight, titleBar.maxX() - textLeft - 4,
           textColor, window.focused ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_restore(cr);

  if (window.focused) {
    setColor(cr, kAccent);
    cairo_set_line_width(cr, 3);
    roundedRect(cr, px.insetBy(-1.5, -1.5), corner + 1.5);
    cairo_stroke(cr);
    return;
  }
  setColor(cr, {0, 0, 0}, window.floating ? 0.25 : 0.45);
  cairo_set_line_width(cr, 1);
  if (window.floating) {
    const double dashes[] = {4, 3};
    cairo_set_dash(cr, dashes, 2, 0);
  }
  roundedRect(cr, px.insetBy(0.5, 0.5), corner);
  cairo_stroke(cr);
  cairo_set_dash(cr, nullptr, 0, 0);
}

void paintSliver(cairo_t* cr, const WindowPiece& piece, const SceneWindow& window) {
  const Rgb color = window.focused ? kAccent : appTint(window.appName);
  fillRect(cr, piece.pixels, color);
  // A triangle just inside the display, pointing at the edge the window hides behind.
  const Rect& d = piece.displayPixels;
  const Rect& s = piece.pixels;
  const double size = std::clamp(std::min(d.width(), d.height()) * 0.02, 5.0, 12.0);
  double tipX = 0, tipY = 0, dx = 0, dy = 0;
  switch (piece.sliver) {
    case SliverSide::right:
      tipX = s.minX() - 2;
      tipY = s.midY();
      dx = -1;
      break;
    case SliverSide::left:
      tipX = s.maxX() + 2;
      tipY = s.midY();
      dx = 1;
      break;
    case SliverSide::bottom:
      tipX = s.midX();
      tipY = s.minY() - 2;
      dy = -1;
      break;
    case SliverSide::top:
      tipX = s.midX();
      tipY = s.maxY() + 2;
      dy = 1;
      break;
    case SliverSide::none:
      return;
  }
  // dx/dy point from the tip back into the display; the base is `size` further in.
  const double baseX = tipX + dx * size, baseY = tipY + dy * size;
  setColor(cr, kMarker);
  cairo_move_to(cr, tipX, tipY);
  cairo_line_to(cr, baseX - dy * size * 0.6, baseY - dx * size * 0.6);
  cairo_line_to(cr, baseX + dy * size * 0.6, baseY + dx * size * 0.6);
  cairo_close_path(cr);
  cairo_fill_preserve(cr);
  setColor(cr, {0, 0, 0}, 0.6);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  setColor(cr, kMarker);
  cairo_set_line_width(cr, 1);
  cairo_rectangle(cr, s.minX() - 0.5, s.minY() - 0.5, s.width() + 1, s.height() + 1);
  cairo_stroke(cr);
}

}  // namespace vistarail::sim

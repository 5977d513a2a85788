#include "platform/sim/renderer/renderer_panels.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>
#include <string>

#include "platform/sim/renderer/cairo_shapes.h"
#include "platform/sim/renderer/renderer_paint.h"

namespace vistarail::sim {

namespace {

void ovalPath(cairo_t* cr, const Rect& r) {
  if (r.width() <= 0 || r.height() <= 0) return;
  cairo_save(cr);
  cairo_translate(cr, r.midX(), r.midY());
  cairo_scale(cr, r.width() / 2, r.height() / 2);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
}

struct Shadow {
  Size offset;
  double blur = 0;
  Color color;
};

// A blurred shadow as widening, fading copies of the filled shape.
template <typename PathFn>
void paintShadow(cairo_t* cr, const Shadow& shadow, const Rect& shape, PathFn path) {
  constexpr int kSteps = 4;
  for (int i = kSteps; i >= 1; --i) {
    const double grow = shadow.blur * i / kSteps;
    setColor(cr, shadow.color.withAlpha(shadow.color.alpha / kSteps));
    path(shape.offsetBy(shadow.offset.width, shadow.offset.height).grownBy(grow / 2));
    cairo_fill(cr);
  }
}

void paintText(cairo_t* cr, const DrawCommand& command) {
  double total = 0;
  for (const TextRun& run : command.runs) {
    cairo_select_font_face(
        cr, kPictureFont, CAIRO_FONT_SLANT_NORMAL,
        run.weight == FontWeight::semibold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, run.fontSize);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, run.text.c_str(), &extents);
    total += extents.x_advance;
  }
  // A centred paragraph: the line sits in the middle of the rectangle.
  double x = command.rect.minX() + std::max(0.0, (command.rect.width() - total) / 2);
  cairo_save(cr);
  cairo_rectangle(cr, command.rect.minX(), command.rect.minY(), command.rect.width(),
                  command.rect.height());
  cairo_clip(cr);
  for (const TextRun& run : command.runs) {
    cairo_select_font_face(
        cr, kPictureFont, CAIRO_FONT_SLANT_NORMAL,
        run.weight == FontWeight::semibold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, run.fontSize);
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);
    setColor(cr, run.color);
    cairo_move_to(cr, x,
                  command.rect.minY() + (command.rect.height() + font.ascent - font.descent) / 2);
    cairo_show_text(cr, run.text.c_str());
    cairo_text_extents_t extents;
    cairo_text_extents(cr, run.text.c_str(), &extents);
    x += extents.x_advance;
  }
  cairo_restore(cr);
}

void paintIcon(cairo_t* cr, const DrawCommand& command) {
  const Rgb tint = appTint(command.appName);
  cairo_set_source_rgb(cr, tint.r, tint.g, tint.b);
  roundedRectPath(cr, command.rect, command.rect.width() * 0.22);
  cairo_fill(cr);
  if (command.appName.empty()) return;
  const char initial[2] = {
      static_cast<char>(std::toupper(static_cast<unsigned char>(command.appName[0]))), 0};
  cairo_select_font_face(cr, kPictureFont, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr, command.rect.height() * 0.6);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, initial, &extents);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.95);
  cairo_move_to(cr, command.rect.midX() - extents.x_advance / 2,
                command.rect.midY() + extents.height / 2);
  cairo_show_text(cr, initial);
}

cairo_line_cap_t toCairo(LineCap cap) {
  switch (cap) {
    case LineCap::round:
      return CAIRO_LINE_CAP_ROUND;
    case LineCap::square:
      return CAIRO_LINE_CAP_SQUARE;
    case LineCap::butt:
      break;
  }
  return CAIRO_LINE_CAP_BUTT;
}

cairo_line_join_t toCairo(LineJoin join) {
  switch (join) {
    case LineJoin::round:
      return CAIRO_LINE_JOIN_ROUND;
    case LineJoin::bevel:
      return CAIRO_LINE_JOIN_BEVEL;
    case LineJoin::miter:
      break;
  }
  return CAIRO_LINE_JOIN_MITER;
}

}  // namespace

void replay(cairo_t* cr, const DisplayList& drawing) {
  std::vector<std::optional<Shadow>> saved;
  std::optional<Shadow> shadow;
  for (const DrawCommand& c : drawing) {
    using Kind = DrawCommand::Kind;
    switch (c.kind) {
      case Kind::saveState:
        saved.push_back(shadow);
        cairo_save(cr);
        break;
      case Kind::restoreState:
        if (saved.empty()) break;
        shadow = saved.back();
        saved.pop_back();
        cairo_restore(cr);
        break;
      case Kind::shadow:
        shadow = Shadow{c.offset, c.blur, c.color};
        break;
      case Kind::fillRect:
        if (shadow)
          paintShadow(cr, *shadow, c.rect, [&](const Rect& r) {
            cairo_rectangle(cr, r.minX(), r.minY(), r.width(), r.height());
          });
        cairo_save(cr);
        cairo_set_operator(cr,
                           c.op == CompositeOp::copy ? CAIRO_OPERATOR_SOURCE : CAIRO_OPERATOR_OVER);
        setColor(cr, c.color);
        cairo_rectangle(cr, c.rect.minX(), c.rect.minY(), c.rect.width(), c.rect.height());
        cairo_fill(cr);
        cairo_restore(cr);
        break;
      case Kind::fillRoundedRect:
        if (shadow)
          paintShadow(cr, *shadow, c.rect,
                      [&](const Rect& r) { roundedRectPath(cr, r, c.radius); });
        setColor(cr, c.color);
        roundedRectPath(cr, c.rect, c.radius);
        cairo_fill(cr);
        break;
      case Kind::strokeRoundedRect:
        setColor(cr, c.color);
        cairo_set_line_width(cr, c.lineWidth);
        roundedRectPath(cr, c.rect, c.radius);
        cairo_stroke(cr);
        break;
      case Kind::fillOval:
        if (shadow) paintShadow(cr, *shadow, c.rect, [&](const Rect& r) { ovalPath(cr, r); });
        setColor(cr, c.color);
        ovalPath(cr, c.rect);
        cairo_fill(cr);
        break;
      case Kind::strokePath:
        if (c.points.size() < 2) break;
        setColor(cr, c.color);
        cairo_set_line_width(cr, c.lineWidth);
        cairo_set_line_cap(cr, toCairo(c.cap));
        cairo_set_line_join(cr, toCairo(c.join));
        cairo_move_to(cr, c.points[0].x, c.points[0].y);
        for (size_t i = 1; i < c.points.size(); ++i)
          cairo_line_to(cr, c.points[i].x, c.points[i].y);
        cairo_stroke(cr);
        break;
      case Kind::text:
        paintText(cr, c);
        break;
      case Kind::icon:
        paintIcon(cr, c);
        break;
    }
  }
  while (!saved.empty()) {
    saved.pop_back();
    cairo_restore(cr);
  }
}

void paintPanel(cairo_t* cr, const ScenePanel& panel, const Projection& projection) {
  if (panel.alpha <= 0 || !usableRect(panel.frame)) return;
  const Rect px = projection.toPixels(panel.frame);
  cairo_save(cr);
  cairo_push_group(cr);
  cairo_translate(cr, px.minX(), px.minY());
  cairo_scale(cr, projection.pixelsPerPoint, projection.pixelsPerPoint);
  const Rect bounds({0, 0}, panel.frame.size);
  if (panel.background == PanelBackground::hudMaterial) {
    // The HUD material: dark, translucent, rounded.
    cairo_set_source_rgba(cr, 0.12, 0.12, 0.14, 0.82);
    roundedRectPath(cr, bounds, panel.cornerRadius);
    cairo_fill(cr);
    roundedRectPath(cr, bounds, panel.cornerRadius);
    cairo_clip(cr);
  }
  replay(cr, panel.drawing);
  cairo_pop_group_to_source(cr);
  cairo_paint_with_alpha(cr, std::min(1.0, panel.alpha));
  cairo_restore(cr);
}

}  // namespace vistarail::sim

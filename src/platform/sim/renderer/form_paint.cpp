#include "platform/sim/renderer/form_paint.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "platform/sim/renderer/cairo_shapes.h"
#include "platform/sim/renderer/renderer_paint.h"

namespace vistarail::sim::form {

Color toneColor(FormTone tone) {
  switch (tone) {
    case FormTone::primary:
      return palette::kLabel;
    case FormTone::secondary:
    case FormTone::caption:
      return palette::kSecondary;
    case FormTone::success:
      return palette::kGreen;
    case FormTone::warning:
      return palette::kOrange;
    case FormTone::info:
      return palette::kBlue;
    case FormTone::error:
      return palette::kRed;
  }
  return palette::kLabel;
}

void Painter::select(Font font) const {
  cairo_select_font_face(cr_, kPictureFont, CAIRO_FONT_SLANT_NORMAL,
                         font.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr_, font.size);
}

double Painter::textWidth(const std::string& text, Font font) const {
  select(font);
  cairo_text_extents_t extents;
  cairo_text_extents(cr_, text.c_str(), &extents);
  return extents.x_advance;
}

double Painter::text(const std::string& text, double x, double y, Font font, Color color) const {
  select(font);
  cairo_font_extents_t metrics;
  cairo_font_extents(cr_, &metrics);
  setColor(cr_, color);
  const double lead = (lineHeight(font) - metrics.ascent - metrics.descent) / 2;
  cairo_move_to(cr_, x, y + lead + metrics.ascent);
  cairo_show_text(cr_, text.c_str());
  return textWidth(text, font);
}

void Painter::textRight(const std::string& text, double right, double y, Font font,
                        Color color) const {
  this->text(text, right - textWidth(text, font), y, font, color);
}

std::vector<std::string> Painter::wrap(const std::string& text, double width, Font font) const {
  std::vector<std::string> lines;
  std::string current;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(start, end - start);
    const std::string candidate = current.empty() ? word : current + " " + word;
    if (!current.empty() && textWidth(candidate, font) > width) {
      lines.push_back(current);
      current = word;
    } else {
      current = candidate;
    }
    start = end + 1;
  }
  if (!current.empty() || lines.empty()) lines.push_back(current);
  return lines;
}

double Painter::paragraph(const std::string& text, double x, double y, double width, Font font,
                          Color color) const {
  double height = 0;
  for (const std::string& line : wrap(text, width, font)) {
    this->text(line, x, y + height, font, color);
    height += lineHeight(font);
  }
  return height;
}

void Painter::fillRounded(const Rect& r, double radius, Color color) const {
  setColor(cr_, color);
  roundedRectPath(cr_, r, radius);
  cairo_fill(cr_);
}

void Painter::strokeRounded(const Rect& r, double radius, double width, Color color) const {
  setColor(cr_, color);
  cairo_set_line_width(cr_, width);
  roundedRectPath(cr_, r.insetBy(width / 2, width / 2), radius);
  cairo_stroke(cr_);
}

void Painter::fillCircle(Point center, double radius, Color color) const {
  setColor(cr_, color);
  cairo_new_sub_path(cr_);
  cairo_arc(cr_, center.x, center.y, radius, 0, 2 * M_PI);
  cairo_fill(cr_);
}

void Painter::line(Point a, Point b, double width, Color color) const {
  setColor(cr_, color);
  cairo_set_line_width(cr_, width);
  cairo_set_line_cap(cr_, CAIRO_LINE_CAP_ROUND);
  cairo_move_to(cr_, a.x, a.y);
  cairo_line_to(cr_, b.x, b.y);
  cairo_stroke(cr_);
}

void Painter::appIcon(const std::string& appName, const Rect& box) const {
  const Rgb tint = appTint(appName);
  fillRounded(box, box.width() * 0.22, {tint.r, tint.g, tint.b, 1});
  if (appName.empty()) return;
  const std::string initial(
      1, static_cast<char>(std::toupper(static_cast<unsigned char>(appName[0]))));
  const Font font{box.height() * 0.55, true};
  text(initial, box.midX() - textWidth(initial, font) / 2, box.midY() - lineHeight(font) / 2, font,
       kWhite);
}

void Painter::symbol(const std::string& name, const Rect& box, Color color) const {
  const double s = box.width();
  const double x = box.minX(), y = box.minY();
  const double w = std::max(1.0, s * 0.09);
  auto at = [&](double fx, double fy) { return Point{x + fx * s, y + fy * s}; };
  if (name == "checkmark.circle.fill") {
    fillCircle(at(0.5, 0.5), s * 0.46, color);
    setColor(cr_, kWhite);
    cairo_set_line_width(cr_, w * 1.3);
    cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
    cairo_move_to(cr_, at(0.28, 0.52).x, at(0.28, 0.52).y);
    cairo_line_to(cr_, at(0.44, 0.68).x, at(0.44, 0.68).y);
    cairo_line_to(cr_, at(0.73, 0.34).x, at(0.73, 0.34).y);
    cairo_stroke(cr_);
  } else if (name == "exclamationmark.triangle.fill") {
    setColor(cr_, color);
    cairo_move_to(cr_, at(0.5, 0.06).x, at(0.5, 0.06).y);
    cairo_line_to(cr_, at(0.96, 0.9).x, at(0.96, 0.9).y);
    cairo_line_to(cr_, at(0.04, 0.9).x, at(0.04, 0.9).y);
    cairo_close_path(cr_);
    cairo_fill(cr_);
    line(at(0.5, 0.36), at(0.5, 0.6), w * 1.3, kWhite);
    fillCircle(at(0.5, 0.75), w * 0.8, kWhite);
  } else if (name == "info.circle.fill") {
    fillCircle(at(0.5, 0.5), s * 0.46, color);
    fillCircle(at(0.5, 0.3), w * 0.8, kWhite);
    line(at(0.5, 0.46), at(0.5, 0.74), w * 1.3, kWhite);
  } else if (name == "minus.circle.fill") {
    fillCircle(at(0.5, 0.5), s * 0.46, color);
    line(at(0.3, 0.5), at(0.7, 0.5), w * 1.3, kWhite);
  } else if (name == "plus") {
    line(at(0.25, 0.5), at(0.75, 0.5), w, color);
    line(at(0.5, 0.25), at(0.5, 0.75), w, color);
  } else if (name == "app.dashed") {
    setColor(cr_, color);
    const double dash[] = {s * 0.08, s * 0.06};
    cairo_set_dash(cr_, dash, 2, 0);
    cairo_set_line_width(cr_, w * 0.7);
    roundedRectPath(cr_, box.insetBy(s * 0.08, s * 0.08), s * 0.2);
    cairo_stroke(cr_);
    cairo_set_dash(cr_, nullptr, 0, 0);
  } else if (name == "gearshape") {
    for (int i = 0; i < 8; ++i) {
      const double a = i * M_PI / 4;
      line(at(0.5 + 0.3 * std::cos(a), 0.5 + 0.3 * std::sin(a)),
           at(0.5 + 0.44 * std::cos(a), 0.5 + 0.44 * std::sin(a)), w * 1.6, color);
    }
    fillCircle(at(0.5, 0.5), s * 0.32, color);
    fillCircle(at(0.5, 0.5), s * 0.13, palette::kWindow);
  } else if (name == "rectangle.split.3x1") {
    strokeRounded({at(0.06, 0.2), {s * 0.88, s * 0.6}}, s * 0.1, w, color);
    line(at(0.36, 0.2), at(0.36, 0.8), w, color);
    line(at(0.64, 0.2), at(0.64, 0.8), w, color);
  } else if (name == "hand.draw") {
    setColor(cr_, color);
    cairo_set_line_width(cr_, w * 1.2);
    cairo_move_to(cr_, at(0.1, 0.7).x, at(0.1, 0.7).y);
    cairo_curve_to(cr_, at(0.3, 0.1).x, at(0.3, 0.1).y, at(0.45, 0.95).x, at(0.45, 0.95).y,
                   at(0.6, 0.45).x, at(0.6, 0.45).y);
    cairo_curve_to(cr_, at(0.7, 0.15).x, at(0.7, 0.15).y, at(0.85, 0.6).x, at(0.85, 0.6).y,
                   at(0.92, 0.3).x, at(0.92, 0.3).y);
    cairo_stroke(cr_);
  } else if (name == "command") {
    const Font font{s * 0.8, false};
    text("⌘", box.midX() - textWidth("⌘", font) / 2, box.midY() - lineHeight(font) / 2, font,
         color);
  } else if (name == "list.bullet.rectangle") {
    strokeRounded({at(0.04, 0.14), {s * 0.92, s * 0.72}}, s * 0.1, w, color);
    for (double fy : {0.33, 0.5, 0.67}) {
      fillCircle(at(0.24, fy), w * 0.8, color);
      line(at(0.36, fy), at(0.8, fy), w, color);
    }
  } else if (name == "checklist") {
    for (double fy : {0.25, 0.52, 0.79}) {
      line(at(0.08, fy), at(0.16, fy + 0.07), w, color);
      line(at(0.16, fy + 0.07), at(0.3, fy - 0.08), w, color);
      line(at(0.42, fy), at(0.92, fy), w, color);
    }
  } else {
    strokeRounded(box.insetBy(s * 0.1, s * 0.1), s * 0.2, w, color);
  }
}

}  // namespace vistarail::sim::form

#include "platform/sim/renderer/form_renderer.h"

#include <cairo.h>

#include <cmath>
#include <memory>

#include <system_error>
#include "platform/sim/renderer/cairo_shapes.h"

#include "platform/sim/renderer/form_rows.h"

namespace vistarail::sim {

namespace {

using form::Painter;
namespace palette = form::palette;

constexpr double kTitleBar = 28;
constexpr double kTabBar = 58;
constexpr double kMargin = 24;
constexpr double kGroupInset = 14;
constexpr double kGroupGap = 14;

// What the content is made of: groups of rows on a white ground, and the
// headings standing between them.
struct Block {
  bool isGroup = false;
  std::vector<FormControl> controls;
};

std::vector<Block> blocks(const FormWindow& form) {
  std::vector<Block> out;
  for (const FormControl& c : form.controls) {
    const bool heading =
        c.kind == FormControlKind::header || c.kind == FormControlKind::sectionHeader;
    if (heading || out.empty() || !out.back().isGroup) out.push_back({!heading, {}});
    out.back().controls.push_back(c);
  }
  return out;
}

// Rows of a group, with consecutive tiles as one row.
std::vector<std::vector<FormControl>> rows(const Block& block) {
  std::vector<std::vector<FormControl>> out;
  for (const FormControl& c : block.controls) {
    const bool joinsTiles = c.kind == FormControlKind::tile && !out.empty() &&
                            out.back().front().kind == FormControlKind::tile;
    if (!joinsTiles) out.emplace_back();
    out.back().push_back(c);
  }
  return out;
}

double rowHeight(const Painter& p, const std::vector<FormControl>& row, double width) {
  if (row.front().kind == FormControlKind::tile) return form::tileGridHeight(row.size(), width);
  return form::rowHeight(p, row.front(), width);
}

// Lays out and, when `draw`, paints the content from y; returns where it ends.
double paintContent(const Painter& p, const FormWindow& form, double y, bool draw) {
  const double width = form.contentSize.width;
  for (const Block& block : blocks(form)) {
    if (!block.isGroup) {
      const double rowWidth = width - 2 * kMargin;
      const double h = form::rowHeight(p, block.controls.front(), rowWidth);
      if (draw) form::paintRow(p, block.controls.front(), {kMargin, y, rowWidth, h});
      y += h + 4;
      continue;
    }
    const double rowWidth = width - 2 * kMargin - 2 * kGroupInset;
    const auto groupRows = rows(block);
    double height = 0;
    for (const auto& row : groupRows) height += rowHeight(p, row, rowWidth);
    if (draw) {
      const Rect ground{kMargin, y, width - 2 * kMargin, height + 8};
      p.fillRounded(ground.offsetBy(0, 0.5), 9, {0, 0, 0, 0.06});
      p.fillRounded(ground, 9, palette::kGroup);
    }
    double rowY = y + 4;
    for (size_t i = 0; i < groupRows.size(); ++i) {
      const double h = rowHeight(p, groupRows[i], rowWidth);
      const Rect area{kMargin + kGroupInset, rowY, rowWidth, h};
      if (draw) {
        if (groupRows[i].front().kind == FormControlKind::tile)
          form::paintTiles(p, groupRows[i], area);
        else
          form::paintRow(p, groupRows[i].front(), area);
        if (i + 1 < groupRows.size())
          p.line({area.minX(), area.maxY()}, {area.maxX(), area.maxY()}, 0.6, palette::kSeparator);
      }
      rowY += h;
    }
    y += height + 8 + kGroupGap;
  }
  return y;
}

void paintChrome(const Painter& p, const FormWindow& form, double height) {
  const double width = form.contentSize.width;
  p.fillRounded({0, 0, width, height}, 10, palette::kWindow);
  p.fillRounded({0, 0, width, kTitleBar + kTabBar}, 10, {0.965, 0.965, 0.965, 1});
  p.line({0, kTitleBar + kTabBar}, {width, kTitleBar + kTabBar}, 1, palette::kSeparator);
  const Color lights[] = {{1.0, 0.37, 0.34, 1}, {1.0, 0.74, 0.18, 1}, {0.16, 0.79, 0.25, 1}};
  for (int i = 0; i < 3; ++i) p.fillCircle({20.0 + i * 20, kTitleBar / 2 + 2}, 6, lights[i]);
  const form::Font titleFont{13, true};
  p.text(form.title, width / 2 - p.textWidth(form.title, titleFont) / 2, 6, titleFont,
         palette::kLabel);
  const double tabWidth = 76;
  const double start = width / 2 - tabWidth * form.tabs.size() / 2;
  for (size_t i = 0; i < form.tabs.size(); ++i) {
    const bool selected = static_cast<int>(i) == form.selectedTab;
    const Rect cell{start + i * tabWidth + 2, kTitleBar + 4, tabWidth - 4, kTabBar - 8};
    if (selected) p.fillRounded(cell, 7, {0, 0, 0, 0.08});
    const Color color = selected ? palette::kAccent : palette::kSecondary;
    p.symbol(form.tabs[i].symbol, {cell.midX() - 11, cell.minY() + 4, 22, 22}, color);
    const form::Font font{11, selected};
    p.text(form.tabs[i].label, cell.midX() - p.textWidth(form.tabs[i].label, font) / 2,
           cell.minY() + 30, font, selected ? palette::kLabel : palette::kSecondary);
  }
}

struct SurfaceDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
  void operator()(cairo_t* c) const { cairo_destroy(c); }
};

}  // namespace

double formPictureHeight(const FormWindow& form) {
  releaseFontCachesAtExit();
  std::unique_ptr<cairo_surface_t, SurfaceDeleter> scratch(
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1));
  std::unique_ptr<cairo_t, ContextDeleter> cr(cairo_create(scratch.get()));
  const double end = paintContent(Painter(cr.get()), form, kTitleBar + kTabBar + 20, false);
  return std::max(form.contentSize.height + kTitleBar + kTabBar, std::ceil(end + 10));
}

std::optional<std::string> writeFormPng(const FormWindow& form, const std::filesystem::path& path,
                                        double scale) {
  if (path.empty()) return "no file name given for the picture";
  if (!(scale >= 0.5 && scale <= 4)) return "the picture scale must be between 0.5 and 4";
  const double height = formPictureHeight(form);
  const int widthPixels = static_cast<int>(std::ceil(form.contentSize.width * scale));
  const int heightPixels = static_cast<int>(std::ceil(height * scale));
  if (widthPixels < 16 || heightPixels < 16 || widthPixels > 8192 || heightPixels > 16384)
    return "cannot draw a window of " + std::to_string(widthPixels) + "x" +
           std::to_string(heightPixels) + " pixels";
  std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface(
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, widthPixels, heightPixels));
  std::unique_ptr<cairo_t, ContextDeleter> cr(cairo_create(surface.get()));
  cairo_scale(cr.get(), scale, scale);
  const Painter painter(cr.get());
  paintChrome(painter, form, height);
  paintContent(painter, form, kTitleBar + kTabBar + 20, true);
  if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS)
    return std::string("could not draw the window (") +
           cairo_status_to_string(cairo_status(cr.get())) + ")";
  cairo_surface_flush(surface.get());
  // Written beside the target and renamed, so a failure leaves no partial file.
  std::filesystem::path partial = path;
  partial += ".partial";
  const cairo_status_t written = cairo_surface_write_to_png(surface.get(), partial.c_str());
  std::error_code error;
  if (written == CAIRO_STATUS_SUCCESS) std::filesystem::rename(partial, path, error);
  if (written != CAIRO_STATUS_SUCCESS || error) {
    std::filesystem::remove(partial, error);
    return "could not write \"" + path.string() + "\" (" +
           (written != CAIRO_STATUS_SUCCESS ? cairo_status_to_string(written) : error.message()) +
           ")";
  }
  return std::nullopt;
}

}  // namespace vistarail::sim

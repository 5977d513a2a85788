#include "platform/sim/renderer/form_rows.h"

#include <algorithm>
#include <cmath>

namespace vistarail::sim::form {

namespace {

constexpr Font kBody{13, false};
constexpr Font kBold{13, true};
constexpr Font kSmall{11, false};
constexpr Font kCaption{11, false};
constexpr Font kTitle{17, true};
constexpr double kControlHeight = 22;
constexpr double kCheckSymbolColumn = 22;

Font paragraphFont(const FormControl& c) {
  return c.tone == FormTone::caption ? kCaption : kSmall;
}

// A bordered push button; returns its width.
double pushButton(const Painter& p, const std::string& title, double x, double midY, bool enabled,
                  Font font = kBody) {
  const double width = p.textWidth(title, font) + 22;
  const Rect box{x, midY - kControlHeight / 2, width, kControlHeight};
  p.fillRounded(box, 5, palette::kControl);
  p.strokeRounded(box, 5, 1, palette::kControlBorder);
  p.text(title, x + 11, midY - Painter::lineHeight(font) / 2, font,
         enabled ? palette::kLabel : palette::kSecondary);
  return width;
}

void toggleSwitch(const Painter& p, bool on, double right, double midY) {
  const Rect track{right - 38, midY - 11, 38, 22};
  p.fillRounded(track, 11, on ? palette::kAccent : palette::kTrackOff);
  p.fillCircle({on ? track.maxX() - 11 : track.minX() + 11, midY}, 9.5, kWhite);
}

double checkDetailWidth(const Painter& p, const FormControl& c, double width) {
  const double button = c.actionTitle.empty() ? 0 : p.textWidth(c.actionTitle, kSmall) + 40;
  return width - kCheckSymbolColumn - 10 - button;
}

}  // namespace

double tileGridHeight(size_t count, double width) {
  const int columns =
      std::max(1, static_cast<int>((width + kTileSpacing) / (kTileMinimumWidth + kTileSpacing)));
  const int rows = static_cast<int>((count + columns - 1) / columns);
  return rows * kTileHeight + std::max(0, rows - 1) * kTileSpacing + 2 * kRowPadding;
}

void paintTiles(const Painter& p, std::span<const FormControl> tiles, const Rect& area) {
  const double width = area.width();
  const int columns =
      std::max(1, static_cast<int>((width + kTileSpacing) / (kTileMinimumWidth + kTileSpacing)));
  const double tileWidth = (width - (columns - 1) * kTileSpacing) / columns;
  for (size_t i = 0; i < tiles.size(); ++i) {
    const FormControl& tile = tiles[i];
    const double x = area.minX() + (i % columns) * (tileWidth + kTileSpacing);
    const double y = area.minY() + kRowPadding + (i / columns) * (kTileHeight + kTileSpacing);
    const Rect box{x, y, tileWidth, kTileHeight};
    p.fillRounded(box, 8,
                  tile.isOn ? palette::kAccent.withAlpha(0.14) : Color{0.96, 0.96, 0.97, 1});
    p.strokeRounded(box, 8, tile.isOn ? 2 : 1,
                    tile.isOn ? palette::kAccent : palette::kControlBorder);
    // A screen with a window of the tile's width, centred on it.
    const Rect screen{box.midX() - 24, y + 9, 48, 26};
    p.strokeRounded(screen, 3, 1, palette::kSecondary);
    const double windowWidth = std::clamp(tile.value, 0.0, 1.0) * (screen.width() - 4);
    p.fillRounded(
        {screen.midX() - windowWidth / 2, screen.minY() + 2, windowWidth, screen.height() - 4}, 2,
        tile.isOn ? palette::kAccent : palette::kSecondary.withAlpha(0.6));
    const Font font = tile.isOn ? kBold : kBody;
    p.text(tile.label, box.midX() - p.textWidth(tile.label, font) / 2, y + 39, font,
           tile.isOn ? palette::kAccent : palette::kLabel);
  }
}

double rowHeight(const Painter& p, const FormControl& c, double width) {
  switch (c.kind) {
    case FormControlKind::header:
      return Painter::lineHeight(kTitle) + 6;
    case FormControlKind::sectionHeader:
      return Painter::lineHeight(kBold) + 4;
    case FormControlKind::paragraph:
      return p.wrap(c.label, width, paragraphFont(c)).size() *
                 Painter::lineHeight(paragraphFont(c)) +
             2 * 6;
    case FormControlKind::toggle:
      return std::max(kControlHeight, Painter::lineHeight(kBody) +
                                          (c.detail.empty() ? 0 : Painter::lineHeight(kSmall))) +
             2 * kRowPadding;
    case FormControlKind::checkRow:
      return Painter::lineHeight(kBold) +
             p.wrap(c.detail, checkDetailWidth(p, c, width), kSmall).size() *
                 Painter::lineHeight(kSmall) +
             2 * kRowPadding;
    case FormControlKind::appRow:
      return 32 + 2 * kRowPadding;
    case FormControlKind::tile:
      return tileGridHeight(1, width);
    default:
      return kControlHeight + 2 * kRowPadding;
  }
}

void paintRow(const Painter& p, const FormControl& c, const Rect& row) {
  const double x = row.minX();
  const double right = row.maxX();
  const double midY = row.midY();
  const double labelTop = midY - Painter::lineHeight(kBody) / 2;
  switch (c.kind) {
    case FormControlKind::header:
      p.text(c.label, x, row.minY(), kTitle, palette::kLabel);
      p.textRight(c.detail, right, row.minY() + 4, kBody, toneColor(c.tone));
      break;
    case FormControlKind::sectionHeader:
      p.text(c.label, x, row.minY(), kBold, palette::kLabel);
      break;
    case FormControlKind::paragraph:
      p.paragraph(c.label, x, row.minY() + 6, row.width(), paragraphFont(c), toneColor(c.tone));
      break;
    case FormControlKind::toggle: {
      if (c.detail.empty()) {
        p.text(c.label, x, labelTop, kBody, palette::kLabel);
      } else {
        const double top = midY - (Painter::lineHeight(kBody) + Painter::lineHeight(kSmall)) / 2;
        p.text(c.label, x, top, kBody, palette::kLabel);
        p.text(c.detail, x, top + Painter::lineHeight(kBody), kSmall, palette::kSecondary);
      }
      toggleSwitch(p, c.isOn, right, midY);
      break;
    }
    case FormControlKind::slider: {
      p.text(c.label, x, labelTop, kBody, palette::kLabel);
      p.textRight(c.valueText, right, labelTop, kBody, palette::kSecondary);
      const double start = std::max(x + p.textWidth(c.label, kBody) + 16, x + 170);
      const double end = right - 44 - 10;
      const double span = c.maximum > c.minimum ? c.maximum - c.minimum : 1;
      const double f = std::clamp((c.value - c.minimum) / span, 0.0, 1.0);
      const double knob = start + f * (end - start);
      p.fillRounded({start, midY - 2, end - start, 4}, 2, palette::kTrackOff);
      p.fillRounded({start, midY - 2, knob - start, 4}, 2, palette::kAccent);
      p.fillCircle({knob, midY}, 9, palette::kControlBorder);
      p.fillCircle({knob, midY}, 8, kWhite);
      break;
    }
    case FormControlKind::picker: {
      p.text(c.label, x, labelTop, kBody, c.enabled ? palette::kLabel : palette::kSecondary);
      const std::string shown = c.selected >= 0 && c.selected < static_cast<int>(c.options.size())
                                    ? c.options[c.selected]
                                : !c.valueText.empty() ? c.valueText
                                                       : "Choose…";
      const double width = p.textWidth(shown, kBody) + 40;
      const Rect box{right - width, midY - kControlHeight / 2, width, kControlHeight};
      p.fillRounded(box, 5, palette::kControl);
      p.strokeRounded(box, 5, 1, palette::kControlBorder);
      p.text(shown, box.minX() + 10, labelTop, kBody,
             c.enabled ? palette::kLabel : palette::kSecondary);
      const Rect chevron{box.maxX() - 20, box.minY() + 3, 16, kControlHeight - 6};
      p.fillRounded(chevron, 4, c.enabled ? palette::kAccent : palette::kTrackOff);
      p.line({chevron.minX() + 5, chevron.minY() + 6}, {chevron.midX(), chevron.minY() + 3}, 1.4,
             kWhite);
      p.line({chevron.midX(), chevron.minY() + 3}, {chevron.maxX() - 5, chevron.minY() + 6}, 1.4,
             kWhite);
      p.line({chevron.minX() + 5, chevron.maxY() - 6}, {chevron.midX(), chevron.maxY() - 3}, 1.4,
             kWhite);
      p.line({chevron.midX(), chevron.maxY() - 3}, {chevron.maxX() - 5, chevron.maxY() - 6}, 1.4,
             kWhite);
      break;
    }
    case FormControlKind::button:
      pushButton(p, c.label, x, midY, c.enabled);
      break;
    case FormControlKind::menu: {
      const double width = pushButton(p, c.label + "      ", x, midY, c.enabled);
      const double cx = x + width - 16;
      const Color color = c.enabled ? palette::kLabel : palette::kSecondary;
      p.line({cx - 4, midY - 2}, {cx, midY + 2}, 1.4, color);
      p.line({cx, midY + 2}, {cx + 4, midY - 2}, 1.4, color);
      break;
    }
    case FormControlKind::textField: {
      const Rect box{x, midY - kControlHeight / 2, row.width(), kControlHeight};
      p.fillRounded(box, 5, palette::kControl);
      p.strokeRounded(box, 5, 1, palette::kControlBorder);
      const bool empty = c.detail.empty();
      p.text(empty ? c.label : c.detail, x + 8, labelTop, kBody,
             empty ? palette::kSecondary.withAlpha(0.7) : palette::kLabel);
      break;
    }
    case FormControlKind::shortcutRow: {
      p.text(c.label, x, labelTop, kBody, palette::kLabel);
      double kx = x + 220;
      for (const std::string& key : c.keys) kx += pushButton(p, key, kx, midY, true, kSmall) + 6;
      const Rect plus{kx, midY - 10, 20, 20};
      p.strokeRounded(plus, 10, 1, palette::kControlBorder);
      p.symbol("plus", plus, palette::kLabel);
      if (!c.detail.empty()) p.text(c.detail, kx + 28, labelTop, kBody, palette::kAccent);
      break;
    }
    case FormControlKind::checkRow: {
      const double top = row.minY() + kRowPadding;
      p.symbol(c.symbol, {x, top, 18, 18}, toneColor(c.tone));
      const double textX = x + kCheckSymbolColumn + 10;
      p.text(c.label, textX, top, kBold, palette::kLabel);
      p.paragraph(c.detail, textX, top + Painter::lineHeight(kBold),
                  checkDetailWidth(p, c, row.width()), kSmall, palette::kSecondary);
      if (!c.actionTitle.empty()) {
        const double width = p.textWidth(c.actionTitle, kSmall) + 22;
        pushButton(p, c.actionTitle, right - width, top + 10, true, kSmall);
      }
      break;
    }
    case FormControlKind::appRow: {
      const Rect icon{x, midY - 12, 24, 24};
      if (c.symbol.empty())
        p.appIcon(c.label, icon);
      else
        p.symbol(c.symbol, icon, palette::kSecondary);
      p.text(c.label, x + 34, midY - Painter::lineHeight(kBody), kBody, palette::kLabel);
      p.text(c.detail, x + 34, midY, kSmall, palette::kSecondary);
      p.symbol(c.actionTitle, {right - 20, midY - 10, 20, 20}, palette::kRed);
      break;
    }
    case FormControlKind::valueRow:
      p.text(c.label, x, labelTop, kBody, palette::kLabel);
      p.textRight(c.valueText, right, labelTop, kBody, palette::kSecondary);
      break;
    case FormControlKind::tile:
      paintTiles(p, std::span(&c, 1), row);
      break;
  }
}

}  // namespace vistarail::sim::form

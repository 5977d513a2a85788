#include "settings_ui/layout_tab.h"

#include "settings_ui/width_presets.h"

namespace vistarail {

Controls layoutControls(SettingsContext& context) {
  AppSettings& s = context.settings;
  Controls c;
  c.push_back(sectionHeader("Gaps"));
  c.push_back(slider("Between windows", s.innerGap, 0, 40, 1, pointsFormat));
  c.push_back(slider("At screen edges", s.outerGap, 0, 40, 1, pointsFormat));

  c.push_back(sectionHeader("Carousel mode"));
  c.push_back(toggle("Carousel mode", s.carouselMode));
  c.push_back(paragraph(
      "The focused window stands in the middle; the windows on its left and right stand smaller "
      "behind it, peeking out at the screen edges. Click one, swipe or use the focus shortcuts "
      "to bring it to the middle. Apps that can't get that small keep their minimum size. Pairs "
      "well with dimming below."));
  c.push_back(
      slider("Focused window width", s.carouselCenterWidth, 0.5, 0.95, 0.01, percentFormat));
  c.push_back(slider("Side window height", s.carouselSideHeight, 0.4, 0.9, 0.01, percentFormat));

  c.push_back(sectionHeader("Indicators"));
  c.push_back(toggle("Show the strip minimap while scrolling", s.showMinimap));
  c.push_back(paragraph(
      "The minimap appears above the Dock while you swipe, scroll or navigate with shortcuts "
      "(not when an app comes forward from the Dock or ⌘-Tab): one block per window with its "
      "app's icon, the focused one in your accent color, and a frame for what's on screen. "
      "Point at a block to see its window's name; click it to jump there. Pointing at the "
      "minimap keeps it up. Edge arrows show up at the same time or when you push the pointer "
      "against the side of the screen; click one to move focus that way."));
  c.push_back(toggle("Outline the focused window", s.showFocusBorder));
  c.push_back(slider("Outline width", s.focusBorderWidth, 1, 8, 1, pointsFormat));
  c.push_back(toggle("Show arrows at the screen edges", s.showEdgeArrows));
  c.push_back(toggle("Dim windows behind the focused one", s.dimInactive));
  c.push_back(slider("Dimming", s.dimAmount, 0.1, 0.8, 0.05, percentFormat));

  c.push_back(sectionHeader("Stacks"));
  c.push_back(
      paragraph("Stack windows into one column with “Stack into left column”; they share the "
                "height equally. “Pop out of stack” gives a window its own column again."));

  c.push_back(sectionHeader("Preset widths"));
  for (Control& tile : widthTileControls(s)) c.push_back(std::move(tile));
  const auto text = context.services.shortcutText
                        ? context.services.shortcutText
                        : std::function<std::string(const KeyCombo&)>(
                              [](const KeyCombo&) { return std::string("?"); });
  c.push_back(paragraph(cycleSentence(s, text)));
  c.push_back(paragraph(
      "Dragging a window's edge still sets any width you like, and it sticks. Carousel mode "
      "doesn't use these: its focused window has its own width.",
      FormTone::caption));
  return c;
}

Controls gestureControls(SettingsContext& context, const std::function<void()>& showSetup) {
  AppSettings& s = context.settings;
  Controls c;
  c.push_back(sectionHeader("Trackpad"));
  c.push_back(toggle("Swipe the trackpad to scroll the strip", s.swipeEnabled));
  c.push_back(picker<int>("Fingers", s.swipeFingers, {{"Three fingers", 3}, {"Four fingers", 4}}));
  c.push_back(slider("Speed", s.swipeSensitivity, 0.5, 4.0, 0.1, timesFormat));
  c.push_back(toggle("Reverse direction", s.invertSwipe));
  c.push_back(paragraph(
      "The strip follows your fingers and settles on the nearest window when you let go. macOS "
      "listens to the same swipe, so turn off its “Swipe between full-screen applications” "
      "gesture for the finger count you use here."));
  c.push_back(button("Check Mac Setup", showSetup));
  c.push_back(sectionHeader("Mouse & two-finger scroll"));
  c.push_back(toggle("⌃⌥ + scroll moves the strip", s.modifierScroll));
  c.push_back(
      paragraph("Hold Control-Option while scrolling: a trackpad scrolls smoothly, a mouse wheel "
                "jumps one window per notch. Works with any mouse."));
  return c;
}

}  // namespace vistarail

#pragma once
// The overlay panel service answered from the simulated world: every panel is
// a window of the world's window order, so ordering it above or below another
// application's window, and that window being raised past it later, behave as
// on the system. Views draw in display passes on the main queue (one pass per
// panel however often it was marked, as the platform coalesces redraws), or
// at once when a frame is set with display; what they drew is kept on the
// panel as a display list for the renderer.

#include <memory>
#include <vector>

#include "platform/dispatch.h"
#include "platform/overlay_panels.h"
#include "platform/sim/world/world.h"

namespace vistarail::sim {

// macOS's default blue accent, its light window background and label colour.
inline constexpr SystemColors kSimSystemColors{
    {0.0, 0.478, 1.0, 1.0}, {0.925, 0.925, 0.925, 1.0}, {0.0, 0.0, 0.0, 0.85}};

class SimOverlayPanels final : public OverlayPanels {
 public:
  SimOverlayPanels(World& world, Dispatch& dispatch);

  OverlayPanelRef makePanel(const PanelStyle& style, std::shared_ptr<PanelView> content) override;
  ImageRef applicationIcon(Pid pid) override;
  SystemColors systemColors() override { return kSimSystemColors; }
  Size measureText(const AttributedText& text) override;
  void pushCursor(Cursor cursor) override { cursors_.push_back(cursor); }
  void popCursor() override {
    if (!cursors_.empty()) cursors_.pop_back();
  }

  // For tests and benchmarks: the cursors pushed and not popped, and how many
  // times any view of these panels drew.
  const std::vector<Cursor>& cursorStack() const { return cursors_; }
  int drawCount() const { return *draws_; }

 private:
  World& world_;
  Dispatch& dispatch_;
  std::vector<Cursor> cursors_;
  std::shared_ptr<int> draws_ = std::make_shared<int>(0);
};

}  // namespace vistarail::sim

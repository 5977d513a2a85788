#include "platform/sim/adapters/sim_status_bar.h"

#include <utility>

namespace vistarail::sim {
namespace {

class SimStatusItem final : public StatusItem {
 public:
  explicit SimStatusItem(std::shared_ptr<StatusItemState> state) : state_(std::move(state)) {}
  ~SimStatusItem() override {
    state_->inMenuBar = false;
    state_->menuOpen = false;
    state_->needsUpdate = nullptr;
  }
  void setImage(std::optional<SymbolImage> image) override { state_->image = std::move(image); }
  void setAppearsDisabled(bool appearsDisabled) override {
    state_->appearsDisabled = appearsDisabled;
  }
  void setToolTip(std::string toolTip) override { state_->toolTip = std::move(toolTip); }
  void setMenu(Menu menu, std::function<void(Menu&)> needsUpdate) override {
    state_->menu = std::move(menu);
    state_->needsUpdate = std::move(needsUpdate);
  }

 private:
  std::shared_ptr<StatusItemState> state_;
};

// The enabled flag a person sees: asked of the item while the menu enables
// its items itself.
bool shownEnabled(const Menu& menu, const MenuItem& item) {
  if (!menu.autoenablesItems) return item.enabled;
  return item.validate ? item.validate() : true;
}

}  // namespace

std::unique_ptr<StatusItem> SimStatusBar::makeStatusItem(double length) {
  auto state = std::make_shared<StatusItemState>();
  state->length = length;
  items_.push_back(state);
  return std::make_unique<SimStatusItem>(std::move(state));
}

std::optional<SymbolImage> SimStatusBar::systemSymbol(const std::string& name,
                                                      const std::string& accessibilityDescription) {
  if (name.empty() || missing_.contains(name)) return std::nullopt;
  return SymbolImage{name, accessibilityDescription, false};
}

const StatusItemState* SimStatusBar::item() const {
  for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
    if ((*it)->inMenuBar) return it->get();
  }
  return nullptr;
}

StatusItemState* SimStatusBar::current() {
  return const_cast<StatusItemState*>(std::as_const(*this).item());
}

void SimStatusBar::click() {
  dispatch_.main()->async([this] {
    StatusItemState* state = current();
    if (!state) {
      log_.push_back("click: no status item");
      return;
    }
    if (state->needsUpdate) state->needsUpdate(state->menu);
    // The program may have removed the item while updating its menu.
    if (!state->inMenuBar) return;
    Menu shown = state->menu;
    for (MenuItem& entry : shown.items) entry.enabled = shownEnabled(state->menu, entry);
    state->menuOpen = true;
    lastOpened_ = std::move(shown);
    log_.push_back("click: the menu opens");
  });
}

void SimStatusBar::choose(const std::string& title) {
  dispatch_.main()->async([this, title] {
    StatusItemState* state = current();
    if (!state || !state->menuOpen) {
      log_.push_back("choose " + title + ": no open menu");
      return;
    }
    state->menuOpen = false;
    for (const MenuItem& entry : state->menu.items) {
      if (entry.isSeparator || entry.title != title) continue;
      if (!shownEnabled(state->menu, entry)) {
        log_.push_back("choose " + title + ": disabled");
        return;
      }
      log_.push_back("choose " + title);
      // The action runs after the menu closed, with the item's own copy of it:
      // the program may rebuild the menu from inside the action.
      if (auto perform = entry.perform) perform();
      return;
    }
    log_.push_back("choose " + title + ": no such item");
  });
}

void SimStatusBar::dismiss() {
  dispatch_.main()->async([this] {
    if (StatusItemState* state = current()) state->menuOpen = false;
  });
}

}  // namespace vistarail::sim

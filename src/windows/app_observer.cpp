#include "windows/app_observer.h"

#include <iterator>

#include "platform/ax_names.h"

namespace vistarail {

namespace {

constexpr const char* kAppNotifications[] = {ax::kSheetCreated, ax::kFocusedWindowChanged,
                                             ax::kMainWindowChanged, ax::kApplicationHidden,
                                             ax::kApplicationShown};
constexpr const char* kWindowNotifications[] = {ax::kUIElementDestroyed,   ax::kWindowMiniaturized,
                                                ax::kWindowDeminiaturized, ax::kWindowMoved,
                                                ax::kWindowResized,        ax::kTitleChanged};

std::optional<std::string> nonEmpty(const std::string& s) {
  if (s.empty()) return std::nullopt;
  return s;
}

}  // namespace

std::shared_ptr<AppObserver> AppObserver::create(Accessibility& ax, const RunningApplication& app,
                                                 Handler handler) {
  std::shared_ptr<AppObserver> self(new AppObserver(ax, app.pid));
  self->bundleID_ = nonEmpty(app.bundleIdentifier);
  self->appName_ = nonEmpty(app.localizedName);
  self->element_ = ax.applicationElement(app.pid);
  self->handler_ = std::move(handler);

  // The callback only forwards; the handler decides (and holds the manager
  // weakly), so an observer outliving its manager stays harmless.
  const Pid pid = app.pid;
  auto callback = [pid, forward = self->handler_](const AXObserver&, const AXElement& element,
                                                  const std::string& name) {
    if (forward) forward(pid, name, element);
  };
  auto created = ax.createObserver(pid, std::move(callback));
  if (!created) return nullptr;
  self->observer_ = *created.value;

  const AXError first = ax.addNotification(self->observer_, self->element_, ax::kWindowCreated);
  if (first != AXError::success && first != AXError::notificationAlreadyRegistered) return nullptr;
  for (const char* name : kAppNotifications) {
    (void)ax.addNotification(self->observer_, self->element_, name);
  }
  ax.attachToMainRunLoop(self->observer_);
  self->sourceAdded_ = true;
  return self;
}

AppObserver::~AppObserver() {
  if (sourceAdded_) ax_.detachFromMainRunLoop(observer_);
}

AppObserver::Watch AppObserver::watchNext(const AXElement& window, WindowId id) {
  if (observedWindows_.contains(id)) return Watch::done;
  size_t& done = registered_[id];
  // Any other failure (a window already gone, a notification it does not
  // send) would fail again: only a timed-out call is worth asking again.
  if (ax_.addNotification(observer_, window, kWindowNotifications[done]) ==
      AXError::cannotComplete) {
    return Watch::unanswered;
  }
  if (++done < std::size(kWindowNotifications)) return Watch::more;
  registered_.erase(id);
  observedWindows_.insert(id);
  return Watch::done;
}

}  // namespace vistarail

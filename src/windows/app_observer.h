#pragma once
// One accessibility observer per observed application: the registrations for
// its window notifications, whose callbacks drive the refresh pipeline.
//
// Created, watched and unwatched on the application's queue; notifications
// arrive on the main queue once the observer's run-loop source is attached.
// The manager compares observers by identity (the shared pointer), so a
// re-created observer never accepts the results of a scan the old one began.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "base/ids.h"
#include "platform/accessibility.h"
#include "platform/workspace.h"

namespace vistarail {

class AppObserver {
 public:
  using Handler = std::function<void(Pid, const std::string& name, const AXElement& element)>;

  // Absent when the observer cannot be created or "AXWindowCreated" cannot be
  // registered on the application (already registered counts as success).
  static std::shared_ptr<AppObserver> create(Accessibility& ax, const RunningApplication& app,
                                             Handler handler);
  ~AppObserver();
  AppObserver(const AppObserver&) = delete;
  AppObserver& operator=(const AppObserver&) = delete;

  enum class Watch { done, more, unanswered };
  // Registers the next of the window's notifications not registered yet (one
  // call): `done` once all of them are. A registration the application did
  // not answer in time was not made, and is the next one asked for again.
  Watch watchNext(const AXElement& window, WindowId id);
  void unwatch(WindowId id) {
    observedWindows_.erase(id);
    registered_.erase(id);
  }

  Pid pid() const { return pid_; }
  const std::optional<std::string>& bundleID() const { return bundleID_; }
  const std::optional<std::string>& appName() const { return appName_; }
  const AXElement& element() const { return element_; }

 private:
  AppObserver(Accessibility& ax, Pid pid) : ax_(ax), pid_(pid) {}

  Accessibility& ax_;
  Pid pid_ = 0;
  std::optional<std::string> bundleID_;
  std::optional<std::string> appName_;
  AXElement element_;
  AXObserver observer_;
  Handler handler_;
  // Touched only on the application's queue.
  std::unordered_set<WindowId> observedWindows_;
  // Windows part-way through their registrations: how many are done.
  std::unordered_map<WindowId, size_t> registered_;
  bool sourceAdded_ = false;
};

using AppObserverRef = std::shared_ptr<AppObserver>;

}  // namespace vistarail

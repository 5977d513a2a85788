#pragma once
// Display links of the simulated macOS: each running link fires on the main
// queue at the configured refresh rate in the dispatch's time (virtual time
// under VirtualDispatch), handing the frame the media time at which it runs.

#include <cstddef>
#include <memory>
#include <vector>

#include "platform/dispatch.h"
#include "platform/display_link.h"

namespace vistarail::sim {

class SimDisplayLinkFactory final : public DisplayLinkFactory {
 public:
  static constexpr double kDefaultRefreshRateHz = 120;
  // Refresh rates outside this range are brought into it.
  static constexpr double kMinRefreshRateHz = 1;
  static constexpr double kMaxRefreshRateHz = 1000;

  explicit SimDisplayLinkFactory(Dispatch& dispatch, double refreshRateHz = kDefaultRefreshRateHz);
  ~SimDisplayLinkFactory() override;
  SimDisplayLinkFactory(const SimDisplayLinkFactory&) = delete;
  SimDisplayLinkFactory& operator=(const SimDisplayLinkFactory&) = delete;

  DisplayLinkRef makeDisplayLink(const ScreenInfo& screen, FrameHandler onFrame) override;

  double refreshRateHz() const { return refreshRateHz_; }
  // Applies to links made from now on.
  void setRefreshRateHz(double hz);

  // What a test observes: how many links were ever made, how many run now,
  // and how many frames all of them delivered.
  size_t linksCreated() const { return linksCreated_; }
  size_t runningLinkCount() const;
  size_t framesDelivered() const { return *framesDelivered_; }

  struct LinkState;

 private:
  Dispatch& dispatch_;
  double refreshRateHz_;
  size_t linksCreated_ = 0;
  std::shared_ptr<size_t> framesDelivered_ = std::make_shared<size_t>(0);
  std::vector<std::weak_ptr<LinkState>> links_;
};

}  // namespace vistarail::sim

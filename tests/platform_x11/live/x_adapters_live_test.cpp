// The X11 adapters against a real X server: Xvfb on a free display, with no
// window manager (so a frame is the client's own rectangle and requests take
// effect as sent), and windows this test makes on a connection of its own.
// Skipped when Xvfb cannot start.

// gtest before the X headers: their macros (None, Bool) break gtest's own names.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/ax_names.h"
#include "platform/sim/dispatch/threaded_dispatch.h"
#include "platform/x11/x_accessibility.h"
#include "platform/x11/x_desktop.h"
#include "platform/x11/x_event_pump.h"
#include "platform/x11/x_hot_keys.h"
#include "platform/x11/x_window_server.h"
#include "platform/x11/x_workspace.h"

namespace vistarail::x11 {
namespace {

class LiveX : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Xvfb picks a free display itself and writes its number to the pipe,
    // so tests run side by side never meet on one server.
    int fds[2];
    if (pipe(fds) != 0) return;
    xvfb_ = fork();
    if (xvfb_ == 0) {
      close(fds[0]);
      const std::string fd = std::to_string(fds[1]);
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-noreset", "-screen", "0", "1280x1024x24",
             "-nolisten", "tcp", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    pollfd readable{fds[0], POLLIN, 0};
    char number[16] = {};
    if (xvfb_ > 0 && poll(&readable, 1, 5000) == 1 && read(fds[0], number, 15) > 0) {
      server_ = XServer::open(":" + std::to_string(std::atoi(number))).release();
    }
    close(fds[0]);
    if (!server_ && xvfb_ > 0) kill(xvfb_, SIGTERM), waitpid(xvfb_, nullptr, 0), xvfb_ = -1;
  }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
    if (xvfb_ > 0) kill(xvfb_, SIGTERM), waitpid(xvfb_, nullptr, 0);
  }
  void SetUp() override {
    if (!server_) GTEST_SKIP() << "Xvfb could not start";
    client_ = XOpenDisplay(server_->displayName().c_str());
    ASSERT_NE(client_, nullptr);
  }
  void TearDown() override {
    if (client_) XCloseDisplay(client_);
  }

  // A mapped top-level window of this test's client, listed in the root's
  // client list as a window manager would.
  Window makeWindow(Rect frame, bool fixed = false, bool withPid = true, bool map = true) {
    Window w = XCreateSimpleWindow(client_, DefaultRootWindow(client_), int(frame.minX()),
                                   int(frame.minY()), unsigned(frame.width()),
                                   unsigned(frame.height()), 0, 0, 0);
    if (fixed) {
      XSizeHints hints{};
      hints.flags = PMinSize | PMaxSize;
      hints.min_width = hints.max_width = int(frame.width());
      hints.min_height = hints.max_height = int(frame.height());
      XSetWMNormalHints(client_, w, &hints);
    }
    const long pid = getpid();
    if (withPid) {
      XChangeProperty(client_, w, server_->atoms().netWmPid, XA_CARDINAL, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(&pid), 1);
    }
    if (map) XMapWindow(client_, w);
    listed_.push_back(w);
    publishClientList();
    return w;
  }
  void destroy(Window w) {
    XDestroyWindow(client_, w);
    std::erase(listed_, w);
    publishClientList();
  }
  void publishClientList() {
    XChangeProperty(client_, DefaultRootWindow(client_), server_->atoms().netClientList, XA_WINDOW,
                    32, PropModeReplace, reinterpret_cast<const unsigned char*>(listed_.data()),
                    int(listed_.size()));
    XSync(client_, False);
  }

  void setRootWindow(Atom property, Window value) {
    XChangeProperty(client_, DefaultRootWindow(client_), property, XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&value), 1);
    XSync(client_, False);
  }

  static inline XServer* server_ = nullptr;
  static inline pid_t xvfb_ = -1;
  Display* client_ = nullptr;
  std::vector<Window> listed_;
};

TEST_F(LiveX, FramesReadAndWrittenAndAWindowGoneIsAnInvalidElement) {
  XDesktop desktop(*server_);
  XAccessibility ax(*server_, desktop);
  const Window w = makeWindow(Rect(100, 50, 300, 200));
  desktop.refreshDisplays();
  desktop.refreshClients();
  const AXElement window = ax.windowElement(getpid(), w);
  auto windows = ax.copyAttributeValue(ax.applicationElement(getpid()), ax::kWindows);
  ASSERT_TRUE(windows.isOk());
  ASSERT_EQ(asElements(*windows.value)->size(), 1u);
  EXPECT_EQ(asElements(*windows.value)->front(), window);
  EXPECT_EQ(asPoint(*ax.copyAttributeValue(window, ax::kPosition).value), (Point{100, 50}));
  EXPECT_EQ(asSize(*ax.copyAttributeValue(window, ax::kSize).value), (Size{300, 200}));
  EXPECT_EQ(asString(*ax.copyAttributeValue(window, ax::kSubrole).value),
            std::string(ax::kStandardWindowSubrole));

  EXPECT_EQ(ax.setAttributeValue(window, ax::kPosition, Point{-299, 40}), AXError::success);
  EXPECT_EQ(ax.setAttributeValue(window, ax::kSize, Size{500, 400}), AXError::success);
  EXPECT_EQ(asPoint(*ax.copyAttributeValue(window, ax::kPosition).value), (Point{-299, 40}));
  EXPECT_EQ(asSize(*ax.copyAttributeValue(window, ax::kSize).value), (Size{500, 400}));
  EXPECT_EQ(ax.windowNumber(window).value, WindowId(w));

  destroy(w);
  EXPECT_EQ(ax.copyAttributeValue(window, ax::kPosition).error, AXError::invalidUIElement);
  EXPECT_EQ(ax.copyAttributeValue(window, ax::kTitle).error, AXError::invalidUIElement);
  EXPECT_EQ(ax.setAttributeValue(window, ax::kPosition, Point{0, 0}), AXError::invalidUIElement);
  EXPECT_EQ(ax.isAttributeSettable(window, ax::kSize).error, AXError::invalidUIElement);
}

TEST_F(LiveX, AFixedSizeClientKeepsItsSize) {
  XDesktop desktop(*server_);
  XAccessibility ax(*server_, desktop);
  const Window w = makeWindow(Rect(10, 10, 400, 300), /*fixed=*/true);
  desktop.refreshClients();
  const AXElement window = ax.windowElement(getpid(), w);
  EXPECT_EQ(ax.setAttributeValue(window, ax::kSize, Size{628, 900}), AXError::success);
  EXPECT_EQ(asSize(*ax.copyAttributeValue(window, ax::kSize).value), (Size{400, 300}));
  destroy(w);
}

TEST_F(LiveX, AComboAnotherClientHoldsIsRefused) {
  XHotKeys hotKeys(*server_);
  // Another client holds Control-Alt-H (key code 4 on a Mac keyboard).
  const KeyCode h = XKeysymToKeycode(client_, XK_h);
  XGrabKey(client_, h, ControlMask | Mod1Mask, DefaultRootWindow(client_), False, GrabModeAsync,
           GrabModeAsync);
  XSync(client_, False);
  constexpr uint32_t kControlOption = 0x1000 | 0x800;
  HotKeyRef ref = 0;
  EXPECT_EQ(hotKeys.registerHotKey(4, kControlOption, {1, 1}, ref), kEventHotKeyExistsErr);
  EXPECT_EQ(hotKeys.registerHotKey(37, kControlOption, {1, 2}, ref), kNoErr);
  EXPECT_EQ(hotKeys.registerHotKey(37, kControlOption, {1, 3}, ref), kEventHotKeyExistsErr);
  EXPECT_EQ(hotKeys.unregisterHotKey(ref), kNoErr);
  EXPECT_EQ(hotKeys.registerHotKey(10, kControlOption, {1, 4}, ref), kEventHotKeyInvalidErr);
}

TEST_F(LiveX, ThePumpTellsOfWindowsCreatedMovedAndDestroyed) {
  sim::ThreadedDispatch dispatch;
  XDesktop desktop(*server_);
  XAccessibility ax(*server_, desktop);
  XWorkspace workspace(*server_, desktop);
  XEventPump pump(*server_, desktop, ax, workspace, dispatch);
  pump.start();
  std::vector<std::string> heard;
  auto observer = ax.createObserver(
      getpid(),
      [&](const AXObserver&, const AXElement&, const std::string& name) { heard.push_back(name); });
  ASSERT_TRUE(observer.isOk());
  ax.attachToMainRunLoop(*observer.value);
  ASSERT_EQ(
      ax.addNotification(*observer.value, ax.applicationElement(getpid()), ax::kWindowCreated),
      AXError::success);
  std::vector<WorkspaceEvent> events;
  Subscription s = workspace.observe(
      [&](WorkspaceEvent e, const std::optional<RunningApplication>&) { events.push_back(e); });

  const Window w = makeWindow(Rect(0, 0, 200, 100));
  const auto heardIt = [&](const char* name) {
    return std::find(heard.begin(), heard.end(), name) != heard.end();
  };
  ASSERT_TRUE(dispatch.runMainUntil([&] { return heardIt(ax::kWindowCreated); }, 5));
  const AXElement window = ax.windowElement(getpid(), w);
  for (const char* name : {ax::kWindowMoved, ax::kUIElementDestroyed}) {
    ASSERT_EQ(ax.addNotification(*observer.value, window, name), AXError::success);
  }
  XMoveWindow(client_, w, 40, 30);
  XSync(client_, False);
  EXPECT_TRUE(dispatch.runMainUntil([&] { return heardIt(ax::kWindowMoved); }, 5));
  destroy(w);
  EXPECT_TRUE(dispatch.runMainUntil([&] { return heardIt(ax::kUIElementDestroyed); }, 5));
  EXPECT_EQ(events, (std::vector<WorkspaceEvent>{WorkspaceEvent::didLaunchApplication,
                                                 WorkspaceEvent::didTerminateApplication}));
}

TEST_F(LiveX, WindowListsApplicationsAndTheFrontmostComeFromTheClientList) {
  XDesktop desktop(*server_);
  XWindowServer windowServer(*server_, desktop);
  XWorkspace workspace(*server_, desktop);
  XAccessibility ax(*server_, desktop);
  const Window a = makeWindow(Rect(0, 0, 300, 200));
  const Window b = makeWindow(Rect(400, 0, 300, 200));
  const Window hidden = makeWindow(Rect(0, 300, 300, 200), false, true, /*map=*/false);
  // Without _NET_WM_PID a window is its client leader's application.
  const Window orphan = makeWindow(Rect(800, 0, 200, 100), false, /*withPid=*/false);
  setRootWindow(server_->atoms().netActiveWindow, b);
  desktop.refreshDisplays();
  desktop.refreshClients();
  desktop.refreshActive();

  std::vector<WindowId> onScreen;
  for (const WindowInfo& info : windowServer.copyWindowInfo(window_list::kOnScreenWindows, 0)) {
    onScreen.push_back(info.number);
    EXPECT_TRUE(info.isOnScreen);
  }
  // No stacking list: the client list's order, newest in front.
  EXPECT_EQ(onScreen, (std::vector<WindowId>{WindowId(orphan), WindowId(b), WindowId(a)}));
  const auto one = windowServer.copyWindowInfo(window_list::kSingleWindow, WindowId(hidden));
  ASSERT_EQ(one.size(), 1u);
  EXPECT_FALSE(one.front().isOnScreen);
  EXPECT_EQ(one.front().bounds, Rect(0, 300, 300, 200));

  const auto apps = workspace.runningApplications();
  ASSERT_EQ(apps.size(), 2u);
  EXPECT_EQ(apps[0].pid, getpid());
  EXPECT_EQ(apps[1].pid, leaderPid(orphan));
  EXPECT_EQ(workspace.frontmostApplication()->pid, getpid());
  const AXElement app = ax.applicationElement(getpid());
  EXPECT_EQ(asBool(*ax.copyAttributeValue(app, ax::kFrontmost).value), true);
  EXPECT_EQ(asElement(*ax.copyAttributeValue(app, ax::kFocusedWindow).value),
            ax.windowElement(getpid(), b));
  EXPECT_EQ(
      asBool(
          *ax.copyAttributeValue(ax.applicationElement(leaderPid(orphan)), ax::kFrontmost).value),
      false);

  // The displays: the whole root, one Space, whose answer has the shape the
  // program reads.
  const auto screens = workspace.screens();
  ASSERT_EQ(screens.size(), 1u);
  const auto uuid = windowServer.displayUUID(*screens.front().screenNumber);
  ASSERT_TRUE(uuid.has_value());
  const auto spaces = windowServer.copyManagedDisplaySpaces(1);
  ASSERT_TRUE(spaces && spaces->is_array() && spaces->size() == 1);
  EXPECT_EQ((*spaces)[0][managed_spaces::kDisplayIdentifier], *uuid);
  EXPECT_EQ((*spaces)[0][managed_spaces::kCurrentSpace][managed_spaces::kType], 0);
  for (Window w : {a, b, hidden, orphan}) destroy(w);
  EXPECT_TRUE(windowServer.copyWindowInfo(window_list::kSingleWindow, WindowId(a)).empty());
}

TEST_F(LiveX, DialogsTitlesAndMinimisingAsTheProgramReadsThem) {
  sim::ThreadedDispatch dispatch;
  XDesktop desktop(*server_);
  XAccessibility ax(*server_, desktop);
  XWorkspace workspace(*server_, desktop);
  XEventPump pump(*server_, desktop, ax, workspace, dispatch);
  const Window main = makeWindow(Rect(0, 0, 300, 200));
  const Window dialog = makeWindow(Rect(50, 50, 200, 100), false, true, false);
  XSetTransientForHint(client_, dialog, main);
  XMapWindow(client_, dialog);
  publishClientList();
  pump.start();
  const AXElement window = ax.windowElement(getpid(), main);
  const AXElement box = ax.windowElement(getpid(), dialog);
  EXPECT_EQ(asString(*ax.copyAttributeValue(box, ax::kSubrole).value),
            std::string(ax::kDialogSubrole));
  EXPECT_EQ(ax.copyAttributeValue(box, ax::kMinimizeButton).error, AXError::noValue);
  EXPECT_TRUE(ax.copyAttributeValue(window, ax::kMinimizeButton).isOk());

  std::vector<std::string> heard;
  auto observer = ax.createObserver(
      getpid(),
      [&](const AXObserver&, const AXElement&, const std::string& name) { heard.push_back(name); });
  ax.attachToMainRunLoop(*observer.value);
  for (const char* name : {ax::kTitleChanged, ax::kWindowMiniaturized}) {
    ASSERT_EQ(ax.addNotification(*observer.value, window, name), AXError::success);
  }
  EXPECT_EQ(ax.addNotification(*observer.value, window, ax::kTitleChanged),
            AXError::notificationAlreadyRegistered);
  XStoreName(client_, main, "Renamed");
  // ICCCM's iconic state, as a window manager sets it on minimising.
  const long iconic[2] = {IconicState, 0};
  XChangeProperty(client_, main, server_->atoms().wmState, server_->atoms().wmState, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(iconic), 2);
  XSync(client_, False);
  EXPECT_TRUE(dispatch.runMainUntil([&] { return heard.size() >= 2; }, 5));
  EXPECT_EQ(heard, (std::vector<std::string>{ax::kTitleChanged, ax::kWindowMiniaturized}));
  EXPECT_EQ(asString(*ax.copyAttributeValue(window, ax::kTitle).value), "Renamed");
  EXPECT_EQ(asBool(*ax.copyAttributeValue(window, ax::kMinimized).value), true);
  // A detached observer hears nothing, and neither does one whose handles
  // are all dropped.
  ax.detachFromMainRunLoop(*observer.value);
  XStoreName(client_, main, "Again");
  XSync(client_, False);
  dispatch.runMainFor(0.2);
  EXPECT_EQ(heard.size(), 2u);
  ax.attachToMainRunLoop(*observer.value);
  observer = AXResult<AXObserver>::fail(AXError::failure);
  XStoreName(client_, main, "Once more");
  XSync(client_, False);
  dispatch.runMainFor(0.2);
  EXPECT_EQ(heard.size(), 2u);
  for (Window w : {dialog, main}) destroy(w);
}

}  // namespace
}  // namespace vistarail::x11

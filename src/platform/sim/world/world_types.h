#pragma once
// Value records of the simulated desktop: what a display, an application and a
// window are made of, how an application misbehaves, and what the world
// records about the calls it answered.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "base/geometry.h"
#include "base/ids.h"
#include "platform/ax_names.h"
#include "platform/ax_types.h"
#include "platform/hot_keys.h"
#include "platform/overlay_panels.h"
#include "platform/sim/world/display_list.h"
#include "platform/workspace.h"

namespace vistarail::sim {

// Identifies a window inside the world for its whole life; never reused and
// independent of the window-server number (which may be 0).
using WindowKey = uint64_t;
// A Space id as the window server reports it ("ManagedSpaceID"/"id64").
using SpaceId = int64_t;

// --- Misbehaviour -----------------------------------------------------------

// Which kind of call a fault applies to; the name it matches is the attribute,
// the action or the notification of the call.
enum class FaultOn {
  read,          // copyAttributeValue
  write,         // setAttributeValue
  settable,      // isAttributeSettable
  action,        // performAction
  notification,  // addNotification
  observer,      // createObserver (the name is ignored)
  any,
};

// How long a messaging call waits for an application that does not answer
// when neither the application element nor the system-wide one set a time-out.
inline constexpr double kDefaultMessagingTimeoutSeconds = 6.0;

// Makes matching calls fail with a chosen error, forever or a number of times.
struct AttributeFault {
  std::string name{};  // attribute, action or notification; empty matches every name
  FaultOn on = FaultOn::read;
  AXError error = AXError::failure;
  int remaining = -1;  // failures still to give; negative means no end
  friend bool operator==(const AttributeFault&, const AttributeFault&) = default;
};

// An application that moves its new window once more after opening it, as
// applications that restore a remembered frame do after the window manager
// has already placed the window.
struct SelfMove {
  double delaySeconds = 0.3;
  // Where it moves to: this frame, or else the frame the window was opened
  // with, shifted by offset.
  std::optional<Rect> frame{};
  Point offset{};
  friend bool operator==(const SelfMove&, const SelfMove&) = default;
};

// How an application answers accessibility calls. Set per application; a
// window may carry its own, which then replaces the application's for calls
// on that window and its buttons.
struct Behaviour {
  // Every call that messages the application takes this long, plus a uniform
  // random share of latencyJitterSeconds drawn from the world's seeded
  // generator.
  double latencySeconds = 0;
  double latencyJitterSeconds = 0;
  // Every messaging call waits for the messaging time-out, then fails with
  // cannotComplete.
  bool hung = false;
  // Position writes succeed but leave the window where it is.
  bool ignoresMoves = false;
  // Sizes are rounded to multiples of the grid (0: no grid) before the
  // window's minimum and maximum size are applied.
  Size sizeGrid{};
  std::optional<SelfMove> movesNewWindows{};
  std::vector<AttributeFault> faults{};
  friend bool operator==(const Behaviour&, const Behaviour&) = default;
};

// --- How hard the system is ---------------------------------------------------
// The real system is less kind than a desktop of our own making. Each of these
// is off by default, so a test that does not ask for it keeps its meaning;
// random stories turn them on. docs/architecture.md says what each stands for.

// Accessibility notifications under load: the system queues them per
// observer on the application's side and hands them to the observer's run
// loop later, folds repeated moves and resizes of one window into one, and
// loses some when the application's event queue overflows. Creation,
// destruction, focus, title and hide notifications are never dropped or
// merged here: losing them has no remedy, while a lost move is repaired by
// the next read.
struct NotificationModel {
  double delaySeconds = 0;     // every notification reaches its observer this much later,
  double jitterSeconds = 0;    // plus a uniform random share of this (order per observer kept)
  bool coalesce = false;       // moved/resized merge with the same one not yet delivered
  double dropProbability = 0;  // a moved/resized notification is lost
  friend bool operator==(const NotificationModel&, const NotificationModel&) = default;
};

// Activation and focus requests made through accessibility (raising a
// window, making it main or focused, making an application frontmost).
struct FocusModel {
  double failProbability = 0;  // the call succeeds but nothing happens
  double lateSeconds = 0;      // what happens, happens this much later
  // After a request took effect, another application with a window on screen
  // comes to the front (a notification banner clicked, an application
  // activating itself) stealAfterSeconds later.
  double stealProbability = 0;
  double stealAfterSeconds = 0.05;
  friend bool operator==(const FocusModel&, const FocusModel&) = default;
};

struct Realism {
  // A position or size write lands when its call's latency has passed, as an
  // event of the world at that instant, instead of at once: the program's
  // other queues may see a position written and its size not yet.
  bool writesLandAtEndOfCall = false;
  NotificationModel notifications{};
  // Windows of an application whose "AXEnhancedUserInterface" is on glide to
  // a written frame over this long (0: they jump), so a read-back taken
  // meanwhile sees a frame part of the way.
  double enhancedUIAnimationSeconds = 0;
  // A resizable window is never larger than the visible frame of the display
  // it lands on.
  bool clampSizesToScreen = false;
  FocusModel focus{};
  // "Displays have separate Spaces" off: one set of Spaces spans every
  // display, the Spaces functions answer one dictionary named "Main", and a
  // full-screen window takes every display.
  bool displaysShareOneSpace = false;
  friend bool operator==(const Realism&, const Realism&) = default;
};

// --- Displays and Spaces ----------------------------------------------------

struct SimSpace {
  SpaceId id = 0;
  bool isFullScreen = false;
  friend bool operator==(const SimSpace&, const SimSpace&) = default;
};

struct DisplaySetup {
  std::string name = "Display";
  Rect frame{};         // top-left space
  Rect visibleFrame{};  // top-left space; an empty one means the whole frame
  // Absent: the world assigns the next free number.
  std::optional<DisplayNumber> number{};
  // Lower case; empty: derived from the display number.
  std::string uuid{};
  // False makes the screen's "NSScreenNumber" unreadable.
  bool screenNumberReadable = true;
  friend bool operator==(const DisplaySetup&, const DisplaySetup&) = default;
};

struct SimDisplay : DisplaySetup {
  bool isPrimary = false;
  bool isConnected = true;
  std::vector<SimSpace> spaces{};  // the display's Spaces in order
  SpaceId currentSpace = 0;
  friend bool operator==(const SimDisplay&, const SimDisplay&) = default;
};

// --- Applications and windows -----------------------------------------------

struct AppSetup {
  Pid pid = 0;  // 0: the world assigns one
  std::string bundleIdentifier{};
  std::string name = "App";
  ActivationPolicy activationPolicy = ActivationPolicy::regular;
  std::string bundlePath{};
  bool hidden = false;
  // The "AXEnhancedUserInterface" attribute; absent when the application does
  // not have it.
  std::optional<bool> enhancedUserInterface = false;
  Behaviour behaviour{};
  friend bool operator==(const AppSetup&, const AppSetup&) = default;
};

// A hot key registered with the system.
struct HotKeyRecord {
  uint32_t keyCode = 0;
  uint32_t modifiers = 0;
  HotKeyID id;
  friend bool operator==(const HotKeyRecord&, const HotKeyRecord&) = default;
};

// Input that reached an application rather than the window manager.
struct ReceivedKey {
  uint32_t keyCode = 0;
  uint32_t modifiers = 0;  // hot-key mask
  friend bool operator==(const ReceivedKey&, const ReceivedKey&) = default;
};

struct SimApp : AppSetup {
  bool terminated = false;
  std::vector<ReceivedKey> keysReceived{};
  int scrollsReceived = 0;
  std::optional<WindowKey> focusedWindow{};
  // Set by setMessagingTimeout on the application element; 0 means unset.
  double messagingTimeoutSeconds = 0;
  // When a write or a settable query last failed by a fault of its behaviour
  // or by the application hanging: when it last refused to be moved.
  std::optional<double> lastRefusalAt{};
  friend bool operator==(const SimApp&, const SimApp&) = default;
};

// Whether an optional attribute (a button, the document) exists, does not,
// or cannot be read.
enum class Presence { present, absent, error };

struct WindowSetup {
  std::string title{};
  Rect frame{};
  std::string role = ax::kWindowRole;
  std::optional<std::string> subrole = std::string(ax::kStandardWindowSubrole);
  bool modal = false;
  // "AXParent": this window; absent means the application.
  std::optional<WindowKey> parent{};
  // "AXWindow": this window; absent means the window itself.
  std::optional<WindowKey> owner{};
  Presence minimizeButton = Presence::present;
  Presence fullScreenButton = Presence::present;
  Presence document = Presence::absent;
  // The error a read of an attribute in Presence::error gives.
  AXError presenceError = AXError::cannotComplete;
  bool minimized = false;
  Size minSize{};
  Size maxSize{std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity()};
  bool positionSettable = true;
  bool sizeSettable = true;
  // Absent: the world assigns the next free number. 0: the window has none.
  std::optional<WindowId> number{};
  // Absent: the current Space of the display holding the frame.
  std::optional<SpaceId> space{};
  // Replaces the application's behaviour for this window when set.
  std::optional<Behaviour> behaviour{};
  // Assigned to all Spaces ("All Desktops"): shown on whichever regular Space
  // its display shows; `space` is still where it was opened.
  bool onAllSpaces = false;
  friend bool operator==(const WindowSetup&, const WindowSetup&) = default;
};

// A live window. number and space are always set.
struct SimWindow : WindowSetup {
  WindowKey key = 0;
  Pid pid = 0;
  bool fullScreen = false;
  Rect openedFrame{};  // the frame it was opened with (after size limits)
  // Where it came from before entering full screen.
  std::optional<Rect> frameBeforeFullScreen{};
  std::optional<SpaceId> spaceBeforeFullScreen{};
  // Its application dropped the last position written to it, and it has not
  // moved since.
  bool lastMoveIgnored = false;
  // Where its application last moved it by itself, and where a user's hand
  // last left it (mid-drag, where the hand holds it now).
  std::optional<Rect> placedByApp{};
  std::optional<Rect> placedByHand{};
  // The last notification of a move or resize of it was lost: nobody could
  // hear where it went.
  bool movedUnheard = false;
  double movedUnheardAt = -1;  // virtual time of that loss
  friend bool operator==(const SimWindow&, const SimWindow&) = default;
};

// --- The program's own overlay panels ------------------------------------------

// A panel in the window order. Its alpha runs from alphaFrom to alphaTo over
// the animation's time, so a picture taken mid-fade shows it half faded.
struct SimPanel {
  WindowKey key = 0;
  WindowId number = 0;
  PanelStyle style{};
  Rect frame{0, 0, 10, 10};  // window coordinates (bottom-left origin)
  double alphaFrom = 0;
  double alphaTo = 0;
  double fadeStartSeconds = 0;
  double fadeSeconds = 0;
  bool orderedIn = false;
  DisplayList drawing{};
  double alphaAt(double nowSeconds) const;
};

// --- Window-server private functions ----------------------------------------

// The shape of the managed-Spaces answer, so callers' fallbacks can be tried.
enum class SpacesShape {
  perDisplay,   // one dictionary per connected display
  onlyPrimary,  // a one-element array: the primary display's dictionary
  notAnArray,   // a dictionary instead of an array
  nothing,      // the call returns nothing
};
enum class DisplayIdentifierStyle {
  uuid,            // upper-case UUID, as the platform spells it
  mainForPrimary,  // "Main" for the primary display, UUIDs for the others
  unrecognised,    // identifiers that match no display
};
enum class SpaceIdKeys { both, managedSpaceIdOnly, id64Only, none };

struct WindowServerConfig {
  bool connectionAvailable = true;  // "CGSMainConnectionID" can be found
  bool spacesAvailable = true;      // "CGSCopyManagedDisplaySpaces" can be found
  SpacesShape shape = SpacesShape::perDisplay;
  DisplayIdentifierStyle identifiers = DisplayIdentifierStyle::uuid;
  SpaceIdKeys spaceIdKeys = SpaceIdKeys::both;
  friend bool operator==(const WindowServerConfig&, const WindowServerConfig&) = default;
};

// --- Records ------------------------------------------------------------------

enum class AXCallKind {
  copyAttribute,
  setAttribute,
  isSettable,
  performAction,
  addNotification,
  removeNotification,
};
const char* toString(AXCallKind kind);

// How much the world keeps of its records before dropping the oldest calls
// or the newest trace lines.
inline constexpr size_t kMaxRecordedCalls = 100'000;
inline constexpr size_t kMaxTraceLines = 200'000;

// One messaging call the world answered, with its virtual start and reply times.
struct AXCall {
  double startSeconds = 0;
  double endSeconds = 0;
  Pid pid = 0;
  std::optional<WindowKey> window{};  // absent for the application element
  AXCallKind kind = AXCallKind::copyAttribute;
  std::string name{};  // attribute, action or notification
  // The value written, or the value read when the read succeeded.
  std::optional<AXValue> value{};
  AXError result = AXError::success;
  friend bool operator==(const AXCall&, const AXCall&) = default;
};

}  // namespace vistarail::sim

#pragma once
// Attribute, action and notification names of the accessibility services, in
// one place so that a typo cannot make a read silently absent.

namespace vistarail::ax {

// Attributes.
inline constexpr const char* kWindows = "AXWindows";
inline constexpr const char* kRole = "AXRole";
inline constexpr const char* kSubrole = "AXSubrole";
inline constexpr const char* kModal = "AXModal";
inline constexpr const char* kParent = "AXParent";
inline constexpr const char* kWindow = "AXWindow";
inline constexpr const char* kMinimizeButton = "AXMinimizeButton";
inline constexpr const char* kFullScreenButton = "AXFullScreenButton";
inline constexpr const char* kDocument = "AXDocument";
inline constexpr const char* kFullScreen = "AXFullScreen";
inline constexpr const char* kPosition = "AXPosition";
inline constexpr const char* kSize = "AXSize";
inline constexpr const char* kTitle = "AXTitle";
inline constexpr const char* kFocusedWindow = "AXFocusedWindow";
inline constexpr const char* kEnhancedUserInterface = "AXEnhancedUserInterface";
inline constexpr const char* kMain = "AXMain";
inline constexpr const char* kFrontmost = "AXFrontmost";
inline constexpr const char* kMinimized = "AXMinimized";
inline constexpr const char* kHidden = "AXHidden";
inline constexpr const char* kMainWindow = "AXMainWindow";
inline constexpr const char* kFocused = "AXFocused";
inline constexpr const char* kEnabled = "AXEnabled";
inline constexpr const char* kFocusedApplication = "AXFocusedApplication";

// Roles and subroles.
inline constexpr const char* kWindowRole = "AXWindow";
inline constexpr const char* kApplicationRole = "AXApplication";
inline constexpr const char* kButtonRole = "AXButton";
inline constexpr const char* kStandardWindowSubrole = "AXStandardWindow";
inline constexpr const char* kDialogSubrole = "AXDialog";
inline constexpr const char* kSystemDialogSubrole = "AXSystemDialog";
inline constexpr const char* kFloatingWindowSubrole = "AXFloatingWindow";
inline constexpr const char* kSheetRole = "AXSheet";
inline constexpr const char* kDrawerRole = "AXDrawer";
inline constexpr const char* kSystemWideRole = "AXSystemWide";

// Actions.
inline constexpr const char* kRaise = "AXRaise";
inline constexpr const char* kPress = "AXPress";

// Notifications on the application element.
inline constexpr const char* kWindowCreated = "AXWindowCreated";
inline constexpr const char* kSheetCreated = "AXSheetCreated";
inline constexpr const char* kFocusedWindowChanged = "AXFocusedWindowChanged";
inline constexpr const char* kMainWindowChanged = "AXMainWindowChanged";
inline constexpr const char* kApplicationHidden = "AXApplicationHidden";
inline constexpr const char* kApplicationShown = "AXApplicationShown";
// Notifications on a window element.
inline constexpr const char* kUIElementDestroyed = "AXUIElementDestroyed";
inline constexpr const char* kWindowMiniaturized = "AXWindowMiniaturized";
inline constexpr const char* kWindowDeminiaturized = "AXWindowDeminiaturized";
inline constexpr const char* kWindowMoved = "AXWindowMoved";
inline constexpr const char* kWindowResized = "AXWindowResized";
inline constexpr const char* kTitleChanged = "AXTitleChanged";

}  // namespace vistarail::ax

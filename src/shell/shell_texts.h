#pragma once
// The texts, symbols and links the shell shows or opens.

namespace vistarail::shell {

inline constexpr const char* kAppName = "Vistarail";
inline constexpr const char* kSymbolActive = "rectangle.split.3x1";
inline constexpr const char* kSymbolInactive = "rectangle.split.3x1.slash";
inline constexpr const char* kTooltipPrefix = "Vistarail \u2014 ";

inline constexpr const char* kGrantAccessibility = "Grant Accessibility Access\u2026";
inline constexpr const char* kPause = "Pause Vistarail";
inline constexpr const char* kResume = "Resume Vistarail";
inline constexpr const char* kRetile = "Re-tile Windows";
inline constexpr const char* kCarousel = "Carousel Mode";
inline constexpr const char* kMacSetup = "Mac Setup\u2026";
inline constexpr const char* kSettings = "Settings\u2026";
inline constexpr const char* kAbout = "About Vistarail\u2026";
inline constexpr const char* kCheckForUpdates = "Check for Updates\u2026";
inline constexpr const char* kPrivacyPolicy = "Privacy Policy\u2026";
inline constexpr const char* kQuit = "Quit Vistarail";

inline constexpr const char* kAccessibilitySettingsURL =
    "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility";
inline constexpr const char* kPrivacyPolicyFailed = "The privacy policy could not be opened.";
inline constexpr const char* kPrivacyPolicyRetry = "Try opening Vistarail again.";

// Present in the environment when the program hosts a test bundle.
inline constexpr const char* kTestHostVariable = "XCTestConfigurationFilePath";

// How often the program looks for the Accessibility permission while waiting.
inline constexpr double kPermissionPollSeconds = 1.0;

}  // namespace vistarail::shell

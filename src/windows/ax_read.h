#pragma once
// Typed reads of accessibility attributes, each turning every failure into the
// absent value its callers expect. Run them only on the queue of the
// application the element belongs to: a slow application blocks the caller.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/geometry.h"
#include "base/ids.h"
#include "platform/accessibility.h"

namespace vistarail {

// The value when the read succeeds and has the type asked for, else absent.
std::optional<std::string> readString(Accessibility& ax, const AXElement& element,
                                      std::string_view attribute);
std::optional<bool> readBool(Accessibility& ax, const AXElement& element,
                             std::string_view attribute);
std::optional<AXElement> readElement(Accessibility& ax, const AXElement& element,
                                     std::string_view attribute);
// The array when the read succeeds and is an array; empty otherwise.
std::vector<AXElement> readElements(Accessibility& ax, const AXElement& element,
                                    std::string_view attribute);

// Whether an optional attribute (a button, the document) exists. No value and
// unsupported attribute mean it does not; a success means it does when a
// value came back. Any other error leaves it unknown (absent).
std::optional<bool> readPresence(Accessibility& ax, const AXElement& element,
                                 std::string_view attribute);

// "AXPosition" as a point and "AXSize" as a size; absent if either is missing
// or of another type.
std::optional<Rect> readFrame(Accessibility& ax, const AXElement& window);

// The window-server number of a window element; absent when the lookup is
// missing, fails, or gives 0 (such windows are never tracked).
std::optional<WindowId> windowNumberOf(Accessibility& ax, const AXElement& window);

}  // namespace vistarail

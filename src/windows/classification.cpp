#include "windows/classification.h"

#include "platform/ax_names.h"
#include "windows/ax_read.h"

namespace vistarail {

namespace {

bool isSettable(Accessibility& ax, const AXElement& window, const char* attribute) {
  const auto result = ax.isAttributeSettable(window, attribute);
  return result && *result.value;
}

}  // namespace

bool WindowClassification::isAuxiliary() const {
  if (role && *role != ax::kWindowRole) return true;
  if (subrole && *subrole != ax::kStandardWindowSubrole) return true;
  if (isModal || hasOwningWindow) return true;
  if (parentRole && (*parentRole == ax::kWindowRole || *parentRole == ax::kSheetRole ||
                     *parentRole == ax::kDrawerRole)) {
    return true;
  }
  // Panels and palettes have neither window buttons nor a document. Only a
  // definite "none" of all three counts: an unreadable button proves nothing.
  return hasMinimizeButton == false && hasFullScreenButton == false && hasDocument == false;
}

WindowClassification readClassification(Accessibility& ax, const AXElement& window) {
  WindowClassification c;
  c.role = readString(ax, window, ax::kRole);
  c.subrole = readString(ax, window, ax::kSubrole);
  c.isModal = readBool(ax, window, ax::kModal).value_or(false);
  if (const auto parent = readElement(ax, window, ax::kParent)) {
    c.parentRole = readString(ax, *parent, ax::kRole);
  }
  // A window names itself as its window; any other element owns it.
  const auto owner = readElement(ax, window, ax::kWindow);
  c.hasOwningWindow = owner && !(*owner == window);
  c.hasMinimizeButton = readPresence(ax, window, ax::kMinimizeButton);
  c.hasFullScreenButton = readPresence(ax, window, ax::kFullScreenButton);
  c.hasDocument = readPresence(ax, window, ax::kDocument);
  return c;
}

bool isTileable(Accessibility& ax, const AXElement& window, bool wasTileable) {
  const WindowClassification c = readClassification(ax, window);
  if (c.isAuxiliary()) return false;
  if (wasTileable) return true;
  if (c.role != ax::kWindowRole || c.subrole != ax::kStandardWindowSubrole) return false;
  if (!isSettable(ax, window, ax::kPosition) || !isSettable(ax, window, ax::kSize)) return false;
  const auto sizeValue = ax.copyAttributeValue(window, ax::kSize);
  const auto size = sizeValue ? asSize(*sizeValue.value) : std::nullopt;
  // A size that cannot be read now does not make a standard window small.
  if (!size) return true;
  return size->width >= kMinTileableWidthPoints && size->height >= kMinTileableHeightPoints;
}

}  // namespace vistarail

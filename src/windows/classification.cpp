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

namespace {

// The attributes of one round trip, in this order.
constexpr std::string_view kFactAttributes[] = {
    ax::kRole,     ax::kSubrole,  ax::kModal,      ax::kParent,     ax::kWindow,
    ax::kMinimizeButton, ax::kFullScreenButton, ax::kDocument, ax::kPosition,
    ax::kSize,     ax::kFullScreen, ax::kTitle,
};
enum FactIndex { role, subrole, modal, parent, owner, minimize, fullScreenButton, document,
                 position, size, fullScreen, title, factCount };

// As readPresence, from an entry of a multiple read.
std::optional<bool> presence(const AXResult<AXValue>& result) {
  switch (result.error) {
    case AXError::success:
      return result.value.has_value();
    case AXError::noValue:
    case AXError::attributeUnsupported:
      return false;
    default:
      return std::nullopt;  // a busy or hung application says nothing
  }
}

template <class T>
std::optional<T> typed(const AXResult<AXValue>& result,
                       std::optional<T> (*view)(const AXValue&)) {
  return result ? view(*result.value) : std::nullopt;
}

}  // namespace

WindowFacts readWindowFacts(Accessibility& ax, const AXElement& window, bool askSettable,
                            const AXElement& application) {
  static const std::vector<std::string_view> names(std::begin(kFactAttributes),
                                                   std::end(kFactAttributes));
  static_assert(std::size(kFactAttributes) == factCount);
  const std::vector<AXResult<AXValue>> r = ax.copyMultipleAttributeValues(window, names);
  WindowFacts facts;
  if (r.size() != factCount) return facts;
  WindowClassification& c = facts.classification;
  c.role = typed(r[role], asString);
  c.subrole = typed(r[subrole], asString);
  c.isModal = typed(r[modal], asBool).value_or(false);
  if (const auto parentElement = typed(r[parent], asElement)) {
    // Almost every window's parent is its application, whose role is known
    // without asking it again.
    c.parentRole = application && *parentElement == application
                       ? std::optional<std::string>(ax::kApplicationRole)
                       : readString(ax, *parentElement, ax::kRole);
  }
  // A window names itself as its window; any other element owns it.
  const auto ownerElement = typed(r[owner], asElement);
  c.hasOwningWindow = ownerElement && !(*ownerElement == window);
  c.hasMinimizeButton = presence(r[minimize]);
  c.hasFullScreenButton = presence(r[fullScreenButton]);
  c.hasDocument = presence(r[document]);
  const auto origin = typed(r[position], asPoint);
  const auto extent = typed(r[size], asSize);
  if (origin && extent) facts.frame = Rect(*origin, *extent);
  facts.isFullScreen = typed(r[fullScreen], asBool).value_or(false);
  facts.title = typed(r[title], asString);
  if (askSettable && !c.isAuxiliary()) {
    facts.settable = isSettable(ax, window, ax::kPosition) && isSettable(ax, window, ax::kSize);
  }
  return facts;
}

WindowClassification readClassification(Accessibility& ax, const AXElement& window) {
  return readWindowFacts(ax, window, false).classification;
}

bool isTileable(const WindowFacts& facts, bool wasTileable, std::optional<bool> settable) {
  const WindowClassification& c = facts.classification;
  if (c.isAuxiliary()) return false;
  if (wasTileable) return true;
  if (c.role != ax::kWindowRole || c.subrole != ax::kStandardWindowSubrole) return false;
  if (!facts.settable.value_or(settable.value_or(false))) return false;
  // A size that cannot be read now does not make a standard window small.
  if (!facts.frame) return true;
  return facts.frame->width() >= kMinTileableWidthPoints &&
         facts.frame->height() >= kMinTileableHeightPoints;
}

}  // namespace vistarail

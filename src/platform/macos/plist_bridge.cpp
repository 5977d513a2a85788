#include "platform/macos/plist_bridge.h"

namespace vistarail::macos {

namespace {

std::optional<PropertyList> convert(const PlistNode& node, int depth) {
  if (depth > kMaxPlistDepth) return std::nullopt;
  switch (node.kind()) {
    case PlistNode::Kind::boolean:
      return PropertyList(node.boolean());
    case PlistNode::Kind::integer:
      return PropertyList(node.integer());
    case PlistNode::Kind::real:
      return PropertyList(node.real());
    case PlistNode::Kind::string:
      return PropertyList(node.string());
    case PlistNode::Kind::data:
      return PropertyList::binary(node.data());
    case PlistNode::Kind::array: {
      PropertyList out = PropertyList::array();
      const size_t count = node.count();
      for (size_t i = 0; i < count; ++i) {
        const auto child = node.valueAt(i);
        if (!child) continue;
        if (auto value = convert(*child, depth + 1)) out.push_back(std::move(*value));
      }
      return out;
    }
    case PlistNode::Kind::dictionary: {
      PropertyList out = PropertyList::object();
      const size_t count = node.count();
      for (size_t i = 0; i < count; ++i) {
        const auto key = node.keyAt(i);
        if (!key) continue;
        const auto child = node.valueAt(i);
        if (!child) continue;
        if (auto value = convert(*child, depth + 1)) out[*key] = std::move(*value);
      }
      return out;
    }
    case PlistNode::Kind::other:
      break;
  }
  return std::nullopt;
}

}  // namespace

std::optional<PropertyList> plistFromNode(const PlistNode& node) {
  return convert(node, 0);
}

}  // namespace vistarail::macos

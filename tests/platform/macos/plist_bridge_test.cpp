// Property lists between the platform's objects and the port's values, in
// both directions, over a tree that stands for the platform's objects.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/macos/plist_bridge.h"

namespace vistarail::macos {
namespace {

// A platform object: one node of a tree.
struct Obj {
  PlistNode::Kind kind = PlistNode::Kind::other;
  bool b = false;
  int64_t i = 0;
  double r = 0;
  std::string s;
  std::vector<uint8_t> bytes;
  std::vector<std::pair<std::optional<std::string>, std::shared_ptr<Obj>>> children;
};
using ObjRef = std::shared_ptr<Obj>;

class TreeNode final : public PlistNode {
 public:
  explicit TreeNode(ObjRef obj) : obj_(std::move(obj)) {}
  Kind kind() const override { return obj_->kind; }
  bool boolean() const override { return obj_->b; }
  int64_t integer() const override { return obj_->i; }
  double real() const override { return obj_->r; }
  std::string string() const override { return obj_->s; }
  std::vector<uint8_t> data() const override { return obj_->bytes; }
  size_t count() const override { return obj_->children.size(); }
  std::unique_ptr<PlistNode> valueAt(size_t i) const override {
    return std::make_unique<TreeNode>(obj_->children[i].second);
  }
  std::optional<std::string> keyAt(size_t i) const override { return obj_->children[i].first; }

 private:
  ObjRef obj_;
};

ObjRef make(PlistNode::Kind kind) {
  auto o = std::make_shared<Obj>();
  o->kind = kind;
  return o;
}
ObjRef str(std::string s) {
  auto o = make(PlistNode::Kind::string);
  o->s = std::move(s);
  return o;
}
ObjRef integer(int64_t i) {
  auto o = make(PlistNode::Kind::integer);
  o->i = i;
  return o;
}
ObjRef boolean(bool b) {
  auto o = make(PlistNode::Kind::boolean);
  o->b = b;
  return o;
}

std::optional<PropertyList> read(const ObjRef& obj) {
  return plistFromNode(TreeNode(obj));
}

TEST(MacPlistRead, ScalarsKeepTheirKinds) {
  EXPECT_EQ(read(boolean(true)), PropertyList(true));
  EXPECT_TRUE(read(boolean(false))->is_boolean());
  EXPECT_TRUE(read(integer(1))->is_number_integer());
  auto real = make(PlistNode::Kind::real);
  real->r = 1.0;
  EXPECT_TRUE(read(real)->is_number_float());
  EXPECT_EQ(read(integer(std::numeric_limits<int64_t>::min())),
            PropertyList(std::numeric_limits<int64_t>::min()));
  auto data = make(PlistNode::Kind::data);
  data->bytes = {0, 255, 7};
  EXPECT_EQ(read(data), PropertyList::binary({0, 255, 7}));
  EXPECT_EQ(read(make(PlistNode::Kind::other)), std::nullopt);
}

TEST(MacPlistRead, ContainersDropWhatHasNoPlaceAndKeepTheRest) {
  // The shape of the managed-Spaces answer, with a date and a numeric key mixed in.
  auto current = make(PlistNode::Kind::dictionary);
  current->children = {{"ManagedSpaceID", integer(42)}, {"type", integer(4)}};
  auto display = make(PlistNode::Kind::dictionary);
  display->children = {{"Display Identifier", str("Main")},
                       {"Current Space", current},
                       {"Created", make(PlistNode::Kind::other)},
                       {std::nullopt, str("numeric key")}};
  auto list = make(PlistNode::Kind::array);
  list->children = {{std::nullopt, display}, {std::nullopt, make(PlistNode::Kind::other)}};

  const PropertyList expected = PropertyList::array(
      {{{"Display Identifier", "Main"}, {"Current Space", {{"ManagedSpaceID", 42}, {"type", 4}}}}});
  EXPECT_EQ(read(list), expected);
}

TEST(MacPlistRead, DeepNestingIsCutOffInsteadOfRecursingWithoutEnd) {
  // A structure deeper than any real one (or a cycle) ends at the limit.
  auto top = make(PlistNode::Kind::array);
  top->children.push_back({std::nullopt, top});  // a cycle
  const auto result = read(top);
  ASSERT_TRUE(result);
  int depth = 0;
  const PropertyList* at = &*result;
  while (at->is_array() && !at->empty()) {
    at = &(*at)[0];
    ++depth;
  }
  EXPECT_EQ(depth, kMaxPlistDepth);
  top->children.clear();  // break the cycle so the tree is freed
}

// Builds a readable picture of what the platform objects would be.
struct PictureFactory {
  using Value = std::string;
  Value string(const std::string& s) { return "s:" + s; }
  Value boolean(bool b) { return b ? "b:YES" : "b:NO"; }
  Value integer(int64_t i) { return "i:" + std::to_string(i); }
  Value real(double r) { return "r:" + std::to_string(r); }
  Value data(const std::vector<uint8_t>& d) { return "d:" + std::to_string(d.size()); }
  Value array(std::vector<Value> items) {
    std::string out = "[";
    for (const auto& item : items) out += item + ",";
    return out + "]";
  }
  Value dictionary(std::vector<std::pair<std::string, Value>> entries) {
    std::string out = "{";
    for (const auto& [key, value] : entries) out += key + "=" + value + ",";
    return out + "}";
  }
};

TEST(MacPlistBuild, EachValueBecomesTheMatchingObject) {
  PictureFactory factory;
  const auto build = [&](const PropertyList& v) { return buildPlist(v, factory); };
  EXPECT_EQ(build(true), "b:YES");
  EXPECT_EQ(build(0), "i:0");
  EXPECT_EQ(build(-3), "i:-3");
  EXPECT_EQ(build(0.5), "r:0.500000");
  EXPECT_EQ(build("x"), "s:x");
  EXPECT_EQ(build(PropertyList::binary({1, 2})), "d:2");
  EXPECT_EQ(build(PropertyList::array({1, nullptr, "a"})), "[i:1,s:a,]");
  EXPECT_EQ(build(PropertyList{{"enabled", false}, {"gone", nullptr}}), "{enabled=b:NO,}");
  EXPECT_EQ(build(nullptr), std::nullopt);
}

TEST(MacPlistBuild, LargeUnsignedNumbersDoNotWrapNegative) {
  PictureFactory factory;
  const uint64_t big = std::numeric_limits<uint64_t>::max();
  const auto built = buildPlist(PropertyList(big), factory);
  ASSERT_TRUE(built);
  EXPECT_EQ(built->rfind("r:", 0), 0u) << *built;
  EXPECT_EQ(buildPlist(PropertyList(uint64_t{7}), factory), "i:7");
}

TEST(MacPlistBuild, RoundTripThroughTheReaderKeepsStoredSettings) {
  // What the settings store writes comes back unchanged.
  struct TreeFactory {
    using Value = ObjRef;
    Value string(const std::string& s) { return str(s); }
    Value boolean(bool b) { return macos::boolean(b); }
    Value integer(int64_t i) { return macos::integer(i); }
    Value real(double r) {
      auto o = make(PlistNode::Kind::real);
      o->r = r;
      return o;
    }
    Value data(const std::vector<uint8_t>& d) {
      auto o = make(PlistNode::Kind::data);
      o->bytes = d;
      return o;
    }
    Value array(std::vector<Value> items) {
      auto o = make(PlistNode::Kind::array);
      for (auto& item : items) o->children.push_back({std::nullopt, item});
      return o;
    }
    Value dictionary(std::vector<std::pair<std::string, Value>> entries) {
      auto o = make(PlistNode::Kind::dictionary);
      for (auto& [key, value] : entries) o->children.push_back({key, value});
      return o;
    }
  } factory;
  const PropertyList stored = {
      {"enabled", true},
      {"animationSpeed", 1.8},
      {"swipeFingers", 4},
      {"widthPresets", {0.25, 1.0 / 3, 0.5}},
      {"floatingBundleIDs", {"com.apple.calculator"}},
      {"bindings.v1", PropertyList::binary({'{', '}'})},
  };
  const auto built = buildPlist(stored, factory);
  ASSERT_TRUE(built);
  EXPECT_EQ(read(*built), stored);
}

}  // namespace
}  // namespace vistarail::macos

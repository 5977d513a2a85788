// How the accessibility adapter reads raw error codes and copied attribute
// values: the decisions a plausible slip would get wrong (an unknown code read
// as success, a boolean read as a number, a rectangle or a null passed on as a
// value, an array that keeps things other than elements).

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "platform/macos/ax_translation.h"

namespace vistarail::macos {
namespace {

TEST(MacAXErrors, EveryKnownCodeMapsToItselfAndUnknownOnesFail) {
  for (int32_t code = -25214; code <= -25200; ++code) {
    EXPECT_EQ(static_cast<int32_t>(axErrorFromCode(code)), code);
  }
  EXPECT_EQ(axErrorFromCode(0), AXError::success);
  EXPECT_EQ(axErrorFromCode(-25209), AXError::notificationAlreadyRegistered);
  // Codes the port does not know, on either side of the range and positive.
  for (int32_t code : {-25199, -25215, -25300, 1, -1, std::numeric_limits<int32_t>::min()}) {
    SCOPED_TRACE(code);
    EXPECT_EQ(axErrorFromCode(code), AXError::failure);
  }
}

TEST(MacAXErrors, MessagingTimeoutIsNeverNegativeOrNaN) {
  EXPECT_FLOAT_EQ(messagingTimeoutValue(1.0), 1.0f);
  EXPECT_FLOAT_EQ(messagingTimeoutValue(0.25), 0.25f);
  EXPECT_EQ(messagingTimeoutValue(-1.0), 0.0f);
  EXPECT_EQ(messagingTimeoutValue(std::nan("")), 0.0f);
  EXPECT_TRUE(std::isfinite(messagingTimeoutValue(1e300)));
}

class TestHandle final : public AXHandleImpl {
 public:
  explicit TestHandle(int id) : id_(id) {}
  bool equals(const AXHandleImpl& other) const override {
    const auto* o = dynamic_cast<const TestHandle*>(&other);
    return o && o->id_ == id_;
  }
  size_t hash() const override { return static_cast<size_t>(id_); }

 private:
  int id_;
};

AXElement element(int id) {
  return AXElement(std::make_shared<TestHandle>(id));
}

// One raw value as the adapter would describe a copied object.
struct FakeRaw {
  AXRawKind rawKind = AXRawKind::null;
  bool b = false;
  double n = 0;
  std::string s;
  AXValueType type = AXValueType::cgPoint;
  Point p;
  Size sz;
  int elementId = 0;
  std::vector<FakeRaw> items;

  AXRawKind kind() const { return rawKind; }
  bool boolean() const { return b; }
  double number() const { return n; }
  std::string string() const { return s; }
  AXValueType axValueType() const { return type; }
  Point point() const { return p; }
  Size size() const { return sz; }
  AXElement element() const { return macos::element(elementId); }
  size_t count() const { return items.size(); }
  bool isElementAt(size_t i) const { return items[i].rawKind == AXRawKind::element; }
  AXElement elementAt(size_t i) const { return items[i].element(); }
};

FakeRaw elementRaw(int id) {
  FakeRaw r;
  r.rawKind = AXRawKind::element;
  r.elementId = id;
  return r;
}

TEST(MacAXValues, ScalarsKeepTheirType) {
  FakeRaw yes;
  yes.rawKind = AXRawKind::boolean;
  yes.b = true;
  const auto b = decodeAttributeValue(yes);
  ASSERT_TRUE(b.isOk());
  EXPECT_TRUE(std::holds_alternative<bool>(*b.value));

  FakeRaw number;
  number.rawKind = AXRawKind::number;
  number.n = 2.5;
  EXPECT_EQ(asNumber(*decodeAttributeValue(number).value), 2.5);

  FakeRaw title;
  title.rawKind = AXRawKind::string;
  title.s = "Inbox — 3 unread";
  EXPECT_EQ(asString(*decodeAttributeValue(title).value), "Inbox — 3 unread");

  EXPECT_EQ(asElement(*decodeAttributeValue(elementRaw(7)).value), element(7));
}

TEST(MacAXValues, PointsAndSizesUnpackByTheirValueType) {
  FakeRaw packed;
  packed.rawKind = AXRawKind::axValue;
  packed.p = {-1440, 25};
  packed.sz = {800, 600};

  packed.type = AXValueType::cgPoint;
  EXPECT_EQ(asPoint(*decodeAttributeValue(packed).value), (Point{-1440, 25}));
  packed.type = AXValueType::cgSize;
  EXPECT_EQ(asSize(*decodeAttributeValue(packed).value), (Size{800, 600}));
  // A size is never read as a point or the other way round.
  EXPECT_FALSE(asPoint(*decodeAttributeValue(packed).value));

  for (AXValueType other : {AXValueType::cgRect, AXValueType::cfRange, AXValueType::axError}) {
    packed.type = other;
    const auto result = decodeAttributeValue(packed);
    EXPECT_FALSE(result.isOk());
    EXPECT_EQ(result.error, AXError::noValue);
  }
}

TEST(MacAXValues, NothingOrForeignObjectsReadAsNoValue) {
  for (AXRawKind kind : {AXRawKind::null, AXRawKind::other}) {
    FakeRaw raw;
    raw.rawKind = kind;
    const auto result = decodeAttributeValue(raw);
    EXPECT_EQ(result.error, AXError::noValue);
    EXPECT_FALSE(result.value);
  }
}

TEST(MacAXValues, ArraysKeepTheirElementsInOrderAndSkipTheRest) {
  FakeRaw windows;
  windows.rawKind = AXRawKind::array;
  FakeRaw stray;
  stray.rawKind = AXRawKind::string;
  windows.items = {elementRaw(3), stray, elementRaw(1), elementRaw(2)};
  const auto list = asElements(*decodeAttributeValue(windows).value);
  ASSERT_TRUE(list);
  EXPECT_EQ(*list, (std::vector<AXElement>{element(3), element(1), element(2)}));

  windows.items.clear();
  const auto empty = decodeAttributeValue(windows);
  ASSERT_TRUE(empty.isOk());
  EXPECT_TRUE(asElements(*empty.value)->empty());
}

}  // namespace
}  // namespace vistarail::macos

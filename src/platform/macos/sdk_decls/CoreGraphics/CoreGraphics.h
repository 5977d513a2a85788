#pragma once
// CoreGraphics: geometry, window lists, displays, event taps and drawing.
#include <CoreFoundation/CoreFoundation.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef double CGFloat;
typedef struct CGPoint {
  CGFloat x;
  CGFloat y;
} CGPoint;
typedef struct CGSize {
  CGFloat width;
  CGFloat height;
} CGSize;
typedef struct CGRect {
  CGPoint origin;
  CGSize size;
} CGRect;
typedef struct CGAffineTransform CGAffineTransform;

// Window lists and displays.
typedef uint32_t CGWindowID;
typedef uint32_t CGWindowListOption;
typedef uint32_t CGDirectDisplayID;
CFArrayRef CGWindowListCopyWindowInfo(CGWindowListOption option, CGWindowID relativeToWindow);
CFUUIDRef CGDisplayCreateUUIDFromDisplayID(CGDirectDisplayID displayID);
CGDirectDisplayID CGMainDisplayID(void);

// Events and event taps.
typedef struct __CGEvent* CGEventRef;
typedef struct __CGEventTapProxy* CGEventTapProxy;
typedef uint32_t CGEventType;
typedef uint64_t CGEventMask;
typedef uint64_t CGEventFlags;
typedef uint32_t CGEventTapLocation;
typedef uint32_t CGEventTapPlacement;
typedef uint32_t CGEventTapOptions;
typedef uint32_t CGEventField;
enum { kCGSessionEventTap = 1 };
enum { kCGHeadInsertEventTap = 0, kCGTailAppendEventTap = 1 };
enum { kCGEventTapOptionDefault = 0, kCGEventTapOptionListenOnly = 1 };
enum {
  kCGScrollWheelEventIsContinuous = 88,
  kCGScrollWheelEventPointDeltaAxis1 = 96,
  kCGScrollWheelEventPointDeltaAxis2 = 97,
  kCGScrollWheelEventScrollPhase = 99,
  kCGScrollWheelEventMomentumPhase = 123,
};
typedef CGEventRef (*CGEventTapCallBack)(CGEventTapProxy proxy, CGEventType type, CGEventRef event,
                                         void* userInfo);
CFMachPortRef CGEventTapCreate(CGEventTapLocation tap, CGEventTapPlacement place,
                               CGEventTapOptions options, CGEventMask eventsOfInterest,
                               CGEventTapCallBack callback, void* userInfo);
void CGEventTapEnable(CFMachPortRef tap, bool enable);
bool CGEventTapIsEnabled(CFMachPortRef tap);
CGPoint CGEventGetLocation(CGEventRef event);
CGEventFlags CGEventGetFlags(CGEventRef event);
int64_t CGEventGetIntegerValueField(CGEventRef event, CGEventField field);
double CGEventGetDoubleValueField(CGEventRef event, CGEventField field);

// Drawing.
typedef struct CGContext* CGContextRef;
typedef struct CGColor* CGColorRef;
typedef struct CGColorSpace* CGColorSpaceRef;
typedef const struct CGPath* CGPathRef;
typedef int32_t CGLineCap;
enum { kCGLineCapButt = 0, kCGLineCapRound = 1, kCGLineCapSquare = 2 };
typedef int32_t CGLineJoin;
enum { kCGLineJoinMiter = 0, kCGLineJoinRound = 1, kCGLineJoinBevel = 2 };
typedef int32_t CGBlendMode;
enum { kCGBlendModeNormal = 0, kCGBlendModeCopy = 17 };
extern const CFStringRef kCGColorSpaceSRGB;

CGColorSpaceRef CGColorSpaceCreateWithName(CFStringRef name);
CGColorRef CGColorCreate(CGColorSpaceRef space, const CGFloat* components);
CGPathRef CGPathCreateWithRoundedRect(CGRect rect, CGFloat cornerWidth, CGFloat cornerHeight,
                                      const CGAffineTransform* transform);

void CGContextSaveGState(CGContextRef c);
void CGContextRestoreGState(CGContextRef c);
void CGContextSetShadowWithColor(CGContextRef c, CGSize offset, CGFloat blur, CGColorRef color);
void CGContextSetBlendMode(CGContextRef c, CGBlendMode mode);
void CGContextSetFillColorWithColor(CGContextRef c, CGColorRef color);
void CGContextSetStrokeColorWithColor(CGContextRef c, CGColorRef color);
void CGContextSetLineWidth(CGContextRef c, CGFloat width);
void CGContextSetLineCap(CGContextRef c, CGLineCap cap);
void CGContextSetLineJoin(CGContextRef c, CGLineJoin join);
void CGContextFillRect(CGContextRef c, CGRect rect);
void CGContextFillEllipseInRect(CGContextRef c, CGRect rect);
void CGContextAddPath(CGContextRef c, CGPathRef path);
void CGContextFillPath(CGContextRef c);
void CGContextStrokePath(CGContextRef c);
void CGContextBeginPath(CGContextRef c);
void CGContextMoveToPoint(CGContextRef c, CGFloat x, CGFloat y);
void CGContextAddLineToPoint(CGContextRef c, CGFloat x, CGFloat y);

#ifdef __cplusplus
}
#endif

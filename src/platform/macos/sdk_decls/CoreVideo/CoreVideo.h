#pragma once
// CoreVideo: display links.
#include <CoreGraphics/CoreGraphics.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t CVReturn;
enum { kCVReturnSuccess = 0 };
typedef uint64_t CVOptionFlags;
typedef struct __CVDisplayLink* CVDisplayLinkRef;
typedef struct CVTimeStamp CVTimeStamp;
typedef CVReturn (*CVDisplayLinkOutputCallback)(CVDisplayLinkRef displayLink,
                                                const CVTimeStamp* inNow,
                                                const CVTimeStamp* inOutputTime,
                                                CVOptionFlags flagsIn, CVOptionFlags* flagsOut,
                                                void* displayLinkContext);
CVReturn CVDisplayLinkCreateWithCGDisplay(CGDirectDisplayID displayID,
                                          CVDisplayLinkRef* displayLinkOut);
CVReturn CVDisplayLinkSetOutputCallback(CVDisplayLinkRef displayLink,
                                        CVDisplayLinkOutputCallback callback, void* userInfo);
CVReturn CVDisplayLinkStart(CVDisplayLinkRef displayLink);
CVReturn CVDisplayLinkStop(CVDisplayLinkRef displayLink);
void CVDisplayLinkRelease(CVDisplayLinkRef displayLink);

#ifdef __cplusplus
}
#endif

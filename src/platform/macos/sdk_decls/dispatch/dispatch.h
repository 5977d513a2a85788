#pragma once
// libdispatch (Grand Central Dispatch): its C interface with function
// pointers. From C++, dispatch objects are pointers to structures derived
// from one object structure and are retained and released by hand; under
// Objective-C's automatic reference counting they are objects and the
// retain and release calls do not exist.
#include <stdint.h>

struct dispatch_object_s {};
struct dispatch_queue_s : dispatch_object_s {};
struct dispatch_queue_attr_s : dispatch_object_s {};
struct dispatch_source_s : dispatch_object_s {};
typedef struct dispatch_object_s* dispatch_object_t;
typedef struct dispatch_queue_s* dispatch_queue_t;
typedef struct dispatch_queue_attr_s* dispatch_queue_attr_t;
typedef struct dispatch_source_s* dispatch_source_t;
typedef const struct dispatch_source_type_s* dispatch_source_type_t;

extern "C" {

typedef uint64_t dispatch_time_t;
typedef void (*dispatch_function_t)(void*);

#define DISPATCH_TIME_NOW (0ull)
#define DISPATCH_QUEUE_SERIAL nullptr
#define DISPATCH_CURRENT_QUEUE_LABEL nullptr

// Quality-of-service classes (sys/qos.h, which the real header includes).
typedef unsigned int qos_class_t;
enum { QOS_CLASS_USER_INTERACTIVE = 0x21 };
dispatch_queue_attr_t dispatch_queue_attr_make_with_qos_class(dispatch_queue_attr_t attr,
                                                              qos_class_t qos_class,
                                                              int relative_priority);

extern const struct dispatch_source_type_s _dispatch_source_type_timer;
#define DISPATCH_SOURCE_TYPE_TIMER (&_dispatch_source_type_timer)
extern const struct dispatch_source_type_s _dispatch_source_type_signal;
#define DISPATCH_SOURCE_TYPE_SIGNAL (&_dispatch_source_type_signal)
extern const struct dispatch_source_type_s _dispatch_source_type_read;
#define DISPATCH_SOURCE_TYPE_READ (&_dispatch_source_type_read)
extern const struct dispatch_source_type_s _dispatch_source_type_write;
#define DISPATCH_SOURCE_TYPE_WRITE (&_dispatch_source_type_write)

dispatch_queue_t dispatch_get_main_queue(void);
dispatch_queue_t dispatch_queue_create(const char* label, dispatch_queue_attr_t attr);
const char* dispatch_queue_get_label(dispatch_queue_t queue);
void dispatch_queue_set_specific(dispatch_queue_t queue, const void* key, void* context,
                                 dispatch_function_t destructor);
void* dispatch_get_specific(const void* key);
void dispatch_async_f(dispatch_queue_t queue, void* context, dispatch_function_t work);
void dispatch_after_f(dispatch_time_t when, dispatch_queue_t queue, void* context,
                      dispatch_function_t work);
dispatch_time_t dispatch_time(dispatch_time_t when, int64_t delta);
void dispatch_set_context(dispatch_object_t object, void* context);
void dispatch_resume(dispatch_object_t object);
#if !(defined(__OBJC__) && __has_feature(objc_arc))
void dispatch_release(dispatch_object_t object);
#endif

dispatch_source_t dispatch_source_create(dispatch_source_type_t type, uintptr_t handle,
                                         uintptr_t mask, dispatch_queue_t queue);
void dispatch_source_set_timer(dispatch_source_t source, dispatch_time_t start, uint64_t interval,
                               uint64_t leeway);
void dispatch_source_set_event_handler_f(dispatch_source_t source, dispatch_function_t handler);
void dispatch_source_set_cancel_handler_f(dispatch_source_t source, dispatch_function_t handler);
void dispatch_source_cancel(dispatch_source_t source);
}

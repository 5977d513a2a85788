#pragma once
// Foundation: the classes, functions and constants the adapters use.
#include <CoreFoundation/CoreFoundation.h>
#include <CoreGraphics/CoreGraphics.h>
#include <sys/types.h>

#define nil nullptr

@class NSString;

typedef signed char BOOL;
#define YES ((BOOL)1)
#define NO ((BOOL)0)
typedef long NSInteger;
typedef unsigned long NSUInteger;
typedef double NSTimeInterval;
typedef CGRect NSRect;
typedef CGPoint NSPoint;
typedef CGSize NSSize;
typedef NSString* NSNotificationName;
typedef NSString* NSAttributedStringKey;

typedef struct {
  unsigned long state;
  __unsafe_unretained id* itemsPtr;
  unsigned long* mutationsPtr;
  unsigned long extra[5];
} NSFastEnumerationState;

@protocol NSObject
@end

@protocol NSFastEnumeration
- (NSUInteger)countByEnumeratingWithState:(NSFastEnumerationState*)state
                                  objects:(__unsafe_unretained id[])buffer
                                    count:(NSUInteger)len;
@end

__attribute__((objc_root_class))
@interface NSObject<NSObject>
+ (instancetype)alloc;
- (instancetype)init;
+ (Class)class;
- (BOOL)isKindOfClass:(Class)aClass;
@end

@interface NSString : NSObject
+ (instancetype)stringWithUTF8String:(const char*)nullTerminatedCString;
@property(readonly) const char* UTF8String;
- (BOOL)isEqualToString:(NSString*)aString;
@end

SEL NSSelectorFromString(NSString* aSelectorName);

static inline NSRect NSMakeRect(CGFloat x, CGFloat y, CGFloat w, CGFloat h) {
  NSRect r;
  r.origin.x = x;
  r.origin.y = y;
  r.size.width = w;
  r.size.height = h;
  return r;
}

static inline NSSize NSMakeSize(CGFloat w, CGFloat h) {
  NSSize s;
  s.width = w;
  s.height = h;
  return s;
}

typedef struct NSEdgeInsets {
  CGFloat top;
  CGFloat left;
  CGFloat bottom;
  CGFloat right;
} NSEdgeInsets;
static inline NSEdgeInsets NSEdgeInsetsMake(CGFloat top, CGFloat left, CGFloat bottom,
                                            CGFloat right) {
  NSEdgeInsets e;
  e.top = top;
  e.left = left;
  e.bottom = bottom;
  e.right = right;
  return e;
}

@interface NSNumber : NSObject
@property(readonly) unsigned int unsignedIntValue;
@property(readonly) BOOL boolValue;
@end

@interface NSArray<ObjectType> : NSObject <NSFastEnumeration>
+ (instancetype)array;
@property(readonly) NSUInteger count;
- (ObjectType)objectAtIndexedSubscript:(NSUInteger)idx;
@end

@interface NSSet<ObjectType> : NSObject <NSFastEnumeration>
@end

@interface NSDictionary<KeyType, ObjectType> : NSObject
- (ObjectType)objectForKeyedSubscript:(KeyType)key;
@end

@interface NSURL : NSObject
+ (instancetype)URLWithString:(NSString*)URLString;
@property(readonly, copy) NSString* path;
@property(readonly, copy) NSString* absoluteString;
@end

@interface NSError : NSObject
@property(readonly, copy) NSString* localizedDescription;
@end

@interface NSBundle : NSObject
@property(class, readonly, strong) NSBundle* mainBundle;
@property(readonly, copy) NSString* bundleIdentifier;
@property(readonly, copy) NSString* bundlePath;
- (id)objectForInfoDictionaryKey:(NSString*)key;
- (NSURL*)URLForResource:(NSString*)name withExtension:(NSString*)ext;
@end

@interface NSNotification : NSObject
@property(readonly, retain) id object;
@property(readonly, copy) NSDictionary* userInfo;
@end

@interface NSOperationQueue : NSObject
@property(class, readonly, strong) NSOperationQueue* mainQueue;
@end

@interface NSNotificationCenter : NSObject
@property(class, readonly, strong) NSNotificationCenter* defaultCenter;
- (id<NSObject>)addObserverForName:(NSNotificationName)name
                            object:(id)obj
                             queue:(NSOperationQueue*)queue
                        usingBlock:(void (^)(NSNotification* notification))block;
- (void)removeObserver:(id)observer;
@end

@interface NSUserDefaults : NSObject
@property(class, readonly, strong) NSUserDefaults* standardUserDefaults;
- (instancetype)initWithSuiteName:(NSString*)suitename;
- (id)objectForKey:(NSString*)defaultName;
- (void)setObject:(id)value forKey:(NSString*)defaultName;
- (void)removeObjectForKey:(NSString*)defaultName;
- (void)registerDefaults:(NSDictionary<NSString*, id>*)registrationDictionary;
@end

typedef struct {
  NSInteger majorVersion;
  NSInteger minorVersion;
  NSInteger patchVersion;
} NSOperatingSystemVersion;

@interface NSProcessInfo : NSObject
@property(class, readonly, strong) NSProcessInfo* processInfo;
@property(readonly) NSOperatingSystemVersion operatingSystemVersion;
@end

enum NSQualityOfService : NSInteger { NSQualityOfServiceUserInteractive = 0x21 };

@interface NSThread : NSObject
- (instancetype)initWithBlock:(void (^)(void))block;
@property(copy) NSString* name;
@property NSQualityOfService qualityOfService;
- (void)start;
@end

@interface NSAttributedString : NSObject
- (instancetype)initWithString:(NSString*)str
                    attributes:(NSDictionary<NSAttributedStringKey, id>*)attrs;
@end

@interface NSMutableAttributedString : NSAttributedString
- (void)appendAttributedString:(NSAttributedString*)attrString;
@end

// Moves a CoreFoundation reference (from a Create or Copy call) into
// automatic reference counting.
static inline id CFBridgingRelease(CFTypeRef X) {
  return (__bridge_transfer id)X;
}

@interface NSMutableArray<ObjectType> : NSArray <ObjectType>
- (void)addObject:(ObjectType)anObject;
@end

// What the collection and number literals (@[...], @{...}, @(...)) call.
@interface NSArray <ObjectType>(Literals)
+ (instancetype)arrayWithObjects:(const ObjectType[])objects count:(NSUInteger)cnt;
@end
@interface NSDictionary <KeyType, ObjectType>(Literals)
+ (instancetype)dictionaryWithObjects:(const ObjectType[])objects
                              forKeys:(const KeyType[])keys
                                count:(NSUInteger)cnt;
@end
@interface NSNumber (Literals)
+ (NSNumber*)numberWithUnsignedInteger:(NSUInteger)value;
@end

// Key-value observing.
typedef NSString* NSKeyValueChangeKey;
extern NSKeyValueChangeKey const NSKeyValueChangeNewKey;
typedef NSUInteger NSKeyValueObservingOptions;
enum : NSUInteger { NSKeyValueObservingOptionNew = 0x01, NSKeyValueObservingOptionInitial = 0x04 };

@interface NSObject (NSKeyValueObserving)
- (void)observeValueForKeyPath:(NSString*)keyPath
                      ofObject:(id)object
                        change:(NSDictionary<NSKeyValueChangeKey, id>*)change
                       context:(void*)context;
- (void)addObserver:(NSObject*)observer
         forKeyPath:(NSString*)keyPath
            options:(NSKeyValueObservingOptions)options
            context:(void*)context;
- (void)removeObserver:(NSObject*)observer forKeyPath:(NSString*)keyPath context:(void*)context;
@end

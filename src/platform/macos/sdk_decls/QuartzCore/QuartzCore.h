#pragma once
// QuartzCore (Core Animation): the layer properties the adapters set.
#import <Foundation/Foundation.h>

@interface CALayer : NSObject
@property CGFloat cornerRadius;
@property BOOL masksToBounds;
@end

#!/usr/bin/env bash
# Plants typical mistakes in a scratch copy of the macOS adapters and expects
# the type check (or the symbol check) to fail on each; a check that passed
# a planted mistake would prove nothing about the real sources. Each plant is
# a substitution that must change its file, so a plant that no longer matches
# the source fails the test instead of passing it quietly.
#
#   planted_mistakes.sh SOURCE_ROOT SCRATCH_DIR
set -euo pipefail

src="$1"
work="$2"
scripts="$(cd "$src/../scripts" && pwd)"

rm -rf "$work"
mkdir -p "$work/platform"
cp -r "$src/base" "$work/base"
find "$src/platform" -maxdepth 1 -type f -exec cp {} "$work/platform/" \;
cp -r "$src/platform/macos" "$work/platform/macos"
[ -d "$src/main/macos" ] && mkdir -p "$work/main" && cp -r "$src/main/macos" "$work/main/macos"

failures=0
declare -A clean
# plant CHECK FILE PERL-SUBSTITUTION DESCRIPTION [SOURCE TO CHECK]
# The type check looks at the planted source only (or the source named, for
# a planted header), first clean, so that the plant is what makes it fail.
plant() {
  local check="$1" file="$work/$2" edit="$3" what="$4" target="${5:-$2}"
  local args=("$work")
  if [ "$check" = mac_typecheck.sh ]; then args+=("$target"); fi
  local key="$check ${args[*]}"
  if [ -z "${clean[$key]:-}" ]; then
    if ! "$scripts/$check" "${args[@]}" >/dev/null 2>&1; then
      echo "FAILS BEFORE THE PLANT: $what ($2)"
      failures=$((failures + 1))
      return
    fi
    clean[$key]=1
  fi
  cp "$file" "$file.orig"
  perl -0pi -e "$edit" "$file"
  if cmp -s "$file" "$file.orig"; then
    echo "PLANT DID NOT APPLY: $what ($2)"
    failures=$((failures + 1))
  elif "$scripts/$check" "${args[@]}" >/dev/null 2>&1; then
    echo "NOT CAUGHT: $what ($2)"
    failures=$((failures + 1))
  else
    echo "caught: $what"
  fi
  mv "$file.orig" "$file"
}

a=platform/macos/adapters
plant mac_typecheck.sh $a/mac_window_server.cpp \
  's/CGDisplayCreateUUIDFromDisplayID\(display\)/CGDisplayCreateUUIDFromDisplayID(&display)/' \
  "wrong argument type (a pointer where a display number goes)"
plant mac_typecheck.sh $a/mac_overlay_panels.mm \
  's/\[panel_ orderFrontRegardless\]/[panel_ orderFrontRegardles]/' \
  "misspelt selector"
plant mac_typecheck.sh $a/mac_accessibility.cpp \
  's/makeCFString\(attribute\).get\(\), value.out\(\)\)/makeCFString(attribute).get())/' \
  "missing argument (the out-parameter of a Copy call)"
plant mac_typecheck.sh $a/mac_defaults.mm \
  's/plistFromCF\(\(__bridge CFTypeRef\)value\)/plistFromCF((CFTypeRef)value)/' \
  "Objective-C object cast to a CoreFoundation type without a bridge"
plant mac_typecheck.sh $a/objc_bridge.h \
  's/stringFromCF\(\(__bridge CFStringRef\)string\)/stringFromCF(string)/' \
  "Objective-C object passed where a CoreFoundation one is expected" $a/mac_defaults.mm
plant mac_typecheck.sh $a/mac_accessibility.cpp \
  's/using GetWindowFunction = ::AXError/using GetWindowFunction = AXError/' \
  "the port's error enumeration taken for the platform's numeric error"
plant mac_typecheck.sh $a/mac_hot_keys.cpp \
  's/InstallEventHandler\(GetEventDispatcherTarget\(\), hotKeyHandler,/InstallEventHandler(GetEventDispatcherTarget(), \&box_,/' \
  "a handler that is not an event handler function"
plant mac_typecheck.sh $a/mac_dispatch.cpp \
  's/dispatch_source_set_timer\(source_, dispatch_time\(DISPATCH_TIME_NOW, step\),/dispatch_source_set_timer(source_,/' \
  "missing argument (a timer without its start)"
plant mac_typecheck.sh $a/mac_login_item.mm \
  's/registerAndReturnError:&error/registerAndReturnError:error/' \
  "wrong argument type (an error where the address of one goes)"
plant mac_typecheck.sh $a/mac_status_bar.mm \
  's/statusItemWithLength:length/statusItemWithLenght:length/' \
  "misspelt selector (the status item)"
plant mac_typecheck.sh $a/mac_updater.mm \
  's/startUpdater:&error/startUpdatr:&error/' \
  "misspelt selector in the code built only with the update framework"
plant mac_sdk_symbols.sh platform/macos/sdk_decls/CoreGraphics/CoreGraphics.h \
  's/(void CGContextFillPath\(CGContextRef c\);)/$1\nvoid CGContextClip(CGContextRef c);/' \
  "a declaration no adapter uses"
plant mac_sdk_symbols.sh platform/macos/sdk_decls/CoreFoundation/CoreFoundation.h \
  's/void CFRunLoopWakeUp\(CFRunLoopRef rl\);\n//' \
  "a platform call the adapters make, left undeclared"

if [ $failures -ne 0 ]; then
  echo "$failures planted mistakes were not caught"
  exit 1
fi
echo "every planted mistake was caught"

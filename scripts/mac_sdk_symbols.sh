#!/usr/bin/env bash
# Holds the declarations that stand in for the platform's frameworks to what
# the macOS adapters use, so that neither drifts silently:
#   - every platform name an adapter uses (functions, types, constants,
#     classes, macros of CoreFoundation, CoreGraphics, accessibility, Carbon,
#     CoreVideo, libdispatch, mach, AppKit, Foundation, QuartzCore,
#     ServiceManagement, and the optional Sparkle) must be
#     declared in src/platform/macos/sdk_decls/;
#   - every name declared there must be used, by an adapter or by another
#     declaration (a name that occurs once in the declarations and nowhere in
#     the adapters is a declaration nobody needs).
# Comments and string literals are left out, so a private function looked up
# by name at run time is not taken for a declared one.
#
#   scripts/mac_sdk_symbols.sh [SOURCE_ROOT]   (default: this checkout's src/)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
src="${1:-$here/../src}"
decls="$src/platform/macos/sdk_decls"

# Names of the platform's frameworks, by their prefixes and families.
pattern='\b(k(CF|CG|AX|CV|TIS|UC|Event)[A-Za-z0-9_]*|(CF|CG|AX|CV|TIS|UC|LM|NS|CA|SM|SPU)[A-Z][A-Za-z0-9_]*|_?dispatch_[a-z_]+|DISPATCH_[A-Z_]+|mach_[a-z_]+|(Install|Register|Unregister)Event[A-Za-z]*|GetEvent[A-Za-z]*|Event(HotKey|Handler|Type|Target|Param)[A-Za-z]*|typeEventHotKeyID|eventNotHandledErr|UniChar[A-Za-z]*|QOS_CLASS_[A-Z_]+|qos_class_t|OptionBits|UInt(8|16|32)|Boolean|pid_t)\b'

# Source text without comments and string literals.
strip() {
  sed -E -e 's#//.*$##' -e 's/@?"([^"\\]|\\.)*"/""/g' -e '/^#\s*(include|import)/d' "$@" | perl -0pe 's#/\*.*?\*/##gs'
}
names() { grep -oE "$pattern" | sort -u; }

mapfile -t adapterFiles < <(find "$src/platform/macos/adapters" "$src/main/macos" \
  -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.mm' \) 2>/dev/null | sort)
mapfile -t declFiles < <(find "$decls" -type f -name '*.h' | sort)
# The program's own names that share a prefix (AXElement, AXError, OSStatus).
mapfile -t ownFiles < <(find "$src/platform" -maxdepth 2 -type f -name '*.h' \
  -not -path '*/sim/*' -not -path '*/sdk_decls/*' -not -path '*/adapters/*' | sort)

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
strip "${adapterFiles[@]}" | names >"$tmp/used"
strip "${declFiles[@]}" | names >"$tmp/declared"
strip "${ownFiles[@]}" | names >"$tmp/own"
# ... and the adapters' own classes and aliases (CFRef, CFNode).
strip "${adapterFiles[@]}" | grep -oE '\b(class|struct|using) +[A-Za-z_][A-Za-z0-9_]*' |
  awk '{ print $2 }' | sort -u >>"$tmp/own"
sort -u -o "$tmp/own" "$tmp/own"
comm -23 "$tmp/used" "$tmp/own" >"$tmp/platform-used"

status=0
undeclared=$(comm -23 "$tmp/platform-used" "$tmp/declared")
if [ -n "$undeclared" ]; then
  echo "Used by the adapters but not declared in sdk_decls/:"
  echo "$undeclared" | sed 's/^/  /'
  status=1
fi

# Structure tags and category names name what they
# declare and need no second mention.
strip "${declFiles[@]}" |
  sed -E -e 's/struct +[A-Za-z_][A-Za-z0-9_]*//g' \
    -e 's/(@interface +[A-Za-z]+ *(<[^>]*>)?) *\([A-Za-z]+\)/\1/' |
  grep -oE "$pattern" | sort | uniq -c |
  awk '$1 == 1 { print $2 }' >"$tmp/once"
unused=$(comm -23 "$tmp/once" "$tmp/used")
if [ -n "$unused" ]; then
  echo "Declared in sdk_decls/ but used nowhere:"
  echo "$unused" | sed 's/^/  /'
  status=1
fi

if [ $status -eq 0 ]; then
  echo "mac_sdk_symbols: $(wc -l <"$tmp/platform-used") platform names used, all declared;" \
    "$(wc -l <"$tmp/declared") declared, none unused"
fi
exit $status

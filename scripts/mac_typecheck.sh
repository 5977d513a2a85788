#!/usr/bin/env bash
# Type-checks the macOS adapters without a Mac: every .cpp and .mm file of
# src/platform/macos/adapters/ and src/main/macos/ is compiled for syntax and
# types only (-fsyntax-only), warnings as errors, Objective-C++ with automatic
# reference counting and blocks (the project's warnings: -Wall -Wextra
# -Wpedantic), against the declarations of
# src/platform/macos/sdk_decls/ that stand in for the platform's frameworks.
# A file that can be built with the optional update framework
# (VISTARAIL_WITH_SPARKLE) is checked both ways.
#
#   scripts/mac_typecheck.sh [SOURCE_ROOT [FILE...]]
#
# SOURCE_ROOT defaults to this checkout's src/; FILEs (relative to it) limit
# the check to those sources. Files are checked two at a time (JOBS=N to
# change). Exits non-zero when any file fails, printing its errors.
set -uo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
src="${1:-$here/../src}"
cxx="${CLANGXX:-clang++}"

if ! command -v "$cxx" >/dev/null 2>&1; then
  echo "mac_typecheck: $cxx not found" >&2
  exit 2
fi

if [ $# -gt 1 ]; then
  files=()
  for f in "${@:2}"; do files+=("$src/$f"); done
else
  mapfile -t files < <(find "$src/platform/macos/adapters" "$src/main/macos" \
    \( -name '*.cpp' -o -name '*.mm' \) 2>/dev/null | sort)
fi
if [ ${#files[@]} -eq 0 ]; then
  echo "mac_typecheck: no adapter sources under $src" >&2
  exit 2
fi

common=(-std=c++20 -fsyntax-only -Wall -Wextra -Wpedantic -Werror -fblocks
  -I "$src" -I "$src/platform/macos/sdk_decls")
objc=(-x objective-c++ -fobjc-arc -fobjc-runtime=macosx-10.15)

check() {
  local file="$1" flags
  case "$file" in
    *.mm) flags=("${objc[@]}") ;;
    *) flags=(-x c++) ;;
  esac
  if ! out=$("$cxx" "${flags[@]}" "${common[@]}" "$file" 2>&1); then
    printf 'FAILED %s\n%s\n' "${file#"$src"/}" "$out"
    return 1
  fi
  # A file with an optional framework is checked with it too.
  if grep -q 'VISTARAIL_WITH_SPARKLE' "$file" &&
    ! out=$("$cxx" "${flags[@]}" "${common[@]}" -DVISTARAIL_WITH_SPARKLE=1 "$file" 2>&1); then
    printf 'FAILED %s (with Sparkle)\n%s\n' "${file#"$src"/}" "$out"
    return 1
  fi
}

failed=0
running=0
for file in "${files[@]}"; do
  check "$file" &
  running=$((running + 1))
  if [ $running -ge "${JOBS:-2}" ]; then
    wait -n || failed=1
    running=$((running - 1))
  fi
done
while [ $running -gt 0 ]; do
  wait -n || failed=1
  running=$((running - 1))
done

if [ $failed -ne 0 ]; then exit 1; fi
echo "mac_typecheck: ${#files[@]} files type-check"

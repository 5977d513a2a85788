#!/usr/bin/env bash
# Type-checks the macOS adapters without a Mac: every .cpp and .mm file of
# src/platform/macos/adapters/ and src/main/macos/ is compiled for syntax and
# types only (-fsyntax-only), warnings as errors, Objective-C++ with automatic
# reference counting and blocks, against the declarations of
# src/platform/macos/sdk_decls/ that stand in for the platform's frameworks.
#
#   scripts/mac_typecheck.sh [SOURCE_ROOT]   (default: this checkout's src/)
#
# Exits non-zero when any file fails; prints each failing file's errors.
set -uo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
src="${1:-$here/../src}"
cxx="${CLANGXX:-clang++}"

if ! command -v "$cxx" >/dev/null 2>&1; then
  echo "mac_typecheck: $cxx not found" >&2
  exit 2
fi

mapfile -t files < <(find "$src/platform/macos/adapters" "$src/main/macos" \
  \( -name '*.cpp' -o -name '*.mm' \) 2>/dev/null | sort)
if [ ${#files[@]} -eq 0 ]; then
  echo "mac_typecheck: no adapter sources under $src" >&2
  exit 2
fi

common=(-std=c++20 -fsyntax-only -Wall -Wextra -Werror -fblocks
  -I "$src" -I "$src/platform/macos/sdk_decls")
objc=(-x objective-c++ -fobjc-arc -fobjc-runtime=macosx-10.15)

failed=0
for file in "${files[@]}"; do
  case "$file" in
    *.mm) flags=("${objc[@]}") ;;
    *) flags=(-x c++) ;;
  esac
  if ! out=$("$cxx" "${flags[@]}" "${common[@]}" "$file" 2>&1); then
    echo "FAILED ${file#"$src"/}"
    echo "$out"
    failed=1
  fi
done

if [ $failed -ne 0 ]; then exit 1; fi
echo "mac_typecheck: ${#files[@]} files type-check"

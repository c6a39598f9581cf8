#!/usr/bin/env bash
# Checks that configuring build/ again with nothing changed but the build
# time recompiles at most one object (the file that includes the stamp) and
# prints no warning. Needs scripts/setup.sh first; leaves build/ built.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build -j2 --target zarnpath_lib >/dev/null
stamp=$(sed -n 's/^#define ZRN_BUILD_TIME \([0-9]*\)$/\1/p' build/generated/build_time.h)
log=$(mktemp)
trap 'rm -f "$log"' EXIT
SOURCE_DATE_EPOCH=$((stamp + 1)) bash scripts/setup.sh zarnpath_lib >"$log" 2>&1 || { cat "$log"; exit 1; }
mapfile -t compiled < <(grep -oE 'Building (CXX|C|RC) object .*' "$log" || true)
printf '%s\n' "${compiled[@]}"
status=0
if ((${#compiled[@]} > 1)); then
  echo "A configure with a new build time recompiled ${#compiled[@]} objects (at most 1 expected)."
  status=1
fi
if grep -q 'CMake Warning' "$log"; then
  grep -A4 'CMake Warning' "$log"
  echo "The configure of an existing build printed a warning."
  status=1
fi
((status)) || echo "Reconfigure with a new build time: ${#compiled[@]} object(s) recompiled, no warning."
exit $status

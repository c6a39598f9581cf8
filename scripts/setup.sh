#!/usr/bin/env bash
# Sets up a Debian machine for Zarnpath and builds it into build/:
# the MinGW-w64 cross compiler, Wine, tmux, CMake and GoogleTest's sources,
# and clang with clang-format for scripts/check_sources.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 tmux cmake make
          googletest python3 ripgrep clang clang-format)
missing=()
for package in "${packages[@]}"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  echo "Installing: ${missing[*]}"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

# The toolchain is chosen once, when build/ is made (CMakePresets.json); later
# builds configure again only when a CMake file changed (cmake --build does
# that) or when SOURCE_DATE_EPOCH asks for a build time of its own (a
# release). The build time sits in one generated header, so a configure
# recompiles at most the one file that includes it.
if [ ! -f build/CMakeCache.txt ]; then
  cmake --preset linux-mingw
elif [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
  cmake build
fi
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build build -j2 "${targets[@]}"
echo "Built build/ZARNPATH.EXE and build/ZRN.BAT"

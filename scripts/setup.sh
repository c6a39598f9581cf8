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

cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build build -j2 "${targets[@]}"
echo "Built build/ZARNPATH.EXE and build/ZRN.BAT"

#!/usr/bin/env bash
# Holds the sources to the project's own rules, beyond what the build checks:
# every C++ file formatted as .clang-format says, and every one compiled by a
# second compiler (clang for the same MinGW target, warnings as errors), so
# that nothing leans on one compiler's leniency. Needs scripts/setup.sh first.
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t sources < <(git ls-files '*.cpp' '*.h')
status=0

echo "Format: ${#sources[@]} files"
if ! clang-format --dry-run --Werror "${sources[@]}"; then
  echo "Misformatted: run clang-format -i on the files above."
  status=1
fi

gcc_cxx=$(ls -d /usr/lib/gcc/x86_64-w64-mingw32/*-posix/include/c++ | head -n 1)
flags=(--target=x86_64-w64-mingw32 -std=c++20 -fsyntax-only -nostdinc++
       -isystem "$gcc_cxx" -isystem "$gcc_cxx/x86_64-w64-mingw32" -isystem "$gcc_cxx/backward"
       -isystem /usr/src/googletest/googletest/include
       -Wall -Wextra -Wpedantic -Werror -Wshadow -Wconversion -Wno-sign-conversion
       -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX -D_WIN32_WINNT=0x0600
       -DZRN_BUILD_TIME=0 -Isrc -Ibuild/generated)
mapfile -t units < <(git ls-files '*.cpp')
echo "Second compiler: $(clang++ --version | head -n 1), ${#units[@]} files"
# Two at a time: the machine this runs on has two cores.
if ! printf '%s\0' "${units[@]}" | xargs -0 -n 1 -P 2 clang++ "${flags[@]}"; then
  echo "The second compiler refused the files above."
  status=1
fi
exit $status

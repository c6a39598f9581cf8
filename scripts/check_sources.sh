#!/usr/bin/env bash
# Holds the sources to the project's own rules, beyond what the build checks:
# every C++ file formatted as .clang-format says, every one compiled by a
# second compiler (clang for the same MinGW target, warnings as errors), so
# that nothing leans on one compiler's leniency, and every folder of src
# including only the folders below it. Needs scripts/setup.sh first.
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
       -Isrc -Ibuild/generated)
mapfile -t units < <(git ls-files '*.cpp')
echo "Second compiler: $(clang++ --version | head -n 1), ${#units[@]} files"
# Two at a time: the machine this runs on has two cores.
if ! printf '%s\0' "${units[@]}" | xargs -0 -n 1 -P 2 clang++ "${flags[@]}"; then
  echo "The second compiler refused the files above."
  status=1
fi

# Each folder of src includes only the folders below it, so that data flows
# down and results come back up; only src/platform speaks to Windows.
declare -A below=(
  [platform]="" [paths]="platform" [handoff]="paths platform" [config]="platform" [index]="paths platform"
  [search]="index handoff paths platform" [console]="paths platform" [info]="console platform"
  [app]="config console handoff index info paths platform search")
echo "Layers: ${!below[*]}"
while IFS= read -r line; do
  file=${line%%:*}
  folder=$(cut -d/ -f2 <<<"$file")
  included=$(sed -E 's/.*#include "([a-z_]+)\/.*/\1/' <<<"$line")
  if [[ "$included" != "$folder" && " ${below[$folder]} " != *" $included "* ]]; then
    echo "$file reaches up to $included/"
    status=1
  fi
done < <(git grep -E '^#include "[a-z_]+/' -- 'src/*.cpp' 'src/*.h')
# The console is an object the run makes and hands down: src/console keeps
# no state of its own in a static or a global (constants aside).
if git grep -nE '(^|[^_[:alnum:]])static[[:space:]]+([^c_]|c[^o])' -- 'src/console/*' |
   grep -vE 'static (constexpr|const [^(]*=)'; then
  echo "src/console keeps state in a static: hand it in instead."
  status=1
fi
# A global is a line at namespace scope that defines a variable: no
# parenthesis, not a constant, a type, an alias or a declaration.
if git grep -nE '^[A-Za-z_][A-Za-z0-9_:<>,* ]* [a-z_][A-Za-z0-9_]*( *=.*|\{.*\})?;$' -- 'src/console/*' |
   grep -vE ':(const|constexpr|inline constexpr|using|namespace|class|struct|enum|extern|return|typedef) '; then
  echo "src/console defines a global: hand it in instead."
  status=1
fi
# Below app, nothing stores a routine to call later (a set_shutdown_routine):
# a call into app goes through an interface handed down, never a function
# pointer kept in a static or a global. src/platform is exempt: the system's
# handlers take no argument, so it keeps the one routine each registers.
if git grep -nE '^([^ /].*\(\* *[a-z_][A-Za-z0-9_]*\) *\(.*\)( *=.*)?;$|^([a-z]+ )*std::function<.*> [a-z_][A-Za-z0-9_]*( *=.*|\{.*\})?;$)|^ *static .*(\(\* *[a-z_]|std::function<)' \
     -- 'src/*' ':!src/platform' ':!src/app'; then
  echo "A layer below app keeps a routine in a static or global: hand an interface down instead."
  status=1
fi
if git grep -lE '^#include <windows\.h>' -- 'src/*' ':!src/platform'; then
  echo "Only src/platform includes <windows.h>."
  status=1
fi
exit $status

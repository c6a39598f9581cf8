#include "app/identity.h"

#include <cstdint>

#include "build_time.h"

#ifndef ZRN_BUILD_TIME
#error "ZRN_BUILD_TIME must be defined by the build: seconds since 1970 when the program was built"
#endif

namespace zrn {

namespace {

constexpr std::uint32_t fnv1a(std::wstring_view text, std::uint32_t hash = 2166136261u) {
  for (const wchar_t c : text) {
    hash ^= static_cast<std::uint32_t>(c);
    hash *= 16777619u;
  }
  return hash;
}

// Fixed when the program is built; a patched binary no longer matches it.
constexpr std::uint32_t kCreditsCheck = fnv1a(kMakerPlace, fnv1a(kAuthorName));

}  // namespace

std::int64_t build_time() { return ZRN_BUILD_TIME; }

bool credits_intact(std::wstring_view author, std::wstring_view place) {
  // volatile keeps the comparison at run time, against the texts in memory.
  volatile std::uint32_t expected = kCreditsCheck;
  return fnv1a(place, fnv1a(author)) == expected;
}

}  // namespace zrn

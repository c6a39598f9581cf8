#include "app/identity.h"

#include <cstdint>

#include "app/program_state.h"
#include "build_identity.h"

namespace zrn {

namespace {

constexpr std::wstring_view kAuthor = L"The Zarnpath Developers";
constexpr std::wstring_view kPlace = L"Lakeside, Nowhereland";

constexpr std::uint32_t fnv1a(std::wstring_view text, std::uint32_t hash = 2166136261u) {
  for (const wchar_t c : text) {
    hash ^= static_cast<std::uint32_t>(c);
    hash *= 16777619u;
  }
  return hash;
}

// Fixed when the program is built; a patched binary no longer matches it.
constexpr std::uint32_t kCreditsCheck = fnv1a(kPlace, fnv1a(kAuthor));

}  // namespace

void set_identity() {
  auto& s = state();
  s.author_name = std::wstring(kAuthor);
  s.version_text = L"" ZRN_VERSION_TEXT;
  s.display_title = L"ZRN - Zarnpath";
  s.maker_place = std::wstring(kPlace);
}

bool credits_intact(std::wstring_view author, std::wstring_view place) {
  // volatile keeps the comparison at run time, against the texts in memory.
  volatile std::uint32_t expected = kCreditsCheck;
  return fnv1a(place, fnv1a(author)) == expected;
}

}  // namespace zrn

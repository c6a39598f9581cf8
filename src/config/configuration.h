#pragma once
// ZRN.INI beside the program: the numbered quick directories, the index age
// limit and the configured exclusion words.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zrn {

struct Configuration {
  std::array<std::wstring, 10> quick_directories;  // each empty or ending in '\'
  std::uint16_t index_age_limit = 0;               // weeks; 0 without a [Default] group
  std::vector<std::wstring> exclusions;            // upper case, in file order
  // [Default] Order = learned: matches in the learned order, and the user's
  // choices kept for it. Any other value, or none, keeps the found order.
  bool learned_order = false;
  // [Default] Change = pushd: the change script moves the shell with pushd,
  // so that popd brings it back. Any other value, or none, uses chdir.
  bool change_with_pushd = false;
};

// A configuration file is a few hundred bytes. These limits keep a huge or
// hostile ZRN.INI from costing memory and time on every run: only its first
// four megabytes are read (up to the last line end in them), and only the
// first thousand exclusion words count.
inline constexpr std::size_t kMostConfigurationBytes = std::size_t{4} << 20;
inline constexpr std::size_t kMostConfiguredExclusions = 1000;

// The bytes of a file read up to one byte beyond the limit: when the file was
// longer than the limit, only its whole lines within the limit.
std::string keep_whole_lines(std::string bytes);

// UTF-16 after its byte-order mark (either byte order); UTF-8 after its mark
// or when the bytes are valid UTF-8; else the ANSI code page. The text ends
// at the first zero character.
std::wstring decode_configuration(std::string_view bytes);
// Well-formed UTF-8: no stray continuation byte, no overlong form, no
// surrogate, nothing beyond U+10FFFF. Plain ASCII is valid.
bool is_valid_utf8(std::string_view bytes);
Configuration parse_configuration(std::wstring_view text);

// The directory of the program's executable, ending in a backslash.
std::wstring program_directory();
// ZRN.INI in `program_directory` (ending with a backslash): quick directory
// entries 0 to 9, the index age limit and the configured exclusion words. A
// file that is missing or unreadable is an empty one.
Configuration read_configuration(const std::wstring& program_directory);

}  // namespace zrn

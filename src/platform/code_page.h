#pragma once
// Whole-range views of the system's text mappings, taken once from the real
// conversions so that a pass over millions of lines can work on tables.
#include <array>
#include <optional>
#include <vector>

namespace zrn::platform {

// The character of every byte when the ANSI code page has one byte per
// character; nothing for multi-byte code pages (East Asian, UTF-8).
std::optional<std::array<wchar_t, 256>> ansi_byte_characters();
// The ANSI byte of every UTF-16 code unit when the code page has one byte
// per character, as to_ansi writes it (the unit's own byte, else the default
// character); nothing for multi-byte code pages. Surrogate halves have no
// entry of their own: a text holding them must be converted whole.
std::optional<std::vector<char>> ansi_bytes_of_units();
// CharUpperW of every UTF-16 code unit, 65536 entries; surrogate halves map to
// themselves.
std::vector<wchar_t> upper_case_table();

}  // namespace zrn::platform

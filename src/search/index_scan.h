#pragma once
// The index pass over the bytes of an index file. In a one-byte code page
// every byte is one character, so the search text becomes one set of
// acceptable bytes per position and whole lines are skipped without decoding;
// only accepted lines are decoded. Other code pages decode every line.
#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zrn {

class IndexScan {
 public:
  // `byte_characters`: the character of each byte in a one-byte ANSI code
  // page, or nothing to decode each line with the system's conversion.
  // `drive_root`: the drive the index lies on; only its lines are accepted
  // (empty: lines of any drive, for measurements only).
  IndexScan(std::wstring_view search_text, const std::optional<std::array<wchar_t, 256>>& byte_characters,
            std::wstring_view drive_root = {});

  // False when no line can be accepted whatever the index holds.
  bool can_match() const { return can_match_; }
  // Appends every accepted line of `block` to `matches`, unless it is no
  // plausible path (whoever wrote the index). The block holds whole lines;
  // CR, LF or CR LF end a line, the last one may have no end.
  void scan(std::string_view block, std::vector<std::wstring>& matches) const;

 private:
  void scan_bytes(std::string_view block, std::vector<std::wstring>& matches) const;
  void scan_decoded(std::string_view block, std::vector<std::wstring>& matches) const;
  bool occurs_at(std::string_view block, std::size_t start) const;
  std::size_t next_candidate(std::string_view block, std::size_t from) const;
  std::wstring decode(std::string_view line) const;
  bool keeps(std::wstring_view line) const;

  std::wstring search_;
  // What the bytes are searched for: the search text, or the last part of a
  // path query, whose whole line is then decided on its components.
  std::wstring byte_search_;
  bool path_query_ = false;
  std::wstring drive_root_;
  std::optional<std::array<wchar_t, 256>> characters_;
  std::vector<std::bitset<256>> accepted_;  // per search position
  std::bitset<256> backslash_;
  std::size_t anchor_ = 0;                   // the rarest search position
  std::vector<unsigned char> anchor_bytes_;  // the bytes accepted there
  bool can_match_ = false;
};

// The piece in which an index file is read; a line longer than this is
// skipped whole.
inline constexpr std::size_t kIndexReadBytes = std::size_t{1} << 20;

// The most matches a search keeps: a planted index cannot fill the memory,
// and nobody pages through more.
inline constexpr std::size_t kMostMatches = 100000;

// Reads the index file at `path` in pieces and appends its accepted lines,
// until `matches` holds `most`. Returns how many accepted lines there were
// beyond those, or nothing when the file could not be opened: the pass then
// adds nothing.
std::optional<std::uint64_t> scan_index_file(const std::wstring& path, const IndexScan& scan,
                                             std::vector<std::wstring>& matches, std::size_t most = kMostMatches);

}  // namespace zrn

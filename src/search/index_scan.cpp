#include "search/index_scan.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <map>

#include "handoff/safe_path.h"
#include "index/letter_shares.h"
#include "platform/files.h"
#include "platform/text.h"
#include "search/contains_text.h"

namespace zrn {

namespace {

static_assert(std::endian::native == std::endian::little, "the byte scan reads words low byte first");

constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;

bool is_line_end(char c) { return c == '\r' || c == '\n'; }

// Rough share of each byte in directory paths, to pick the search position
// whose bytes turn up least: lower-case letters by their use in English,
// capitals less, separators and blanks often, other bytes seldom.
double byte_weight(unsigned char b) {
  if (b >= 'a' && b <= 'z') return letter_share(b - 'a');
  if (b >= 'A' && b <= 'Z') return letter_share(b - 'A') / 4 + 0.05;
  if (b == '\\') return 15.0;
  if (b == ' ' || b == '_' || b == '-' || b == '.') return 2.0;
  if (b >= '0' && b <= '9') return 1.0;
  return 0.05;
}

// A flag in the top bit of each byte of `word` that equals `value`.
std::uint64_t equal_bytes(std::uint64_t word, unsigned char value) {
  const std::uint64_t x = word ^ (kOnes * value);
  return ~(((x & kLow7) + kLow7) | x | kLow7);
}

}  // namespace

IndexScan::IndexScan(std::wstring_view search_text, const std::optional<std::array<wchar_t, 256>>& byte_characters,
                     std::wstring_view drive_root)
    : search_(search_text),
      byte_search_(last_search_part(search_text)),
      path_query_(is_path_query(search_text)),
      drive_root_(drive_root),
      characters_(byte_characters) {
  if (byte_search_.empty()) return;
  can_match_ = true;
  if (!characters_) return;
  const auto& chars = *characters_;
  for (int b = 0; b < 256; ++b) backslash_[static_cast<std::size_t>(b)] = chars[static_cast<std::size_t>(b)] == L'\\';
  // Each distinct search character costs 256 case comparisons once, however
  // long the search text is.
  std::map<wchar_t, std::bitset<256>> later_sets;
  accepted_.resize(byte_search_.size());
  for (std::size_t j = 0; j < byte_search_.size(); ++j) {
    std::bitset<256>& set = accepted_[j];
    if (j > 0) {
      if (const auto known = later_sets.find(byte_search_[j]); known != later_sets.end()) {
        set = known->second;
        continue;
      }
    }
    for (std::size_t b = 0; b < 256; ++b) {
      // A line end never lies inside a line.
      if (b == '\r' || b == '\n') continue;
      set[b] = j == 0 ? first_character_matches(chars[b], byte_search_[j])
                      : later_character_matches(chars[b], byte_search_[j]);
    }
    if (j > 0) later_sets.emplace(byte_search_[j], set);
  }
  double best = -1;
  for (std::size_t j = 0; j < accepted_.size(); ++j) {
    if (accepted_[j].none()) {
      can_match_ = false;
      return;
    }
    double weight = 0;
    for (std::size_t b = 0; b < 256; ++b) {
      if (accepted_[j][b]) weight += byte_weight(static_cast<unsigned char>(b));
    }
    if (best < 0 || weight < best) {
      best = weight;
      anchor_ = j;
    }
  }
  for (std::size_t b = 0; b < 256; ++b) {
    if (accepted_[anchor_][b]) anchor_bytes_.push_back(static_cast<unsigned char>(b));
  }
}

void IndexScan::scan(std::string_view block, std::vector<std::wstring>& matches) const {
  if (!can_match_) return;
  if (characters_) {
    scan_bytes(block, matches);
  } else {
    scan_decoded(block, matches);
  }
}

bool IndexScan::keeps(std::wstring_view line) const {
  return index_line_accepted(line, search_) && plausible_index_line(line) &&
         (drive_root_.empty() || index_line_on_drive(line, drive_root_));
}

std::wstring IndexScan::decode(std::string_view line) const {
  std::wstring text(line.size(), L'\0');
  for (std::size_t i = 0; i < line.size(); ++i) text[i] = (*characters_)[static_cast<unsigned char>(line[i])];
  return text;
}

bool IndexScan::occurs_at(std::string_view block, std::size_t start) const {
  if (start + accepted_.size() > block.size()) return false;
  for (std::size_t j = 0; j < accepted_.size(); ++j) {
    if (!accepted_[j][static_cast<unsigned char>(block[start + j])]) return false;
  }
  return true;
}

// The first position at or after `from` that holds a byte accepted at the
// anchor position, or the block's size. For one or two accepted bytes (a
// letter and its other case) whole 32-byte stretches are ruled out with a
// branch-free test that the compiler turns into vector instructions.
std::size_t IndexScan::next_candidate(std::string_view block, std::size_t from) const {
  const auto* data = reinterpret_cast<const unsigned char*>(block.data());
  const std::size_t size = block.size();
  std::size_t i = from;
  if (anchor_bytes_.size() <= 2) {
    const unsigned char a = anchor_bytes_.front();
    const unsigned char b = anchor_bytes_.back();
    constexpr std::size_t kStretch = 32;
    for (; i + kStretch <= size; i += kStretch) {
      unsigned char any = 0;
      for (std::size_t k = 0; k < kStretch; ++k)
        any |= static_cast<unsigned char>((data[i + k] == a) | (data[i + k] == b));
      if (any) break;
    }
  } else if (anchor_bytes_.size() <= 4) {
    for (; i + 8 <= size; i += 8) {
      std::uint64_t word;
      std::memcpy(&word, data + i, 8);
      std::uint64_t hits = 0;
      for (const unsigned char b : anchor_bytes_) hits |= equal_bytes(word, b);
      if (hits) return i + static_cast<std::size_t>(std::countr_zero(hits)) / 8;
    }
  }
  const auto& set = accepted_[anchor_];
  for (; i < size; ++i) {
    if (set[data[i]]) return i;
  }
  return size;
}

void IndexScan::scan_bytes(std::string_view block, std::vector<std::wstring>& matches) const {
  std::size_t line_floor = 0;  // nothing before this can start an occurrence
  std::size_t position = anchor_;
  while (position < block.size()) {
    const std::size_t hit = next_candidate(block, position);
    if (hit >= block.size()) return;
    position = hit + 1;
    const std::size_t start = hit - anchor_;
    if (hit < anchor_ + line_floor || !occurs_at(block, start)) continue;
    // The leftmost occurrence of its line: earlier ones would have been met
    // first. Find the line around it and decide on the bytes.
    std::size_t line_start = start;
    while (line_start > line_floor && !is_line_end(block[line_start - 1])) --line_start;
    std::size_t line_end = start + accepted_.size();
    bool backslash_after = false;
    for (std::size_t k = start + 1; k < line_end; ++k)
      backslash_after |= backslash_[static_cast<unsigned char>(block[k])];
    while (line_end < block.size() && !is_line_end(block[line_end])) {
      backslash_after |= backslash_[static_cast<unsigned char>(block[line_end])];
      ++line_end;
    }
    // A path query's line is decided on its components, wherever in it the
    // last part occurs. One byte is one unit here: a line too long for a
    // path is not decoded.
    if ((path_query_ || !backslash_after) && line_end - line_start <= kLongestDirectory) {
      std::wstring line = decode(block.substr(line_start, line_end - line_start));
      if (keeps(line)) matches.push_back(std::move(line));
    }
    line_floor = line_end;
    position = line_end + anchor_;
  }
}

void IndexScan::scan_decoded(std::string_view block, std::vector<std::wstring>& matches) const {
  std::size_t start = 0;
  while (start < block.size()) {
    std::size_t end = start;
    while (end < block.size() && !is_line_end(block[end])) ++end;
    if (end > start) {
      std::wstring line = platform::from_ansi(block.substr(start, end - start));
      if (keeps(line)) matches.push_back(std::move(line));
    }
    start = end + 1;
  }
}

std::optional<std::uint64_t> scan_index_file(const std::wstring& path, const IndexScan& scan,
                                             std::vector<std::wstring>& matches, std::size_t most) {
  platform::File reader = platform::File::open_for_reading(path);
  if (!reader.is_open()) return std::nullopt;
  std::uint64_t beyond = 0;
  if (!scan.can_match()) return beyond;
  // What one piece adds past `most` is counted and dropped at once, so the
  // list never holds more than a piece's worth beyond it.
  const auto scan_piece = [&](std::string_view piece) {
    scan.scan(piece, matches);
    if (matches.size() > most) {
      beyond += matches.size() - most;
      matches.resize(most);
    }
  };
  // One megabyte at a time keeps the pass's memory flat. A line that does not
  // fit is no path: it is skipped up to its line end, and the lines after it
  // still count.
  std::string buffer(kIndexReadBytes, '\0');
  std::size_t filled = 0;
  bool skipping = false;
  for (;;) {
    const auto got = reader.read(buffer.data() + filled, buffer.size() - filled);
    if (!got || *got == 0) {
      if (!skipping) scan_piece(std::string_view(buffer.data(), filled));
      return beyond;
    }
    filled += *got;
    if (skipping) {
      std::size_t end = 0;
      while (end < filled && !is_line_end(buffer[end])) ++end;
      if (end == filled) {
        filled = 0;
        continue;
      }
      skipping = false;
      std::memmove(buffer.data(), buffer.data() + end, filled - end);
      filled -= end;
    }
    std::size_t cut = filled;
    while (cut > 0 && !is_line_end(buffer[cut - 1])) --cut;
    if (cut == 0) {
      if (filled == buffer.size()) {
        skipping = true;
        filled = 0;
      }
      continue;
    }
    scan_piece(std::string_view(buffer.data(), cut));
    std::memmove(buffer.data(), buffer.data() + cut, filled - cut);
    filled -= cut;
  }
}

}  // namespace zrn

#pragma once
// The lines of a listing that cmd /U wrote: UTF-16 little-endian without a
// byte-order mark, fed in pieces of any size. CR, LF or CR LF end a line.
// However long a line is, only a bounded part of it is ever held.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace zrn {

// The longest line handed on, in UTF-16 units: the longest path that Windows
// knows. A longer line is no path; it is skipped whole.
inline constexpr std::size_t kLongestListingLine = 32767;

class ListingLines {
 public:
  using LineHandler = std::function<void(std::wstring_view)>;
  explicit ListingLines(LineHandler on_line, std::size_t longest_line = kLongestListingLine)
      : on_line_(std::move(on_line)), longest_line_(longest_line) {}

  // Hands every line completed by these bytes to the handler.
  void feed(std::string_view bytes);
  // Ends the listing: a last line without a line end still counts; a lone
  // byte left over from an odd byte count becomes "?".
  void finish();

 private:
  void split(std::wstring_view units);
  void end_line(std::wstring_view tail);
  void keep_start(std::wstring_view start);

  LineHandler on_line_;
  std::size_t longest_line_;
  std::wstring units_;    // reused for each piece
  std::wstring pending_;  // the start of a line not yet ended
  bool has_odd_byte_ = false;
  unsigned char odd_byte_ = 0;
  bool after_cr_ = false;  // an LF right after it ends no further line
  bool too_long_ = false;  // the line not yet ended is being skipped
};

}  // namespace zrn

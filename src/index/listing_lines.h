#pragma once
// The lines of a listing that cmd /U wrote: UTF-16 little-endian without a
// byte-order mark, fed in pieces of any size. CR, LF or CR LF end a line.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace zrn {

class ListingLines {
 public:
  using LineHandler = std::function<void(std::wstring_view)>;
  explicit ListingLines(LineHandler on_line) : on_line_(std::move(on_line)) {}

  // Hands every line completed by these bytes to the handler.
  void feed(std::string_view bytes);
  // Ends the listing: a last line without a line end still counts; a lone
  // byte left over from an odd byte count becomes "?".
  void finish();

 private:
  void split(std::wstring_view units);

  LineHandler on_line_;
  std::wstring units_;      // reused for each piece
  std::wstring pending_;    // the start of a line not yet ended
  bool has_odd_byte_ = false;
  unsigned char odd_byte_ = 0;
  bool after_cr_ = false;   // an LF right after it ends no further line
};

}  // namespace zrn

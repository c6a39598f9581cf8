#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"

namespace zrn {

// Copies every line of a raw listing (as cmd /U writes it) that holds none of
// the upper-case `words` into the filtered listing, in the ANSI code page,
// each line ended by CR LF, in the listing's order. The listing may be read
// while it still grows: each `read_more` takes what has arrived since the
// last, so a build reads its listing once, as cmd writes it.
class ListingFilter {
 public:
  ListingFilter(const std::wstring& filtered_path, const std::vector<std::wstring>& words);
  ~ListingFilter();
  ListingFilter(const ListingFilter&) = delete;
  ListingFilter& operator=(const ListingFilter&) = delete;

  // False when the filtered listing could not be created.
  bool is_open() const;
  // Reads the listing up to its present end. False once a read or a write
  // has failed: the filtered listing can then never be whole.
  bool read_more(platform::File& listing);
  // The listing is complete: its last line counts even without a line end.
  // Closes the filtered listing; true when every line was read and written.
  bool finish();
  // Lines of the listing read so far, kept or not: the folders listed.
  std::uint64_t lines_read() const;
  // Of those, the lines too long to be offered as a directory.
  std::uint64_t overlong_lines() const;
  // Bytes of the listing read so far.
  std::uint64_t bytes_read() const;

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace zrn

#include "index/listing_lines.h"

namespace zrn {

void ListingLines::feed(std::string_view bytes) {
  if (bytes.empty()) return;
  units_.clear();
  std::size_t i = 0;
  if (has_odd_byte_) {
    units_.push_back(static_cast<wchar_t>(odd_byte_ | (static_cast<unsigned char>(bytes[0]) << 8)));
    has_odd_byte_ = false;
    i = 1;
  }
  const std::size_t pairs = (bytes.size() - i) / 2;
  const std::size_t base = units_.size();
  units_.resize(base + pairs);
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data()) + i;
  for (std::size_t k = 0; k < pairs; ++k) {
    units_[base + k] = static_cast<wchar_t>(data[2 * k] | (data[2 * k + 1] << 8));
  }
  if (i + 2 * pairs < bytes.size()) {
    has_odd_byte_ = true;
    odd_byte_ = static_cast<unsigned char>(bytes.back());
  }
  split(units_);
}

void ListingLines::split(std::wstring_view units) {
  std::size_t start = 0;
  if (after_cr_ && !units.empty()) {
    if (units.front() == L'\n') start = 1;
    after_cr_ = false;
  }
  for (std::size_t i = start; i < units.size(); ++i) {
    const wchar_t unit = units[i];
    // One comparison passes over every character of a name.
    if (unit > L'\r' || (unit != L'\r' && unit != L'\n')) continue;
    end_line(units.substr(start, i - start));
    if (unit == L'\r') {
      if (i + 1 < units.size()) {
        if (units[i + 1] == L'\n') ++i;
      } else {
        after_cr_ = true;
      }
    }
    start = i + 1;
  }
  keep_start(units.substr(start));
}

void ListingLines::end_line(std::wstring_view tail) {
  if (!too_long_ && pending_.size() + tail.size() <= longest_line_) {
    if (pending_.empty()) {
      on_line_(tail);
    } else {
      pending_.append(tail);
      on_line_(pending_);
    }
  }
  pending_.clear();
  too_long_ = false;
}

void ListingLines::keep_start(std::wstring_view start) {
  if (too_long_) return;
  if (pending_.size() + start.size() > longest_line_) {
    too_long_ = true;
    pending_.clear();
    return;
  }
  pending_.append(start);
}

void ListingLines::finish() {
  if (has_odd_byte_) {
    has_odd_byte_ = false;
    const wchar_t question = L'?';
    split(std::wstring_view(&question, 1));
  }
  if (!pending_.empty() || too_long_) end_line({});
  after_cr_ = false;
}

}  // namespace zrn

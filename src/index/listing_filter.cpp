#include "index/listing_filter.h"

#include <cstdint>

#include "index/exclusions.h"
#include "index/listing_lines.h"
#include "paths/paths.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/text.h"

namespace zrn {

namespace {

// Kept lines are gathered and written a megabyte at a time. In a one-byte
// code page each unit goes through a table taken once from the system's own
// conversion; lines with surrogates, and multi-byte code pages, go through the
// conversion itself.
constexpr std::size_t kBatchBytes = std::size_t{1} << 20;
constexpr std::size_t kReadBytes = std::size_t{1} << 20;

bool is_surrogate(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

class FilteredWriter {
 public:
  explicit FilteredWriter(const std::wstring& path)
      : file_(platform::File::create_for_writing(path)), bytes_of_units_(platform::ansi_bytes_of_units()) {
    batch_.reserve(kBatchBytes + 65536);
  }
  bool is_open() const { return file_.is_open(); }
  bool ok() const { return ok_; }

  void add(std::wstring_view line) {
    if (!bytes_of_units_ || !append_by_table(line)) batch_ += platform::to_ansi(line);
    batch_ += "\r\n";
    if (batch_.size() >= kBatchBytes) write_batch();
  }
  bool finish() {
    write_batch();
    file_.close();
    return ok_;
  }

 private:
  bool append_by_table(std::wstring_view line) {
    if (line.size() > sizeof encoded_) return false;
    const char* table = bytes_of_units_->data();
    std::size_t length = 0;
    for (const wchar_t unit : line) {
      if (is_surrogate(unit)) return false;
      encoded_[length++] = table[static_cast<std::uint16_t>(unit)];
    }
    batch_.append(encoded_, length);
    return true;
  }

  void write_batch() {
    if (batch_.empty()) return;
    if (ok_) ok_ = file_.write(batch_);
    batch_.clear();
  }

  platform::File file_;
  std::optional<std::vector<char>> bytes_of_units_;
  std::string batch_;
  char encoded_[4096];  // one line; longer ones take the system's conversion
  bool ok_ = true;
};

}  // namespace

struct ListingFilter::Parts {
  Parts(const std::wstring& filtered_path, const std::vector<std::wstring>& words)
      : writer(filtered_path), test(words, platform::upper_case_table()), lines([this](std::wstring_view line) {
          ++lines_read;
          if (line.size() > kLongestDirectory) ++overlong_lines;
          if (!test.excluded(line)) writer.add(line);
        }) {}
  FilteredWriter writer;
  const ExclusionTest test;
  ListingLines lines;
  std::string buffer = std::string(kReadBytes, '\0');
  std::uint64_t lines_read = 0;
  std::uint64_t overlong_lines = 0;
  std::uint64_t bytes_read = 0;
  bool read_ok = true;
};

ListingFilter::ListingFilter(const std::wstring& filtered_path, const std::vector<std::wstring>& words)
    : parts_(std::make_unique<Parts>(filtered_path, words)) {}

ListingFilter::~ListingFilter() = default;

bool ListingFilter::is_open() const { return parts_->writer.is_open(); }

bool ListingFilter::read_more(platform::File& listing) {
  auto& p = *parts_;
  while (p.read_ok && p.writer.ok()) {
    const auto got = listing.read(p.buffer.data(), p.buffer.size());
    if (!got) {
      p.read_ok = false;
      break;
    }
    if (*got == 0) break;
    p.bytes_read += *got;
    p.lines.feed(std::string_view(p.buffer.data(), *got));
  }
  return p.read_ok && p.writer.ok();
}

bool ListingFilter::finish() {
  auto& p = *parts_;
  if (p.read_ok) p.lines.finish();
  return p.writer.finish() && p.read_ok;
}

std::uint64_t ListingFilter::lines_read() const { return parts_->lines_read; }

std::uint64_t ListingFilter::overlong_lines() const { return parts_->overlong_lines; }

std::uint64_t ListingFilter::bytes_read() const { return parts_->bytes_read; }

}  // namespace zrn

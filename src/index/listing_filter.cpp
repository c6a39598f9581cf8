#include "index/listing_filter.h"

#include "index/exclusions.h"
#include "index/listing_lines.h"
#include "platform/chunk_reader.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/text.h"

namespace zrn {

namespace {

// Kept lines are gathered and converted to the code page a megabyte at a
// time: one conversion call per batch instead of one per line. Batches end at
// line ends, so no character is ever split.
constexpr std::size_t kBatchUnits = std::size_t{1} << 20;
constexpr std::size_t kReadBytes = std::size_t{1} << 20;

class FilteredWriter {
 public:
  explicit FilteredWriter(const std::wstring& path) : file_(platform::File::create_for_writing(path)) {
    batch_.reserve(kBatchUnits + 4096);
  }
  bool is_open() const { return file_.is_open(); }
  bool ok() const { return ok_; }

  void add(std::wstring_view line) {
    batch_.append(line);
    batch_.append(L"\r\n");
    if (batch_.size() >= kBatchUnits) write_batch();
  }
  bool finish() {
    write_batch();
    file_.close();
    return ok_;
  }

 private:
  void write_batch() {
    if (batch_.empty()) return;
    if (ok_) ok_ = file_.write(platform::to_ansi(batch_));
    batch_.clear();
  }

  platform::File file_;
  std::wstring batch_;
  bool ok_ = true;
};

}  // namespace

bool filter_listing(const std::wstring& raw_path, const std::wstring& filtered_path,
                    const std::vector<std::wstring>& words) {
  platform::ChunkReader reader(raw_path);
  if (!reader.is_open()) return false;
  FilteredWriter writer(filtered_path);
  if (!writer.is_open()) return false;
  const ExclusionTest test(words, platform::upper_case_table());
  ListingLines lines([&](std::wstring_view line) {
    if (!test.excluded(line)) writer.add(line);
  });
  std::string buffer(kReadBytes, '\0');
  bool read_ok = true;
  for (;;) {
    const auto got = reader.read(buffer.data(), buffer.size());
    if (!got) {
      read_ok = false;
      break;
    }
    if (*got == 0) break;
    lines.feed(std::string_view(buffer.data(), *got));
    if (!writer.ok()) break;
  }
  if (read_ok) lines.finish();
  reader.close();
  if (writer.finish() && read_ok) return true;
  platform::delete_file(filtered_path);
  return false;
}

}  // namespace zrn

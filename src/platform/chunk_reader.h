#pragma once
// Reads a file front to back in pieces, telling the end apart from a failure,
// so that a pass over a big listing or index never holds the whole file.
#include <cstddef>
#include <optional>
#include <string>

namespace zrn::platform {

class ChunkReader {
 public:
  ChunkReader() = default;
  explicit ChunkReader(const std::wstring& path);
  ~ChunkReader();
  ChunkReader(ChunkReader&& other) noexcept;
  ChunkReader& operator=(ChunkReader&& other) noexcept;
  ChunkReader(const ChunkReader&) = delete;
  ChunkReader& operator=(const ChunkReader&) = delete;

  // False when the file could not be opened (missing, a directory, locked).
  bool is_open() const { return handle_ != nullptr; }
  // The count of bytes read into `buffer`, 0 at the end of the file, nothing
  // when reading failed.
  std::optional<std::size_t> read(char* buffer, std::size_t size);
  void close();

 private:
  void* handle_ = nullptr;
};

}  // namespace zrn::platform

#include "platform/chunk_reader.h"

#include <windows.h>

#include <utility>

namespace zrn::platform {

ChunkReader::ChunkReader(const std::wstring& path) {
  // Sharing delete as well lets a build rename a new index over this one
  // while a search is still reading the old one.
  HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle != INVALID_HANDLE_VALUE) handle_ = handle;
}

ChunkReader::~ChunkReader() { close(); }

ChunkReader::ChunkReader(ChunkReader&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}

ChunkReader& ChunkReader::operator=(ChunkReader&& other) noexcept {
  if (this != &other) {
    close();
    handle_ = std::exchange(other.handle_, nullptr);
  }
  return *this;
}

std::optional<std::size_t> ChunkReader::read(char* buffer, std::size_t size) {
  if (!handle_) return std::nullopt;
  const DWORD want = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
  DWORD got = 0;
  if (!ReadFile(handle_, buffer, want, &got, nullptr)) return std::nullopt;
  return got;
}

void ChunkReader::close() {
  if (handle_) CloseHandle(std::exchange(handle_, nullptr));
}

}  // namespace zrn::platform

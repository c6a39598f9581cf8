#pragma once
// An owned Windows handle, closed on every path; for the platform's own use.
#include <windows.h>

namespace zrn::platform {

class Handle {
 public:
  Handle() = default;
  // INVALID_HANDLE_VALUE, as CreateFileW fails, is held as no handle.
  explicit Handle(HANDLE handle) { *this = handle; }
  ~Handle() { reset(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void reset() {
    if (handle_) CloseHandle(handle_);
    handle_ = nullptr;
  }
  Handle& operator=(HANDLE handle) {
    reset();
    handle_ = handle == INVALID_HANDLE_VALUE ? nullptr : handle;
    return *this;
  }

 private:
  HANDLE handle_ = nullptr;
};

}  // namespace zrn::platform

#pragma once
// The Windows console seen through the few calls the console service needs,
// so that the service's rules can be exercised against a fake in tests.
#include <cstdint>
#include <string>
#include <string_view>

namespace zrn::platform {

struct ScreenInfo {
  int buffer_width = 0;
  int buffer_height = 0;
  int window_left = 0;
  int window_top = 0;
  int window_right = -1;
  int window_bottom = -1;
  std::uint16_t attributes = 0;
};

enum class InputKind { key, other };

struct InputEvent {
  InputKind kind = InputKind::other;
  bool key_down = false;
  wchar_t character = 0;
  std::uint16_t virtual_key = 0;
};

class ConsoleDevice {
 public:
  virtual ~ConsoleDevice() = default;
  // Takes the standard handles anew.
  virtual void acquire() = 0;
  virtual bool screen_info(ScreenInfo& info) = 0;
  virtual void set_title(const std::wstring& title) = 0;
  virtual void set_output_mode(std::uint32_t mode) = 0;
  virtual void set_attributes(std::uint16_t attributes) = 0;
  virtual bool set_cursor(int column, int row) = 0;
  // Fills `count` cells from column 0, row 0 with the attribute and blanks.
  virtual void fill(std::uint16_t attributes, std::uint32_t count) = 0;
  // False when the output is no console (redirected to a file or pipe).
  virtual bool write_console(std::wstring_view text) = 0;
  virtual void write_bytes(std::string_view bytes) = 0;
  virtual void flush() = 0;
  // Pending input events; -1 when the count cannot be read.
  virtual int pending_input() = 0;
  virtual bool read_input(InputEvent& event) = 0;
  // Waits until input arrives or the time is up.
  virtual void wait_for_input(unsigned milliseconds) = 0;
  // Runs `on_close` when the user closes the console window.
  virtual void install_close_handler(void (*on_close)()) = 0;
};

ConsoleDevice& windows_console();

}  // namespace zrn::platform

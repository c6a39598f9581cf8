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

// What the user's console was like before the program changed it.
struct UserConsole {
  bool has_title = false;
  std::wstring title;
  bool has_output_mode = false;
  std::uint32_t output_mode = 0;
  bool has_attributes = false;
  std::uint16_t attributes = 0;
};

enum class ControlEvent { interrupt, close };

class ConsoleDevice {
 public:
  virtual ~ConsoleDevice() = default;
  // Takes the standard handles anew.
  virtual void acquire() = 0;
  // False when the handle is a file, a pipe or the null device.
  virtual bool input_is_console() = 0;
  virtual bool output_is_console() = 0;
  // Reads the user's title, output mode and colours.
  virtual UserConsole read_user_console() = 0;
  // Shows the user's screen again and gives back title, output mode and
  // colours. Safe on the control thread: takes no lock and closes nothing.
  virtual void give_back(const UserConsole& user) = 0;

  // A screen of the program's own, the size of the window, shown instead of
  // the user's; all drawing goes to it until it is closed. False when the
  // console cannot make one: drawing then goes to the user's screen.
  virtual bool open_screen() = 0;
  // The user's screen shown again, as it was; drawing goes to it again.
  virtual void close_screen() = 0;
  // Makes the program's screen as large as the window, so it has no
  // scroll bars after the window changed size.
  virtual void fit_screen_to_window() = 0;
  virtual void set_cursor_visible(bool visible) = 0;

  // The screen being drawn on: the program's own while it is open.
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
  // Waits until input arrives or the time is up; true when input waits.
  virtual bool wait_for_input(unsigned milliseconds) = 0;
  // Drops every input event still waiting.
  virtual void discard_input() = 0;

  // Runs `on_event` on the system's control thread for Ctrl+C, Ctrl+Break,
  // closing the window, logoff and shutdown; unless it returns true, the
  // event is then left to the system, which ends the process.
  virtual void install_control_handler(bool (*on_event)(ControlEvent event)) = 0;

  // One line on the console itself, whatever the standard output is: written
  // over the cursor's row without moving the cursor, and the row's earlier
  // content put back by `hide_status`.
  virtual void show_status(std::wstring_view text) = 0;
  virtual void hide_status() = 0;
};

ConsoleDevice& windows_console();

}  // namespace zrn::platform

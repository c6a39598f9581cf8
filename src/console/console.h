#pragma once
// The one way the program prints, colours, places the cursor, clears, reads
// keys and measures the console window.
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "platform/console_device.h"

namespace zrn {

// The sixteen console colours; the bits are the console attribute bits.
enum ConsoleColour : int {
  black = 0,
  blue = 1,
  green = 2,
  cyan = 3,
  red = 4,
  magenta = 5,
  brown = 6,
  light_grey = 7,
  dark_grey = 8,
  bright_blue = 9,
  bright_green = 10,
  bright_cyan = 11,
  bright_red = 12,
  bright_magenta = 13,
  yellow = 14,
  white = 15,
};

// The colour pairs of the program's screen.
enum class Style {
  plain,   // light grey on black: the frame and the list
  bright,  // yellow on black: title, counts, notes, preview, progress
  keys,    // black on cyan: the legend's keys and the boxes over the list
  chosen,  // black on light grey: the highlighted match
};

// Key characters and virtual-key codes the program tests.
namespace key {
inline constexpr wchar_t return_char = 13;
inline constexpr wchar_t escape_char = 27;
// Control characters that Ctrl with a letter types.
inline constexpr wchar_t control_n = 14;
inline constexpr wchar_t control_p = 16;
inline constexpr wchar_t control_u = 21;
inline constexpr wchar_t control_w = 23;
inline constexpr int page_up = 0x21;
inline constexpr int page_down = 0x22;
inline constexpr int end = 0x23;
inline constexpr int home = 0x24;
inline constexpr int up = 0x26;
inline constexpr int down = 0x28;
inline constexpr int f2 = 0x71;
inline constexpr int f3 = 0x72;
}  // namespace key

// A short wait on the keyboard: long enough for the rest of a burst of keys
// to arrive, too short for the user to see.
inline constexpr unsigned kShortKeyWait = 20;

// One key as read: the character it types (empty for keys that type none)
// and its virtual-key code; both empty when no key was waiting.
struct KeyPress {
  std::wstring text;
  int code = 0;
  bool empty() const { return text.empty() && code == 0; }
};

// The visible window, in character cells.
struct Size {
  int width = 0;
  int height = 0;
};

// The one console of a run: made once by the run on the device it is handed
// (the Windows console, or a fake in tests) and handed by reference to all
// that draws or reads keys. It holds what the run changed, so that every way
// out can give the user's console back.
class Console {
 public:
  explicit Console(platform::ConsoleDevice& device);
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  // The first open also notes the user's title, output mode and colours,
  // which every way out gives back.
  void open(const std::wstring& title = L"");
  // Gives back everything the program changed: the user's screen, output
  // mode, colours and title.
  void close();
  // The part of `close` that is safe on the control thread.
  void give_back();

  // On: a screen of the program's own, without line processing or wrap, and
  // without a cursor. Off: the user's screen again, as it was.
  void set_full_screen(bool on);
  // Both the keyboard and the screen are a console: a key can be read.
  bool interactive();

  // A title for now, until `restore_title` shows the program's title again.
  void set_title(std::wstring_view text);
  void restore_title();
  // On the program's own screen only; the user's cursor is never touched.
  void show_cursor(bool visible);

  void clear();
  void set_colour(int text, int background);
  // The colours everything after it is drawn in, until the next change.
  void set_style(Style style);
  // The colours in force, as console attribute bits, and a return to them.
  std::uint16_t attributes() const { return attributes_; }
  void set_attributes(std::uint16_t attributes);
  void locate(int column, int row);
  void print(std::wstring_view text);
  void print_line(std::wstring_view text = L"");

  // The next key waiting, or an empty one.
  KeyPress read_key();
  // True once the keyboard could not be read: no key will ever come.
  bool input_lost() const { return input_lost_; }
  // Drops keys still waiting, so that none meant for the screen reaches the
  // shell.
  void discard_keys();
  // Waits until a key (or other input) arrives or the time is up; true when
  // input waits.
  bool wait_for_key(unsigned milliseconds);

  // A line of progress on the console itself, never on the standard output,
  // over the row the cursor is on; `hide_status` gives the row back.
  void show_status(std::wstring_view text);
  void hide_status();

  // The window of the screen being drawn on; nothing when the output is no
  // console.
  std::optional<Size> window_size();
  // The program's own screen made the window's size again after a change.
  void fit_to_window();

 private:
  void write_line_mode(std::wstring_view text);
  void write_clipped(std::wstring_view text);
  void measure_screen();

  platform::ConsoleDevice& device_;
  int buffer_width_ = 0;
  int buffer_height_ = 0;
  std::uint16_t attributes_ = 0;
  bool full_screen_ = false;
  bool own_screen_ = false;
  bool opened_ = false;
  bool input_lost_ = false;
  std::wstring program_title_;
  std::thread::id drawing_thread_;
  // Written once by the first open, before the run watches control events;
  // only read afterwards, also on the control thread.
  platform::UserConsole user_;
  std::mutex output_lock_;
};

// Draws in a style while it lives; then the colours before it come back.
class Styled {
 public:
  Styled(Console& console, Style style);
  ~Styled();
  Styled(const Styled&) = delete;
  Styled& operator=(const Styled&) = delete;

 private:
  Console& console_;
  std::uint16_t previous_;
};

}  // namespace zrn

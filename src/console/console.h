#pragma once
// The one way the program prints, colours, places the cursor, clears, reads
// keys and measures the console window.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zrn {

namespace platform {
class ConsoleDevice;
}

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
inline constexpr int page_up = 0x21;
inline constexpr int page_down = 0x22;
inline constexpr int end = 0x23;
inline constexpr int home = 0x24;
inline constexpr int up = 0x26;
inline constexpr int down = 0x28;
inline constexpr int f2 = 0x71;
inline constexpr int f3 = 0x72;
}  // namespace key

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

class Console {
 public:
  // Tests hand in a fake; the program uses the Windows console.
  static void use_device(platform::ConsoleDevice* device);

  // The first open also notes the user's title, output mode and colours,
  // which every way out gives back.
  static void open(const std::wstring& title = L"");
  // Gives back everything the program changed: the user's screen, output
  // mode, colours and title.
  static void close();
  // The part of `close` that is safe on the control thread.
  static void give_back();

  // On: a screen of the program's own, without line processing or wrap, and
  // without a cursor. Off: the user's screen again, as it was.
  static void set_full_screen(bool on);
  // Both the keyboard and the screen are a console: a key can be read.
  static bool interactive();

  // A title for now, until `restore_title` shows the program's title again.
  static void set_title(std::wstring_view text);
  static void restore_title();
  // On the program's own screen only; the user's cursor is never touched.
  static void show_cursor(bool visible);

  static void clear();
  static void set_colour(int text, int background);
  // The colours everything after it is drawn in, until the next change.
  static void set_style(Style style);
  static void locate(int column, int row);
  static void print(std::wstring_view text);
  static void print_line(std::wstring_view text = L"");

  // The next key waiting, or an empty one.
  static KeyPress read_key();
  // True once the keyboard could not be read: no key will ever come.
  static bool input_lost();
  // Drops keys still waiting, so that none meant for the screen reaches the
  // shell.
  static void discard_keys();
  // Waits until a key (or other input) arrives or the time is up; true when
  // input waits.
  static bool wait_for_key(unsigned milliseconds);

  // While on, Ctrl+C and Ctrl+Break no longer end the program: they are
  // noted, for the work under way to stop itself.
  static void catch_interrupts(bool on);
  static bool interrupted();

  // A line of progress on the console itself, never on the standard output,
  // over the row the cursor is on; `hide_status` gives the row back.
  static void show_status(std::wstring_view text);
  static void hide_status();

  // The window of the screen being drawn on; nothing when the output is no
  // console.
  static std::optional<Size> window_size();
  // The program's own screen made the window's size again after a change.
  static void fit_to_window();
};

// Draws in a style while it lives; then the colours before it come back.
class Styled {
 public:
  explicit Styled(Style style);
  ~Styled();
  Styled(const Styled&) = delete;
  Styled& operator=(const Styled&) = delete;

 private:
  std::uint16_t previous_;
};

// Runs the program's shutdown; set by the run sequence, called on close.
void set_shutdown_routine(void (*routine)());

}  // namespace zrn

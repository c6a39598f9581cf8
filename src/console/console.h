#pragma once
// The one way the program prints, colours, places the cursor, clears, reads
// keys and measures the console window.
#include <string>
#include <string_view>

namespace zrn {

namespace platform {
class ConsoleDevice;
}

// The sixteen console colours; the bits are the console attribute bits.
enum ConsoleColour : int {
  black = 0, blue = 1, green = 2, cyan = 3, red = 4, magenta = 5, brown = 6, light_grey = 7,
  dark_grey = 8, bright_blue = 9, bright_green = 10, bright_cyan = 11, bright_red = 12,
  bright_magenta = 13, yellow = 14, white = 15,
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

class Console {
 public:
  // Tests hand in a fake; the program uses the Windows console.
  static void use_device(platform::ConsoleDevice* device);

  static void open(const std::wstring& title = L"");
  static void set_title(const std::wstring& title);
  static void close();
  static void set_full_screen(bool on);
  static bool full_screen();
  static void clear();
  static void set_colour(int text, int background);
  static void locate(int column, int row);
  static void print(std::wstring_view text);
  static void print_line(std::wstring_view text = L"");
  static std::wstring read_key();
  static int last_key_code();
  static bool window_size();
  static int window_width();
  static int window_height();
  // The pause between key polls: ends early when input arrives.
  static void wait_for_key(unsigned milliseconds);
};

// Runs the program's shutdown; set by the run sequence, called on close.
void set_shutdown_routine(void (*routine)());

}  // namespace zrn

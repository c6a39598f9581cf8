#include "app/selection_path.h"

#include "app/program_state.h"
#include "console/console.h"
#include "console/screen_frame.h"
#include "console/screen_layout.h"
#include "console/selection_screen.h"
#include "handoff/change_script.h"
#include "platform/system.h"

namespace zrn {

namespace {

constexpr unsigned kMessagePause = 5000;

// False, after telling the user, when the window cannot hold the screen.
bool window_fits() {
  const auto& s = state();
  const wchar_t* message = nullptr;
  // Width first: a window too narrow and too low gets the width message only.
  if (checked_frame_width(s.window_width) < kMinimumWidth) {
    message = L"Please change the console width to at least 50 characters";
  } else if (s.window_height < kMinimumHeight) {
    message = L"Please change the console height to at least 30 characters";
  }
  if (!message) return true;
  // Printed from column 1: in a narrow window it is cut at the right edge
  // instead of running over it. Redirected output (width 0) gets it whole.
  const std::wstring_view text(message);
  Console::print_line(s.window_width > 1 ? cut_units(text, static_cast<std::size_t>(s.window_width - 1)) : text);
  platform::pause(kMessagePause);
  Console::close();
  return false;
}

}  // namespace

void run_selection_path() {
  auto& s = state();
  Console::set_full_screen(true);
  Console::clear();
  Console::locate(1, 1);
  if (!window_fits()) return;

  s.layout = compute_layout(s.window_width, s.window_height, s.match_count);
  s.frame_texts = build_frame_texts(s.layout.frame_width);
  draw_fixed_parts();

  std::wstring result;
  do {
    s.match_count = static_cast<std::int64_t>(s.matches.size());
    s.chosen_directory.clear();
    pause_reading_keys(20);
    result = run_selection_screen(s.matches, s.layout.left, s.layout.list_top, s.layout.page_size);
    s.chosen_directory = result;
  } while (result == kRedisplayMarker);

  if (!s.chosen_directory.empty()) write_change_script();
  Console::set_colour(light_grey, black);
  Console::clear();
  Console::close();
}

}  // namespace zrn

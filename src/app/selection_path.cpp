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
  const std::wstring_view message = size_message(s.window_width, s.window_height);
  if (message.empty()) return true;
  // In line mode, before any screen of the program's own: the console wraps
  // the message to the window, and it stays there after the run.
  Console::print_line(message);
  platform::pause(kMessagePause);
  Console::close();
  return false;
}

// Without a console to read keys from or to draw on, nobody can choose: the
// matches are listed, one per line, and nothing changes.
void list_matches() {
  const auto& s = state();
  // Each printed line is flushed; a thousand at a time keeps a long list
  // (up to the cap) from costing a flush per match.
  constexpr std::size_t kLinesPerPrint = 1000;
  std::wstring lines;
  for (std::size_t i = 0; i < s.matches.size(); ++i) {
    if (!lines.empty()) lines += L"\r\n";
    lines += s.matches[i];
    if ((i + 1) % kLinesPerPrint == 0 || i + 1 == s.matches.size()) {
      Console::print_line(lines);
      lines.clear();
    }
  }
  if (s.matches_not_shown > 0) {
    Console::print_line(L"(+" + with_thousands(static_cast<std::int64_t>(s.matches_not_shown)) + L" more)");
  }
  for (const auto& line : s.after_screen) Console::print_line(line);
}

}  // namespace

void run_selection_path() {
  auto& s = state();
  if (!Console::interactive()) {
    list_matches();
    return;
  }
  if (!window_fits()) return;

  Console::set_full_screen(true);
  Console::clear();
  Console::locate(1, 1);
  s.layout = compute_layout(s.window_width, s.window_height, s.match_count);
  s.frame_texts = build_frame_texts(s.layout.frame_width);
  draw_fixed_parts();

  std::wstring result;
  do {
    s.match_count = static_cast<std::int64_t>(s.matches.size());
    s.chosen_directory.clear();
    pause_reading_keys(20);
    result = run_selection_screen(s.matches);
    s.chosen_directory = result;
  } while (result == kRedisplayMarker);

  Console::set_style(Style::plain);
  Console::clear();
  // Keys meant for the screen must not reach the shell.
  Console::discard_keys();
  Console::set_full_screen(false);
  // After F2 or F3 the list may have come back empty.
  if (s.matches.empty()) s.after_screen.emplace_back(L"No directory found...");
  for (const auto& line : s.after_screen) Console::print_line(line);
  Console::close();
}

}  // namespace zrn

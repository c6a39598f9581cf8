#include "console/drive_chooser.h"

#include <algorithm>

#include "app/program_state.h"
#include "console/console.h"
#include "console/screen_frame.h"
#include "console/screen_layout.h"
#include "platform/files.h"
#include "platform/text.h"

namespace zrn {

namespace {

constexpr int kBoxWidth = 53;

bool accepted(const std::wstring& text, const std::wstring& letters) {
  if (text.size() != 1) return false;
  return std::any_of(letters.begin(), letters.end(),
                     [&](wchar_t letter) { return platform::same_letter_ignoring_case(text[0], letter); });
}

void draw_box(int left, int list_top, const std::wstring& letters_row) {
  const std::wstring blank(kBoxWidth, L' ');
  Console::set_colour(black, cyan);
  print_at(left + 20, list_top + 4, blank);
  print_at(left + 20, list_top + 5, std::wstring(18, L' ') + L"Available drives" + std::wstring(19, L' '));
  print_at(left + 20, list_top + 6, letters_row);
  print_at(left + 20, list_top + 7, std::wstring(14, L' ') + L"Enter the drive letter. _" + std::wstring(14, L' '));
  print_at(left + 20, list_top + 8, blank);
}

}  // namespace

void list_logical_drives() { state().drives = platform::logical_drives(); }

std::wstring choose_drive() {
  const ScreenLayout& layout = state().layout;
  list_logical_drives();
  std::wstring letters = drive_letters_text(state().drives);
  draw_box(layout.left, layout.list_top, centred_letters(letters));
  std::erase(letters, L' ');
  Console::locate(layout.left + 58, layout.list_top + 7);
  Console::show_cursor(true);
  std::wstring root;
  for (;;) {
    const std::wstring text = Console::read_key();
    if (accepted(text, letters)) {
      root = text + L":\\";
      break;
    }
    // ESC gives up the change of drive; so does a keyboard that cannot be read.
    if (is_escape(text, Console::last_key_code()) || Console::input_lost()) break;
    Console::wait_for_key(20);
  }
  Console::show_cursor(false);
  return root;
}

}  // namespace zrn

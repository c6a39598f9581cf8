#include "console/drive_chooser.h"

#include <algorithm>

#include "console/console.h"
#include "console/screen_frame.h"
#include "console/screen_layout.h"
#include "platform/files.h"
#include "platform/text.h"

namespace zrn {

namespace {

bool accepted(const std::wstring& text, const std::wstring& letters) {
  if (text.size() != 1) return false;
  return std::any_of(letters.begin(), letters.end(),
                     [&](wchar_t letter) { return platform::same_letter_ignoring_case(text[0], letter); });
}

}  // namespace

std::wstring choose_drive(const Frame& frame, Box& covered) {
  std::wstring letters = drive_letters_text(platform::logical_drives());
  // Sized from the frame: at every width the page allows, the box and its
  // letters stay inside it.
  Box box = box_in_frame(frame.layout, kDriveBox, 0);
  const std::vector<std::wstring> rows = drive_box_rows(letters, box.width);
  box.height = static_cast<int>(rows.size());
  covered = box;
  draw_box(frame, box, rows);
  std::erase(letters, L' ');
  const int prompt_lead = static_cast<int>(rows[rows.size() - 2].find(L'_'));
  Console::locate(box.left + prompt_lead, box.top + box.height - 2);
  Console::show_cursor(true);
  std::wstring root;
  for (;;) {
    const KeyPress key = Console::read_key();
    if (accepted(key.text, letters)) {
      // Drive letters are upper case wherever the program shows or writes them.
      root = std::wstring(1, platform::upper_char(key.text[0])) + L":\\";
      break;
    }
    // ESC gives up the change of drive; so does a keyboard that cannot be read.
    if (is_escape(key.text, key.code) || Console::input_lost()) break;
    Console::wait_for_key(20);
  }
  Console::show_cursor(false);
  return root;
}

}  // namespace zrn

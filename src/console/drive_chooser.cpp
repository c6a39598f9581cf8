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

std::wstring choose_drive(Console& console, const Frame& frame, Box& covered) {
  std::wstring letters = drive_letters_text(platform::logical_drives());
  // Sized from the frame: at every width the page allows, the box and its
  // letters stay inside it.
  Box box = box_in_frame(frame.layout, kDriveBox, 0);
  const std::vector<std::wstring> rows = drive_box_rows(letters, box.width);
  box.height = static_cast<int>(rows.size());
  covered = box;
  draw_box(console, frame, box, rows);
  std::erase(letters, L' ');
  const int prompt_lead = static_cast<int>(rows[rows.size() - 2].find(L'_'));
  console.locate(box.left + prompt_lead, box.top + box.height - 2);
  console.show_cursor(true);
  std::wstring root;
  for (;;) {
    const KeyPress key = console.read_key();
    if (accepted(key.text, letters)) {
      // Drive letters are upper case wherever the program shows or writes them.
      root = std::wstring(1, platform::upper_char(key.text[0])) + L":\\";
      break;
    }
    // ESC gives up the change of drive; so does a keyboard that cannot be read.
    if (is_escape(key.text, key.code) || console.input_lost()) break;
    console.wait_for_key(kShortKeyWait);
  }
  console.show_cursor(false);
  return root;
}

}  // namespace zrn

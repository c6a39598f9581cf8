#include "console/screen_frame.h"

#include <algorithm>
#include <chrono>

#include "console/cell_width.h"

namespace zrn {

namespace {

enum FrameText { top_border, side_line, separator, bottom_border };

int room_from(const Frame& frame, int column) { return std::max(frame.window.width - column, 0); }

void draw_title(Console& console, const Frame& frame) {
  const int width = frame.layout.frame_width;
  const int column = width / 2 - (static_cast<int>(frame.title.size()) + 6) / 2;
  const Styled bright(console, Style::bright);
  print_at(console, frame, column, 2, L"** " + frame.title + L" **");
}

void draw_legend(Console& console, const Frame& frame) {
  const ScreenLayout& layout = frame.layout;
  // The legend may run past the frame up to the window's edge; a window too
  // narrow for the whole legend gets a compact one.
  int room = room_from(frame, layout.left);
  console.locate(layout.left, layout.bottom + 1);
  const auto pieces = legend_for(room);
  for (std::size_t i = 0; i < pieces.size() && room > 0; ++i) {
    const Styled style(console, i % 2 == 1 ? Style::keys : Style::plain);
    const std::wstring_view piece = clip(pieces[i], room);
    console.print(piece);
    room -= std::max(text_cells(piece), static_cast<int>(piece.size()));
  }
}

// Which frame text a row shows, or -1 for the title row and rows outside it.
int frame_text_for(const ScreenLayout& layout, int row) {
  const int separator_row = layout.preview_top - 1;
  if (row == layout.top) return top_border;
  if (row == layout.top + 2 || row == separator_row) return separator;
  if (row == layout.bottom) return bottom_border;
  if (row > layout.top && row < layout.bottom) return side_line;
  return -1;
}

void draw_frame_row(Console& console, const Frame& frame, int row, bool with_line_end) {
  const int text = frame_text_for(frame.layout, row);
  if (text < 0) return;
  console.locate(frame.layout.left, row);
  const std::wstring_view line = clip(frame.texts[static_cast<std::size_t>(text)], room_from(frame, frame.layout.left));
  if (with_line_end) {
    console.print_line(line);
  } else {
    console.print(line);
  }
}

}  // namespace

bool lay_out(Frame& frame, std::int64_t count) {
  const ScreenLayout wanted = compute_layout(frame.window.width, frame.window.height, count);
  if (wanted == frame.layout) return false;
  frame.layout = wanted;
  frame.texts = build_frame_texts(wanted.frame_width);
  return true;
}

void print_at(Console& console, const Frame& frame, int column, int row, std::wstring_view text) {
  console.locate(column, row);
  console.print(clip(text, room_from(frame, column)));
}

void pause_reading_keys(Console& console, unsigned milliseconds) {
  using clock = std::chrono::steady_clock;
  const auto end = clock::now() + std::chrono::milliseconds(milliseconds);
  // The wait ends early when a key is pending; the loop keeps the full time.
  for (auto now = clock::now(); now < end; now = clock::now()) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now).count();
    console.wait_for_key(static_cast<unsigned>(left) + 1);
  }
}

void draw_fixed_parts(Console& console, const Frame& frame) {
  const ScreenLayout& layout = frame.layout;
  console.set_style(Style::plain);
  draw_frame_row(console, frame, layout.top, true);
  draw_frame_row(console, frame, layout.top + 1, true);
  draw_title(console, frame);
  for (int row = layout.top + 2; row <= layout.bottom; ++row) draw_frame_row(console, frame, row, true);
  draw_legend(console, frame);
}

void redraw_fixed_rows(Console& console, const Frame& frame, int first_row, int last_row) {
  const ScreenLayout& layout = frame.layout;
  console.set_style(Style::plain);
  for (int row = first_row; row <= last_row; ++row) {
    draw_frame_row(console, frame, row, false);
    if (row == layout.top + 1) draw_title(console, frame);
    if (row == layout.bottom + 1) draw_legend(console, frame);
  }
}

void draw_box(Console& console, const Frame& frame, const Box& box, std::span<const std::wstring> rows) {
  const Styled keys(console, Style::keys);
  for (std::size_t i = 0; i < rows.size(); ++i)
    print_at(console, frame, box.left, box.top + static_cast<int>(i), rows[i]);
}

void uncover(Console& console, const Frame& frame, const Box& box) {
  redraw_fixed_rows(console, frame, box.top, box.bottom());
}

std::wstring size_message(int width, int height) {
  if (checked_frame_width(width) < kMinimumWidth) {
    return L"Please change the console width to at least " + std::to_wstring(kMinimumWidth) + L" characters";
  }
  if (height < kMinimumHeight) {
    return L"Please change the console height to at least " + std::to_wstring(kMinimumHeight) + L" characters";
  }
  return {};
}

bool fit_layout_to_window(Frame& frame, Size window, std::int64_t count) {
  frame.window = window;
  if (!size_message(window.width, window.height).empty()) return false;
  lay_out(frame, count);
  return true;
}

void draw_size_message(Console& console, const Frame& frame) {
  console.set_style(Style::plain);
  console.clear();
  // The screen has no line wrap: the message is broken into lines here.
  const int width = std::max(frame.window.width - 1, 1);
  int row = 1;
  for (const auto& line : wrap_words(size_message(frame.window.width, frame.window.height), width)) {
    print_at(console, frame, 1, row++, line);
  }
}

}  // namespace zrn

#include "console/screen_frame.h"

#include <algorithm>
#include <chrono>

#include "app/identity.h"
#include "app/program_state.h"
#include "console/cell_width.h"
#include "console/console.h"
#include "console/screen_layout.h"

namespace zrn {

namespace {

enum FrameText { top_border, side_line, separator, bottom_border };

int room_from(int column) { return std::max(state().window_width - column, 0); }

void draw_title() {
  const auto& s = state();
  const int width = s.layout.frame_width;
  const int column = width / 2 - (static_cast<int>(kDisplayTitle.size()) + 6) / 2;
  const Styled bright(Style::bright);
  print_at(column, 2, L"** " + std::wstring(kDisplayTitle) + L" **");
}

void draw_legend() {
  const ScreenLayout& layout = state().layout;
  // The legend may run past the frame up to the window's edge; a window too
  // narrow for the whole legend gets a compact one.
  int room = room_from(layout.left);
  Console::locate(layout.left, layout.bottom + 1);
  const auto pieces = legend_for(room);
  for (std::size_t i = 0; i < pieces.size() && room > 0; ++i) {
    const Styled style(i % 2 == 1 ? Style::keys : Style::plain);
    const std::wstring_view piece = clip(pieces[i], room);
    Console::print(piece);
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

void draw_frame_row(int row, bool with_line_end) {
  const auto& s = state();
  const int text = frame_text_for(s.layout, row);
  if (text < 0) return;
  Console::locate(s.layout.left, row);
  const std::wstring_view line = clip(s.frame_texts[static_cast<std::size_t>(text)], room_from(s.layout.left));
  if (with_line_end) {
    Console::print_line(line);
  } else {
    Console::print(line);
  }
}

}  // namespace

void print_at(int column, int row, std::wstring_view text) {
  Console::locate(column, row);
  Console::print(clip(text, room_from(column)));
}

void pause_reading_keys(unsigned milliseconds) {
  using clock = std::chrono::steady_clock;
  const auto end = clock::now() + std::chrono::milliseconds(milliseconds);
  // The wait ends early when a key is pending; the loop keeps the full time.
  for (auto now = clock::now(); now < end; now = clock::now()) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now).count();
    Console::wait_for_key(static_cast<unsigned>(left) + 1);
  }
}

void draw_fixed_parts() {
  const ScreenLayout& layout = state().layout;
  Console::set_style(Style::plain);
  draw_frame_row(layout.top, true);
  draw_frame_row(layout.top + 1, true);
  draw_title();
  for (int row = layout.top + 2; row <= layout.bottom; ++row) draw_frame_row(row, true);
  draw_legend();
}

void redraw_fixed_rows(int first_row, int last_row) {
  const ScreenLayout& layout = state().layout;
  Console::set_style(Style::plain);
  for (int row = first_row; row <= last_row; ++row) {
    draw_frame_row(row, false);
    if (row == layout.top + 1) draw_title();
    if (row == layout.bottom + 1) draw_legend();
  }
}

void draw_box(const Box& box, std::span<const std::wstring> rows) {
  const Styled keys(Style::keys);
  for (std::size_t i = 0; i < rows.size(); ++i) print_at(box.left, box.top + static_cast<int>(i), rows[i]);
}

void uncover(const Box& box) { redraw_fixed_rows(box.top, box.bottom()); }

std::wstring_view size_message(int width, int height) {
  if (checked_frame_width(width) < kMinimumWidth) return L"Please change the console width to at least 50 characters";
  if (height < kMinimumHeight) return L"Please change the console height to at least 30 characters";
  return {};
}

bool fit_layout_to_window(int width, int height, std::int64_t count) {
  auto& s = state();
  s.window_width = width;
  s.window_height = height;
  if (!size_message(width, height).empty()) return false;
  s.layout = compute_layout(width, height, count);
  s.frame_texts = build_frame_texts(s.layout.frame_width);
  return true;
}

void draw_size_message() {
  const auto& s = state();
  Console::set_style(Style::plain);
  Console::clear();
  // The screen has no line wrap: the message is broken into lines here.
  const int width = std::max(s.window_width - 1, 1);
  int row = 1;
  for (const auto& line : wrap_words(size_message(s.window_width, s.window_height), width)) {
    print_at(1, row++, line);
  }
}

}  // namespace zrn

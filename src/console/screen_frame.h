#pragma once
// The fixed parts of the selection screen (frame, title, key legend) and the
// clipped printing that every part of the screen uses.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "console/console.h"
#include "console/screen_layout.h"

namespace zrn {

// What the page's fixed parts are drawn from: the window as last measured,
// the layout for it and for the list on show, and the frame's texts.
struct Frame {
  Size window;
  ScreenLayout layout;
  std::array<std::wstring, 4> texts;  // top, side, separator, bottom
  std::wstring title;
};

// Lays the frame out for the list of `count` on its window; true when the
// layout is not the one it had.
bool lay_out(Frame& frame, std::int64_t count);

// Prints at a cell, cut so that nothing lands past the window's right edge.
void print_at(Console& console, const Frame& frame, int column, int row, std::wstring_view text);

// The frame, the title and the legend.
void draw_fixed_parts(Console& console, const Frame& frame);

// Draws the fixed content of the rows again, after a box covered them.
void redraw_fixed_rows(Console& console, const Frame& frame, int first_row, int last_row);

// A box over the screen: one of `rows` on each of its rows, from its top.
void draw_box(Console& console, const Frame& frame, const Box& box, std::span<const std::wstring> rows);
// The fixed content under the box again.
void uncover(Console& console, const Frame& frame, const Box& box);

// Takes a new window size: the layout and the frame texts follow it and the
// count of the list on show. False, leaving the layout as it was, when the
// window is too small for the screen.
bool fit_layout_to_window(Frame& frame, Size window, std::int64_t count);

// The width or height message, wrapped to the window, on a cleared screen.
void draw_size_message(Console& console, const Frame& frame);

// The message for a window too narrow or too low; empty when it fits. Width
// is tested first.
std::wstring size_message(int width, int height);

// A pause that waits on the console input the whole time. Wine's terminal
// console reads the keyboard only while the program waits on the input
// handle; keys typed during a plain sleep are echoed onto the screen by the
// terminal.
void pause_reading_keys(Console& console, unsigned milliseconds);

}  // namespace zrn

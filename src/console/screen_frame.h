#pragma once
// The fixed parts of the selection screen (frame, title, key legend) and the
// clipped printing that every part of the screen uses.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace zrn {

struct Box;

// Prints at a cell, cut so that nothing lands past the window's right edge.
void print_at(int column, int row, std::wstring_view text);

// The frame, the title and the legend.
void draw_fixed_parts();

// Draws the fixed content of the rows again, after a box covered them.
void redraw_fixed_rows(int first_row, int last_row);

// A box over the screen: one of `rows` on each of its rows, from its top.
void draw_box(const Box& box, std::span<const std::wstring> rows);
// The fixed content under the box again.
void uncover(const Box& box);

// Takes a new window size: the layout and the frame texts follow it and the
// count of the list on show. False, leaving the layout as it was, when the
// window is too small for the screen.
bool fit_layout_to_window(int width, int height, std::int64_t count);

// The width or height message, wrapped to the window, on a cleared screen.
void draw_size_message();

// The message for a window too narrow or too low; empty when it fits. Width
// is tested first.
std::wstring_view size_message(int width, int height);

// A pause that waits on the console input the whole time. Wine's terminal
// console reads the keyboard only while the program waits on the input
// handle; keys typed during a plain sleep are echoed onto the screen by the
// terminal.
void pause_reading_keys(unsigned milliseconds);

}  // namespace zrn

#pragma once
// The fixed parts of the selection screen (frame, title, key legend) and the
// clipped printing that every part of the screen uses.
#include <string_view>

namespace zrn {

// Prints at a cell, cut so that nothing lands past the window's right edge.
void print_at(int column, int row, std::wstring_view text);

// The frame, the title and the legend, drawn once for the whole run.
void draw_fixed_parts();

// Draws the fixed content of the rows again, after a box covered them.
void redraw_fixed_rows(int first_row, int last_row);

// A pause that waits on the console input the whole time. Wine's terminal
// console reads the keyboard only while the program waits on the input
// handle; keys typed during a plain sleep are echoed onto the screen by the
// terminal.
void pause_reading_keys(unsigned milliseconds);

}  // namespace zrn

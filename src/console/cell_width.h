#pragma once
// How many screen cells text takes: East Asian wide and full-width characters
// take two, combining marks and zero-width characters none, all else one.
#include <string>
#include <string_view>

namespace zrn {

int cell_width(char32_t c);
int text_cells(std::wstring_view text);

// The longest start of the text that takes at most `cells` cells; never ends
// inside a surrogate pair, and keeps the combining marks after its last
// character.
std::wstring_view cut_cells(std::wstring_view text, int cells);
// The shortest end of the text that takes at most `cells` cells, without
// starting on a combining mark.
std::wstring_view last_cells(std::wstring_view text, int cells);
// Cut to `cells` cells, then padded with spaces to exactly `cells` cells.
std::wstring pad_cells(std::wstring_view text, int cells);
// The cells a row takes whichever way the console counts: a wide character
// two, and also a character of two UTF-16 units (Wine and consoles before
// Windows 10 keep one unit per cell) and a combining mark (one cell there).
int console_cells(std::wstring_view text);
// The longest start of the text that takes at most `cells` cells by that
// count.
std::wstring_view cut_console_cells(std::wstring_view text, int cells);
// Cut to at most `cells` cells by that count, then padded with spaces to
// exactly `cells`: a row of the screen that never reaches past its end.
std::wstring fit_console_cells(std::wstring_view text, int cells);
// At most `cells` cells and at most `cells` UTF-16 units: a console that
// keeps one unit per cell (Wine, Windows before 10) then never writes past
// the limit either; what it loses is trailing padding or the very end.
std::wstring_view clip(std::wstring_view text, int cells);

}  // namespace zrn

#pragma once
// The box that asks for a drive letter after F3.
#include <string>

namespace zrn {

class Console;
struct Box;
struct Frame;

// Lists the drives there are now, then waits for the letter of one of them
// and returns it, in upper case, with ":\". Returns empty text when ESC is
// pressed: the list stays as it was. `covered` is where the box was drawn.
std::wstring choose_drive(Console& console, const Frame& frame, Box& covered);

}  // namespace zrn

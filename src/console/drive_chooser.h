#pragma once
// The box that asks for a drive letter after F3.
#include <string>

namespace zrn {

// Empties and fills the program state's drive list.
void list_logical_drives();

struct Box;

// Waits for the letter of a listed drive and returns it, in upper case, with
// ":\". Returns empty text when ESC is pressed: the list stays as it was.
// `covered` is where the box was drawn.
std::wstring choose_drive(Box& covered);

}  // namespace zrn

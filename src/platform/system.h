#pragma once
// Process set-up and the small system services of a run.
#include <string>

namespace zrn::platform {

// The user's locale for everything but numbers, and COM on this thread.
void set_up_process();
// A real wait; the first one asks for a 1 ms timer resolution.
void pause(unsigned milliseconds);
// The code page the console shows text in; 0 when there is no console.
unsigned console_output_code_page();
// Runs `routine` when the program fails inside (an exception nobody caught, a
// crash) before the system ends it.
void on_internal_failure(void (*routine)());
// The system's own words for why the last call of this thread that failed
// did ("Access is denied."), without the line end; "error N" when the system
// has none.
std::wstring last_error_text();
// A modal box with only an OK button. Returns at once where there is no display.
void show_message(const std::wstring& caption, const std::wstring& text);

}  // namespace zrn::platform

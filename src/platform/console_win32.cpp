#include <windows.h>

#include <climits>

#include "platform/console_device.h"
#include "platform/system.h"

namespace zrn::platform {

namespace {

void (*g_on_close)() = nullptr;

BOOL WINAPI control_handler(DWORD event) {
  if (event == CTRL_CLOSE_EVENT && g_on_close) g_on_close();
  // Not handled: the system's default handling ends the process.
  return FALSE;
}

class WindowsConsole final : public ConsoleDevice {
 public:
  void acquire() override {
    input_ = GetStdHandle(STD_INPUT_HANDLE);
    output_ = GetStdHandle(STD_OUTPUT_HANDLE);
    error_ = GetStdHandle(STD_ERROR_HANDLE);
  }

  bool screen_info(ScreenInfo& info) override {
    CONSOLE_SCREEN_BUFFER_INFO raw;
    if (!GetConsoleScreenBufferInfo(output_, &raw)) return false;
    info.buffer_width = raw.dwSize.X;
    info.buffer_height = raw.dwSize.Y;
    info.window_left = raw.srWindow.Left;
    info.window_top = raw.srWindow.Top;
    info.window_right = raw.srWindow.Right;
    info.window_bottom = raw.srWindow.Bottom;
    info.attributes = raw.wAttributes;
    return true;
  }

  void set_title(const std::wstring& title) override { SetConsoleTitleW(title.c_str()); }
  void set_output_mode(std::uint32_t mode) override { SetConsoleMode(output_, mode); }
  void set_attributes(std::uint16_t attributes) override { SetConsoleTextAttribute(output_, attributes); }

  bool set_cursor(int column, int row) override {
    const COORD where{static_cast<SHORT>(column), static_cast<SHORT>(row)};
    return SetConsoleCursorPosition(output_, where) != 0;
  }

  void fill(std::uint16_t attributes, std::uint32_t count) override {
    DWORD done = 0;
    FillConsoleOutputAttribute(output_, attributes, count, COORD{0, 0}, &done);
    FillConsoleOutputCharacterW(output_, L' ', count, COORD{0, 0}, &done);
  }

  bool write_console(std::wstring_view text) override {
    if (text.empty()) return GetConsoleMode(output_, &mode_scratch_) != 0;
    DWORD written = 0;
    return WriteConsoleW(output_, text.data(), static_cast<DWORD>(text.size() > INT_MAX ? INT_MAX : text.size()),
                         &written, nullptr) != 0;
  }

  void write_bytes(std::string_view bytes) override {
    while (!bytes.empty()) {
      DWORD written = 0;
      const DWORD want = bytes.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes.size());
      if (!WriteFile(output_, bytes.data(), want, &written, nullptr) || written == 0) return;
      bytes.remove_prefix(written);
    }
  }

  void flush() override { FlushFileBuffers(output_); }

  int pending_input() override {
    DWORD count = 0;
    if (!GetNumberOfConsoleInputEvents(input_, &count)) return -1;
    return count > INT_MAX ? INT_MAX : static_cast<int>(count);
  }

  bool read_input(InputEvent& event) override {
    INPUT_RECORD record;
    DWORD read = 0;
    if (!ReadConsoleInputW(input_, &record, 1, &read) || read == 0) return false;
    event = InputEvent{};
    if (record.EventType == KEY_EVENT) {
      event.kind = InputKind::key;
      event.key_down = record.Event.KeyEvent.bKeyDown != 0;
      event.character = record.Event.KeyEvent.uChar.UnicodeChar;
      event.virtual_key = record.Event.KeyEvent.wVirtualKeyCode;
    }
    return true;
  }

  void wait_for_input(unsigned milliseconds) override {
    // Wine's terminal console hands over key events only while the program
    // waits on the input handle; on Windows this is the same pause, ending
    // early when a key arrives.
    pause(0);  // raises the timer resolution once
    DWORD mode = 0;
    const bool console_input = GetConsoleMode(input_, &mode) != 0;
    // A redirected input handle is always signalled: wait the full time there.
    if (!console_input || WaitForSingleObject(input_, milliseconds) != WAIT_OBJECT_0) {
      if (!console_input) Sleep(milliseconds);
    }
  }

  void install_close_handler(void (*on_close)()) override {
    g_on_close = on_close;
    SetConsoleCtrlHandler(control_handler, TRUE);
  }

 private:
  HANDLE input_ = nullptr;
  HANDLE output_ = nullptr;
  HANDLE error_ = nullptr;
  DWORD mode_scratch_ = 0;
};

}  // namespace

ConsoleDevice& windows_console() {
  static WindowsConsole console;
  return console;
}

}  // namespace zrn::platform

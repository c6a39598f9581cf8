#include <windows.h>

#include <atomic>
#include <climits>
#include <vector>

#include "platform/console_device.h"
#include "platform/handle_win32.h"
#include "platform/system.h"

namespace zrn::platform {

namespace {

bool (*g_on_event)(ControlEvent) = nullptr;

BOOL WINAPI control_handler(DWORD event) {
  const bool handled =
      g_on_event &&
      g_on_event(event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? ControlEvent::interrupt : ControlEvent::close);
  // Not handled: the system's default handling ends the process.
  return handled ? TRUE : FALSE;
}

class WindowsConsole final : public ConsoleDevice {
 public:
  void acquire() override {
    input_ = GetStdHandle(STD_INPUT_HANDLE);
    output_ = GetStdHandle(STD_OUTPUT_HANDLE);
    if (!own_screen_.get()) target_ = output_;
  }

  bool input_is_console() override {
    DWORD mode = 0;
    return GetConsoleMode(input_, &mode) != 0;
  }

  bool output_is_console() override {
    DWORD mode = 0;
    return GetConsoleMode(output_, &mode) != 0;
  }

  UserConsole read_user_console() override {
    UserConsole user;
    std::vector<wchar_t> title(4096, L'\0');
    SetLastError(ERROR_SUCCESS);
    const DWORD length = GetConsoleTitleW(title.data(), static_cast<DWORD>(title.size()));
    // An empty title reads as 0 too; only an error means there is none to give back.
    if (length > 0 || GetLastError() == ERROR_SUCCESS) {
      user.has_title = true;
      user.title.assign(title.data(), length < title.size() ? length : title.size() - 1);
    }
    DWORD mode = 0;
    if (GetConsoleMode(output_, &mode)) {
      user.has_output_mode = true;
      user.output_mode = mode;
    }
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(output_, &info)) {
      user.has_attributes = true;
      user.attributes = info.wAttributes;
    }
    return user;
  }

  void give_back(const UserConsole& user) override {
    // The user's screen first: under Wine the standard output handle follows
    // the screen shown, so the modes below must reach the user's.
    if (HANDLE screen = user_screen_.exchange(nullptr)) SetConsoleActiveScreenBuffer(screen);
    if (user.has_output_mode) SetConsoleMode(output_, user.output_mode);
    if (user.has_attributes) SetConsoleTextAttribute(output_, user.attributes);
    if (user.has_title) SetConsoleTitleW(user.title.c_str());
  }

  bool open_screen() override {
    if (own_screen_.get()) return true;
    // A handle of the user's screen itself: Windows binds the standard output
    // handle to it, but Wine's follows whichever screen is shown, so only
    // this handle can bring the user's screen back.
    HANDLE user = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (user == INVALID_HANDLE_VALUE) return false;
    HANDLE own = CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           CONSOLE_TEXTMODE_BUFFER, nullptr);
    if (own == INVALID_HANDLE_VALUE || !SetConsoleActiveScreenBuffer(own)) {
      if (own != INVALID_HANDLE_VALUE) CloseHandle(own);
      CloseHandle(user);
      return false;
    }
    user_screen_.store(user);
    own_screen_ = own;
    target_ = own_screen_.get();
    fit_screen_to_window();
    return true;
  }

  void close_screen() override {
    if (HANDLE user = user_screen_.exchange(nullptr)) {
      SetConsoleActiveScreenBuffer(user);
      CloseHandle(user);
    }
    target_ = output_;
    own_screen_.reset();
  }

  void fit_screen_to_window() override {
    if (!own_screen_.get()) return;
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(own_screen_.get(), &info)) return;
    const SHORT width = static_cast<SHORT>(info.srWindow.Right - info.srWindow.Left + 1);
    const SHORT height = static_cast<SHORT>(info.srWindow.Bottom - info.srWindow.Top + 1);
    if (info.dwSize.X == width && info.dwSize.Y == height && info.srWindow.Left == 0 && info.srWindow.Top == 0) {
      return;
    }
    const SMALL_RECT window{0, 0, static_cast<SHORT>(width - 1), static_cast<SHORT>(height - 1)};
    SetConsoleWindowInfo(own_screen_.get(), TRUE, &window);
    SetConsoleScreenBufferSize(own_screen_.get(), COORD{width, height});
  }

  void set_cursor_visible(bool visible) override {
    CONSOLE_CURSOR_INFO cursor;
    if (!GetConsoleCursorInfo(target_, &cursor)) return;
    cursor.bVisible = visible ? TRUE : FALSE;
    SetConsoleCursorInfo(target_, &cursor);
  }

  bool screen_info(ScreenInfo& info) override {
    CONSOLE_SCREEN_BUFFER_INFO raw;
    if (!GetConsoleScreenBufferInfo(target_, &raw)) return false;
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
  void set_output_mode(std::uint32_t mode) override { SetConsoleMode(target_, mode); }
  void set_attributes(std::uint16_t attributes) override { SetConsoleTextAttribute(target_, attributes); }

  bool set_cursor(int column, int row) override {
    const COORD where{static_cast<SHORT>(column), static_cast<SHORT>(row)};
    return SetConsoleCursorPosition(target_, where) != 0;
  }

  void fill(std::uint16_t attributes, std::uint32_t count) override {
    DWORD done = 0;
    FillConsoleOutputAttribute(target_, attributes, count, COORD{0, 0}, &done);
    FillConsoleOutputCharacterW(target_, L' ', count, COORD{0, 0}, &done);
  }

  bool write_console(std::wstring_view text) override {
    if (text.empty()) return GetConsoleMode(target_, &mode_scratch_) != 0;
    DWORD written = 0;
    return WriteConsoleW(target_, text.data(), static_cast<DWORD>(text.size() > INT_MAX ? INT_MAX : text.size()),
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

  bool wait_for_input(unsigned milliseconds) override {
    // Wine's terminal console hands over key events only while the program
    // waits on the input handle; on Windows this is the same pause, ending
    // early when a key arrives.
    pause(0);  // raises the timer resolution once
    DWORD mode = 0;
    if (!GetConsoleMode(input_, &mode)) {
      // A redirected input handle is always signalled: no key can come.
      Sleep(milliseconds);
      return false;
    }
    return WaitForSingleObject(input_, milliseconds) == WAIT_OBJECT_0;
  }

  void discard_input() override { FlushConsoleInputBuffer(input_); }

  void install_control_handler(bool (*on_event)(ControlEvent)) override {
    g_on_event = on_event;
    SetConsoleCtrlHandler(control_handler, TRUE);
  }

  void show_status(std::wstring_view text) override {
    if (!status_screen_.get()) {
      // The console's screen itself: the standard output may be a file.
      status_screen_ = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, 0, nullptr);
      CONSOLE_SCREEN_BUFFER_INFO info;
      if (!status_screen_.get() || !GetConsoleScreenBufferInfo(status_screen_.get(), &info) || info.dwSize.X < 2) {
        status_screen_.reset();
        return;
      }
      status_area_ =
          SMALL_RECT{0, info.dwCursorPosition.Y, static_cast<SHORT>(info.dwSize.X - 1), info.dwCursorPosition.Y};
      status_saved_.assign(static_cast<std::size_t>(info.dwSize.X), CHAR_INFO{});
      SMALL_RECT area = status_area_;
      if (!ReadConsoleOutputW(status_screen_.get(), status_saved_.data(), COORD{info.dwSize.X, 1}, COORD{0, 0},
                              &area)) {
        for (auto& cell : status_saved_) {
          cell.Char.UnicodeChar = L' ';
          cell.Attributes = info.wAttributes;
        }
      }
      status_attributes_ = info.wAttributes;
    }
    // The last column stays free: a console may scroll when it is written.
    std::vector<CHAR_INFO> cells(status_saved_.size(), CHAR_INFO{});
    for (std::size_t i = 0; i < cells.size(); ++i) {
      cells[i].Char.UnicodeChar = i + 1 < cells.size() && i < text.size() ? text[i] : L' ';
      cells[i].Attributes = status_attributes_;
    }
    write_status_row(cells);
  }

  void hide_status() override {
    if (!status_screen_.get()) return;
    write_status_row(status_saved_);
    status_screen_.reset();
  }

 private:
  HANDLE input_ = nullptr;
  HANDLE output_ = nullptr;
  HANDLE target_ = nullptr;  // output_ or the program's own screen
  Handle own_screen_;
  // Shared with the control thread, which may show the user's screen while
  // the main thread is still drawing.
  std::atomic<HANDLE> user_screen_{nullptr};
  DWORD mode_scratch_ = 0;
  Handle status_screen_;
  SMALL_RECT status_area_ = {};
  std::vector<CHAR_INFO> status_saved_;
  WORD status_attributes_ = 0;

  void write_status_row(std::vector<CHAR_INFO>& cells) {
    SMALL_RECT area = status_area_;
    WriteConsoleOutputW(status_screen_.get(), cells.data(), COORD{static_cast<SHORT>(cells.size()), 1}, COORD{0, 0},
                        &area);
  }
};

}  // namespace

ConsoleDevice& windows_console() {
  // Never destroyed: the control thread may give the console back while the
  // process ends.
  static WindowsConsole* const console = new WindowsConsole;
  return *console;
}

}  // namespace zrn::platform

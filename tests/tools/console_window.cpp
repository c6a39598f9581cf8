// Test helper: gives the console of a running program a new window size, as
// a user dragging the window's edge would. Wine's terminal console does not
// follow a resize of the terminal itself.
//
//   console_window.exe IMAGE.EXE WIDTH HEIGHT
//
// Exit code 0 when the window has the new size.
#include <windows.h>
#include <tlhelp32.h>

#include <cwchar>
#include <cwctype>
#include <string>

namespace {

bool same_name(const wchar_t* a, const wchar_t* b) {
  for (; *a && *b; ++a, ++b) {
    if (std::towlower(*a) != std::towlower(*b)) return false;
  }
  return *a == *b;
}

DWORD find_process(const wchar_t* image) {
  DWORD found = 0;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (same_name(entry.szExeFile, image)) found = entry.th32ProcessID;
  }
  CloseHandle(snapshot);
  return found;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) return 2;
  const DWORD process = find_process(argv[1]);
  if (process == 0) return 3;
  FreeConsole();
  if (!AttachConsole(process)) return 4;
  // The screen the program shows, whichever of its screens that is.
  HANDLE screen = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  if (screen == INVALID_HANDLE_VALUE) return 5;
  const SHORT width = static_cast<SHORT>(std::wcstol(argv[2], nullptr, 10));
  const SHORT height = static_cast<SHORT>(std::wcstol(argv[3], nullptr, 10));
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(screen, &info)) return 6;
  const SMALL_RECT window{0, 0, static_cast<SHORT>(width - 1), static_cast<SHORT>(height - 1)};
  // The window never exceeds the buffer: shrink the window first, grow the
  // buffer first.
  if (width <= info.dwSize.X && height <= info.dwSize.Y) {
    SetConsoleWindowInfo(screen, TRUE, &window);
    SetConsoleScreenBufferSize(screen, COORD{width, height});
  } else {
    SetConsoleScreenBufferSize(screen, COORD{width, height});
    SetConsoleWindowInfo(screen, TRUE, &window);
  }
  if (!GetConsoleScreenBufferInfo(screen, &info)) return 6;
  const bool done =
      info.srWindow.Right - info.srWindow.Left + 1 == width && info.srWindow.Bottom - info.srWindow.Top + 1 == height;
  CloseHandle(screen);
  return done ? 0 : 7;
}

#include "console/console.h"

#include <mutex>

#include "platform/console_device.h"
#include "platform/text.h"

namespace zrn {

namespace {

constexpr std::uint32_t kLineMode = 3;  // processed output, wrap at end of line
constexpr std::uint32_t kFullScreenMode = 0;

struct ConsoleState {
  platform::ConsoleDevice* device = nullptr;
  platform::ScreenInfo snapshot;
  bool full_screen = false;
  bool handler_installed = false;
  int last_key = 0;
  int window_width = 0;
  int window_height = 0;
  std::mutex output_lock;
};

ConsoleState& console() {
  static ConsoleState the_console;
  return the_console;
}

platform::ConsoleDevice& device() {
  auto& c = console();
  if (!c.device) c.device = &platform::windows_console();
  return *c.device;
}

void (*g_shutdown)() = nullptr;

void on_console_close() {
  if (g_shutdown) g_shutdown();
}

// Line mode: the console if there is one, else UTF-8 bytes to the file or pipe.
void write_line_mode(std::wstring_view text) {
  if (!device().write_console(text)) device().write_bytes(platform::to_utf8(text));
}

void write_clipped(std::wstring_view text) {
  platform::ScreenInfo info;
  if (device().screen_info(info) && info.buffer_width >= 0 &&
      text.size() > static_cast<std::size_t>(info.buffer_width)) {
    text = text.substr(0, static_cast<std::size_t>(info.buffer_width));
  }
  // Redirected output has no buffer: the text still reaches the file.
  write_line_mode(text);
}

}  // namespace

void set_shutdown_routine(void (*routine)()) { g_shutdown = routine; }

void Console::use_device(platform::ConsoleDevice* device) {
  auto& c = console();
  c.device = device;
  c.handler_installed = false;
  c.full_screen = false;
  c.last_key = 0;
}

void Console::open(const std::wstring& title) {
  auto& c = console();
  device().acquire();
  if (!device().screen_info(c.snapshot)) c.snapshot = platform::ScreenInfo{};
  // A second open must not register the handler again: one close, one shutdown.
  if (!c.handler_installed) {
    device().install_close_handler(on_console_close);
    c.handler_installed = true;
  }
  if (!title.empty()) device().set_title(title);
}

void Console::set_title(const std::wstring& title) { device().set_title(title); }

void Console::close() {
  std::lock_guard lock(console().output_lock);
  device().flush();
}

void Console::set_full_screen(bool on) {
  std::lock_guard lock(console().output_lock);
  device().set_output_mode(on ? kFullScreenMode : kLineMode);
  console().full_screen = on;
}

bool Console::full_screen() { return console().full_screen; }

void Console::clear() {
  auto& c = console();
  if (!c.full_screen) return;
  const auto cells = static_cast<std::uint32_t>(c.snapshot.buffer_width > 0 ? c.snapshot.buffer_width : 0) *
                     static_cast<std::uint32_t>(c.snapshot.buffer_height > 0 ? c.snapshot.buffer_height : 0);
  device().fill(c.snapshot.attributes, cells);
  device().set_cursor(0, 0);
}

void Console::set_colour(int text, int background) {
  if (text < 0 || background < 0 || text > 15 || background > 15) return;
  const auto attributes = static_cast<std::uint16_t>(background * 16 + text);
  device().set_attributes(attributes);
  console().snapshot.attributes = attributes;
}

void Console::locate(int column, int row) {
  if (!console().full_screen) return;
  device().set_cursor(static_cast<std::int16_t>(column), static_cast<std::int16_t>(row));
}

void Console::print(std::wstring_view text) {
  auto& c = console();
  if (!c.full_screen) {
    write_line_mode(text);
    return;
  }
  std::lock_guard lock(c.output_lock);
  write_clipped(text);
}

void Console::print_line(std::wstring_view text) {
  auto& c = console();
  if (!c.full_screen) {
    std::wstring line(text);
    line += L"\r\n";
    write_line_mode(line);
    device().flush();
    return;
  }
  std::lock_guard lock(c.output_lock);
  write_clipped(text);
  device().set_output_mode(kLineMode);
  write_line_mode(L"\r\n");
  device().set_output_mode(kFullScreenMode);
}

std::wstring Console::read_key() {
  auto& c = console();
  c.last_key = 0;
  const int pending = device().pending_input();
  if (pending < 0) return L"";
  for (int i = 0; i < pending; ++i) {
    platform::InputEvent event;
    if (!device().read_input(event)) break;
    if (event.kind != platform::InputKind::key || !event.key_down) continue;
    c.last_key = event.virtual_key;
    return event.character == 0 ? std::wstring() : std::wstring(1, event.character);
  }
  return L"";
}

int Console::last_key_code() { return console().last_key; }

bool Console::window_size() {
  platform::ScreenInfo info;
  if (!device().screen_info(info)) return false;
  console().window_width = info.window_right - info.window_left + 1;
  console().window_height = info.window_bottom - info.window_top + 1;
  return true;
}

int Console::window_width() { return console().window_width; }
int Console::window_height() { return console().window_height; }

void Console::wait_for_key(unsigned milliseconds) { device().wait_for_input(milliseconds); }

}  // namespace zrn

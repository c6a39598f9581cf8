#include "console/console.h"

#include <atomic>
#include <mutex>
#include <thread>

#include "console/cell_width.h"
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
  bool own_screen = false;
  bool handler_installed = false;
  bool opened = false;
  bool input_lost = false;
  std::wstring program_title;
  std::thread::id drawing_thread;
  // Written once by the first open, before the control handler exists;
  // only read afterwards, also on the control thread.
  platform::UserConsole user;
  std::mutex output_lock;
  // Shared with the control thread.
  std::atomic<bool> catching_interrupts{false};
  std::atomic<bool> interrupted{false};
};

// What every way out gives back, the control thread's included: it is never
// destroyed, so that a window closed while the process ends still finds it.
ConsoleState& console() {
  static ConsoleState* const the_console = new ConsoleState;
  return *the_console;
}

platform::ConsoleDevice& device() {
  auto& c = console();
  if (!c.device) c.device = &platform::windows_console();
  return *c.device;
}

void (*g_shutdown)() = nullptr;

bool on_control_event(platform::ControlEvent event) {
  auto& c = console();
  if (event == platform::ControlEvent::interrupt && c.catching_interrupts) {
    c.interrupted = true;
    return true;
  }
  // The process ends after this: the user gets the console back first, and
  // the run's working files go with it.
  Console::give_back();
  if (g_shutdown) g_shutdown();
  return false;
}

// Line mode: the console if there is one, else UTF-8 bytes to the file or pipe.
void write_line_mode(std::wstring_view text) {
  if (!device().write_console(text)) device().write_bytes(platform::to_utf8(text));
}

void write_clipped(std::wstring_view text) {
  const int width = console().snapshot.buffer_width;
  // Redirected output has no buffer: the text still reaches the file.
  write_line_mode(width > 0 ? clip(text, width) : text);
}

void measure_screen() {
  auto& c = console();
  platform::ScreenInfo info;
  if (device().screen_info(info)) {
    c.snapshot.buffer_width = info.buffer_width;
    c.snapshot.buffer_height = info.buffer_height;
  }
}

}  // namespace

void set_shutdown_routine(void (*routine)()) { g_shutdown = routine; }

void Console::use_device(platform::ConsoleDevice* device) {
  auto& c = console();
  c.device = device;
  c.handler_installed = false;
  c.opened = false;
  c.full_screen = false;
  c.own_screen = false;
  c.input_lost = false;
  c.user = {};
  c.catching_interrupts = false;
}

void Console::open(const std::wstring& title) {
  auto& c = console();
  device().acquire();
  if (!device().screen_info(c.snapshot)) c.snapshot = platform::ScreenInfo{};
  if (!c.opened) {
    c.user = device().read_user_console();
    c.drawing_thread = std::this_thread::get_id();
    c.opened = true;
  }
  // A second open must not register the handler again: one close, one shutdown.
  if (!c.handler_installed) {
    device().install_control_handler(on_control_event);
    c.handler_installed = true;
  }
  if (!title.empty()) {
    c.program_title = title;
    device().set_title(title);
  }
}

void Console::close() {
  // On the control thread (the window is closing) the main thread may still
  // be drawing on the program's screen: only give the console back there.
  if (std::this_thread::get_id() == console().drawing_thread) set_full_screen(false);
  give_back();
  std::lock_guard lock(console().output_lock);
  device().flush();
}

void Console::give_back() {
  if (console().opened) device().give_back(console().user);
}

void Console::set_full_screen(bool on) {
  auto& c = console();
  if (on == c.full_screen) return;
  std::lock_guard lock(c.output_lock);
  if (on) {
    c.own_screen = device().open_screen();
    if (c.own_screen) device().set_cursor_visible(false);
    device().set_output_mode(kFullScreenMode);
  } else {
    if (c.own_screen) {
      device().close_screen();
      c.own_screen = false;
    }
    device().set_output_mode(c.user.has_output_mode ? c.user.output_mode : kLineMode);
  }
  c.full_screen = on;
  measure_screen();
}

bool Console::interactive() { return device().input_is_console() && device().output_is_console(); }

void Console::set_title(std::wstring_view text) { device().set_title(std::wstring(text)); }

void Console::restore_title() {
  auto& c = console();
  if (!c.program_title.empty()) {
    device().set_title(c.program_title);
  } else if (c.user.has_title) {
    device().set_title(c.user.title);
  }
}

void Console::show_cursor(bool visible) {
  if (console().own_screen) device().set_cursor_visible(visible);
}

void Console::clear() {
  auto& c = console();
  if (!c.full_screen) return;
  measure_screen();
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

void Console::set_style(Style style) {
  switch (style) {
    case Style::plain:
      set_colour(light_grey, black);
      break;
    case Style::bright:
      set_colour(yellow, black);
      break;
    case Style::keys:
      set_colour(black, cyan);
      break;
    case Style::chosen:
      set_colour(black, light_grey);
      break;
  }
}

Styled::Styled(Style style) : previous_(console().snapshot.attributes) { Console::set_style(style); }

Styled::~Styled() {
  device().set_attributes(previous_);
  console().snapshot.attributes = previous_;
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

KeyPress Console::read_key() {
  const int pending = device().pending_input();
  if (pending < 0) {
    console().input_lost = true;
    return {};
  }
  for (int i = 0; i < pending; ++i) {
    platform::InputEvent event;
    if (!device().read_input(event)) break;
    if (event.kind != platform::InputKind::key || !event.key_down) continue;
    return {event.character == 0 ? std::wstring() : std::wstring(1, event.character), event.virtual_key};
  }
  return {};
}

bool Console::input_lost() { return console().input_lost; }

void Console::discard_keys() { device().discard_input(); }

bool Console::wait_for_key(unsigned milliseconds) { return device().wait_for_input(milliseconds); }

std::optional<Size> Console::window_size() {
  platform::ScreenInfo info;
  if (!device().screen_info(info)) return std::nullopt;
  return Size{info.window_right - info.window_left + 1, info.window_bottom - info.window_top + 1};
}

void Console::catch_interrupts(bool on) {
  console().interrupted = false;
  console().catching_interrupts = on;
}

bool Console::interrupted() { return console().interrupted; }

void Console::show_status(std::wstring_view text) { device().show_status(text); }

void Console::hide_status() { device().hide_status(); }

void Console::fit_to_window() {
  device().fit_screen_to_window();
  measure_screen();
}

}  // namespace zrn

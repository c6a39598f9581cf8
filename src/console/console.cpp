#include "console/console.h"

#include <algorithm>

#include "console/cell_width.h"
#include "platform/text.h"

namespace zrn {

namespace {

constexpr std::uint32_t kLineMode = 3;  // processed output, wrap at end of line
constexpr std::uint32_t kFullScreenMode = 0;
constexpr int kLastColour = 15;

}  // namespace

Console::Console(platform::ConsoleDevice& device) : device_(device) {}

// Line mode: the console if there is one, else UTF-8 bytes to the file or pipe.
void Console::write_line_mode(std::wstring_view text) {
  if (!device_.write_console(text)) device_.write_bytes(platform::to_utf8(text));
}

void Console::write_clipped(std::wstring_view text) {
  // Redirected output has no buffer: the text still reaches the file.
  write_line_mode(buffer_width_ > 0 ? clip(text, buffer_width_) : text);
}

void Console::measure_screen() {
  platform::ScreenInfo info;
  if (device_.screen_info(info)) {
    buffer_width_ = info.buffer_width;
    buffer_height_ = info.buffer_height;
  }
}

void Console::open(const std::wstring& title) {
  device_.acquire();
  platform::ScreenInfo info;
  if (device_.screen_info(info)) {
    buffer_width_ = info.buffer_width;
    buffer_height_ = info.buffer_height;
    attributes_ = info.attributes;
  } else {
    buffer_width_ = buffer_height_ = 0;
    attributes_ = 0;
  }
  if (!opened_) {
    user_ = device_.read_user_console();
    drawing_thread_ = std::this_thread::get_id();
    opened_ = true;
  }
  if (!title.empty()) {
    program_title_ = title;
    device_.set_title(title);
  }
}

void Console::close() {
  // On the control thread (the window is closing) the main thread may still
  // be drawing on the program's screen: only give the console back there.
  if (std::this_thread::get_id() == drawing_thread_) set_full_screen(false);
  give_back();
  std::lock_guard lock(output_lock_);
  device_.flush();
}

void Console::give_back() {
  if (opened_) device_.give_back(user_);
}

void Console::set_full_screen(bool on) {
  if (on == full_screen_) return;
  std::lock_guard lock(output_lock_);
  if (on) {
    own_screen_ = device_.open_screen();
    if (own_screen_) device_.set_cursor_visible(false);
    device_.set_output_mode(kFullScreenMode);
  } else {
    if (own_screen_) {
      device_.close_screen();
      own_screen_ = false;
    }
    device_.set_output_mode(user_.has_output_mode ? user_.output_mode : kLineMode);
  }
  full_screen_ = on;
  measure_screen();
}

bool Console::interactive() { return device_.input_is_console() && device_.output_is_console(); }

void Console::set_title(std::wstring_view text) { device_.set_title(std::wstring(text)); }

void Console::restore_title() {
  if (!program_title_.empty()) {
    device_.set_title(program_title_);
  } else if (user_.has_title) {
    device_.set_title(user_.title);
  }
}

void Console::show_cursor(bool visible) {
  if (own_screen_) device_.set_cursor_visible(visible);
}

void Console::clear() {
  if (!full_screen_) return;
  measure_screen();
  const auto cells =
      static_cast<std::uint32_t>(std::max(buffer_width_, 0)) * static_cast<std::uint32_t>(std::max(buffer_height_, 0));
  device_.fill(attributes_, cells);
  device_.set_cursor(0, 0);
}

void Console::set_colour(int text, int background) {
  if (text < 0 || background < 0 || text > kLastColour || background > kLastColour) return;
  set_attributes(static_cast<std::uint16_t>(background * 16 + text));
}

void Console::set_attributes(std::uint16_t attributes) {
  device_.set_attributes(attributes);
  attributes_ = attributes;
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

Styled::Styled(Console& console, Style style) : console_(console), previous_(console.attributes()) {
  console_.set_style(style);
}

Styled::~Styled() { console_.set_attributes(previous_); }

void Console::locate(int column, int row) {
  if (!full_screen_) return;
  device_.set_cursor(static_cast<std::int16_t>(column), static_cast<std::int16_t>(row));
}

void Console::print(std::wstring_view text) {
  if (!full_screen_) {
    write_line_mode(text);
    return;
  }
  std::lock_guard lock(output_lock_);
  write_clipped(text);
}

void Console::print_line(std::wstring_view text) {
  if (!full_screen_) {
    std::wstring line(text);
    line += L"\r\n";
    write_line_mode(line);
    device_.flush();
    return;
  }
  std::lock_guard lock(output_lock_);
  write_clipped(text);
  device_.set_output_mode(kLineMode);
  write_line_mode(L"\r\n");
  device_.set_output_mode(kFullScreenMode);
}

KeyPress Console::read_key() {
  const int pending = device_.pending_input();
  if (pending < 0) {
    input_lost_ = true;
    return {};
  }
  for (int i = 0; i < pending; ++i) {
    platform::InputEvent event;
    if (!device_.read_input(event)) break;
    if (event.kind != platform::InputKind::key || !event.key_down) continue;
    return {event.character == 0 ? std::wstring() : std::wstring(1, event.character), event.virtual_key};
  }
  return {};
}

void Console::discard_keys() { device_.discard_input(); }

bool Console::wait_for_key(unsigned milliseconds) { return device_.wait_for_input(milliseconds); }

std::optional<Size> Console::window_size() {
  platform::ScreenInfo info;
  if (!device_.screen_info(info)) return std::nullopt;
  return Size{info.window_right - info.window_left + 1, info.window_bottom - info.window_top + 1};
}

void Console::show_status(std::wstring_view text) { device_.show_status(text); }

void Console::hide_status() { device_.hide_status(); }

void Console::fit_to_window() {
  device_.fit_screen_to_window();
  measure_screen();
}

}  // namespace zrn

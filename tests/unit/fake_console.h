#pragma once
// An in-memory console: the user's screen and the program's own, each a grid
// of cells with attributes and a cursor; queued input events; and a record of
// what the console service asked of it.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/console_device.h"

namespace zrn::testing {

struct FakeScreen {
  FakeScreen(int w, int h)
      : width(w), height(h), cells(static_cast<std::size_t>(w * h), L' '), attrs(static_cast<std::size_t>(w * h), 7) {}
  int width;
  int height;
  std::vector<wchar_t> cells;
  std::vector<std::uint16_t> attrs;
  std::uint32_t mode = 3;
  std::uint16_t attributes = 7;
  int cursor_x = 0;
  int cursor_y = 0;
  bool cursor_visible = true;

  std::wstring row(int y) const { return std::wstring(cells.begin() + y * width, cells.begin() + (y + 1) * width); }
  void put(wchar_t c) {
    const bool wrap = (mode & 2) != 0;
    if ((mode & 1) && c == L'\r') {
      cursor_x = 0;
      return;
    }
    if ((mode & 1) && c == L'\n') {
      if (cursor_y < height - 1) ++cursor_y;
      return;
    }
    const auto index = static_cast<std::size_t>(cursor_y * width + cursor_x);
    cells[index] = c;
    attrs[index] = attributes;
    if (cursor_x < width - 1) {
      ++cursor_x;
    } else if (wrap) {
      cursor_x = 0;
      if (cursor_y < height - 1) ++cursor_y;
    }
  }
};

class FakeConsole final : public platform::ConsoleDevice {
 public:
  FakeConsole(int width, int height, bool redirected = false)
      : user(width, height), window_width_(width), window_height_(height), redirected_(redirected) {}

  FakeScreen user;
  std::optional<FakeScreen> own;
  bool own_shown = false;
  bool can_open_screen = true;
  bool input_redirected = false;
  bool input_broken = false;

  // What the service did.
  int handlers_installed = 0;
  bool (*control_handler)(platform::ControlEvent) = nullptr;
  std::wstring status;  // the line on the console itself
  std::string bytes;    // redirected output
  std::wstring title = L"user title";
  std::deque<platform::InputEvent> input;
  int writes = 0;
  int discards = 0;

  // The screen the user sees.
  FakeScreen& shown() { return own && own_shown ? *own : user; }
  std::wstring row(int y) { return shown().row(y); }
  std::uint16_t attribute_at(int x, int y) { return shown().attrs[static_cast<std::size_t>(y * shown().width + x)]; }

  void key(wchar_t character, std::uint16_t virtual_key) {
    input.push_back({platform::InputKind::key, true, character, virtual_key});
    input.push_back({platform::InputKind::key, false, character, virtual_key});
  }
  // The keys queued after this arrive a moment later: not within the
  // burst before it, only once the program waits.
  void later() { input.push_back({platform::InputKind::other, false, 0, kLater}); }
  // The user drags the window to a new size.
  void resize_window(int width, int height) {
    window_width_ = width;
    window_height_ = height;
  }

  void acquire() override {}
  bool input_is_console() override { return !input_redirected; }
  bool output_is_console() override { return !redirected_; }
  platform::UserConsole read_user_console() override {
    return {true, title, !redirected_, user.mode, !redirected_, user.attributes};
  }
  void give_back(const platform::UserConsole& saved) override {
    own_shown = false;
    if (saved.has_output_mode) user.mode = saved.output_mode;
    if (saved.has_attributes) user.attributes = saved.attributes;
    if (saved.has_title) title = saved.title;
  }
  bool open_screen() override {
    if (!can_open_screen) return false;
    own.emplace(window_width_, window_height_);
    own_shown = true;
    return true;
  }
  void close_screen() override {
    own.reset();
    own_shown = false;
  }
  void fit_screen_to_window() override {
    if (own) own.emplace(window_width_, window_height_);
  }
  void set_cursor_visible(bool visible) override { target().cursor_visible = visible; }
  bool screen_info(platform::ScreenInfo& info) override {
    if (redirected_) return false;
    const FakeScreen& screen = target();
    info = {screen.width, screen.height, 0, 0, window_width_ - 1, window_height_ - 1, screen.attributes};
    return true;
  }
  void set_title(const std::wstring& text) override { title = text; }
  void set_output_mode(std::uint32_t value) override { target().mode = value; }
  void set_attributes(std::uint16_t value) override { target().attributes = value; }
  bool set_cursor(int column, int row_index) override {
    FakeScreen& screen = target();
    if (column < 0 || row_index < 0 || column >= screen.width || row_index >= screen.height) return false;
    screen.cursor_x = column;
    screen.cursor_y = row_index;
    return true;
  }
  void fill(std::uint16_t value, std::uint32_t count) override {
    FakeScreen& screen = target();
    for (std::uint32_t i = 0; i < count && i < screen.cells.size(); ++i) {
      screen.cells[i] = L' ';
      screen.attrs[i] = value;
    }
  }
  bool write_console(std::wstring_view text) override {
    if (redirected_) return false;
    ++writes;
    for (const wchar_t c : text) target().put(c);
    return true;
  }
  void write_bytes(std::string_view data) override { bytes += data; }
  void flush() override {}
  int pending_input() override {
    if (input_broken) return -1;
    int count = 0;
    while (count < static_cast<int>(input.size()) && input[static_cast<std::size_t>(count)].virtual_key != kLater) {
      ++count;
    }
    return count;
  }
  bool read_input(platform::InputEvent& event) override {
    if (input.empty() || input.front().virtual_key == kLater) return false;
    event = input.front();
    input.pop_front();
    return true;
  }
  bool wait_for_input(unsigned milliseconds) override {
    if (milliseconds > 0 && !input.empty() && input.front().virtual_key == kLater) input.pop_front();
    // A test that forgot its last key would wait for ever: the keyboard is
    // taken as lost after many empty waits.
    idle_waits_ = input.empty() ? idle_waits_ + 1 : 0;
    if (idle_waits_ > 10000) input_broken = true;
    return pending_input() > 0;
  }
  void discard_input() override {
    ++discards;
    input.clear();
  }
  void show_status(std::wstring_view text) override { status = text; }
  void hide_status() override { status.clear(); }
  void install_control_handler(bool (*on_event)(platform::ControlEvent)) override {
    ++handlers_installed;
    control_handler = on_event;
  }

 private:
  static constexpr std::uint16_t kLater = 0xFFFF;
  FakeScreen& target() { return own ? *own : user; }

  int idle_waits_ = 0;
  int window_width_;
  int window_height_;
  bool redirected_;
};

}  // namespace zrn::testing

#pragma once
// An in-memory console: a grid of cells with attributes, a cursor, queued
// input events, and a record of what the console service asked of it.
#include <deque>
#include <string>
#include <vector>

#include "platform/console_device.h"

namespace zrn::testing {

class FakeConsole final : public platform::ConsoleDevice {
 public:
  FakeConsole(int width, int height, bool redirected = false)
      : width_(width), height_(height), redirected_(redirected),
        cells_(static_cast<std::size_t>(width * height), L' '),
        attrs_(static_cast<std::size_t>(width * height), 7) {}

  // What the service did.
  std::uint32_t mode = 3;
  std::uint16_t attributes = 7;
  int cursor_x = 0;
  int cursor_y = 0;
  int handlers_installed = 0;
  void (*close_handler)() = nullptr;
  std::string bytes;  // redirected output
  std::wstring title;
  std::deque<platform::InputEvent> input;

  std::wstring row(int y) const {
    return std::wstring(cells_.begin() + y * width_, cells_.begin() + (y + 1) * width_);
  }
  std::uint16_t attribute_at(int x, int y) const { return attrs_[static_cast<std::size_t>(y * width_ + x)]; }

  void key(wchar_t character, std::uint16_t virtual_key) {
    input.push_back({platform::InputKind::key, true, character, virtual_key});
    input.push_back({platform::InputKind::key, false, character, virtual_key});
  }

  void acquire() override {}
  bool screen_info(platform::ScreenInfo& info) override {
    if (redirected_) return false;
    info = {width_, height_, 0, 0, width_ - 1, height_ - 1, attributes};
    return true;
  }
  void set_title(const std::wstring& text) override { title = text; }
  void set_output_mode(std::uint32_t value) override { mode = value; }
  void set_attributes(std::uint16_t value) override { attributes = value; }
  bool set_cursor(int column, int row_index) override {
    if (column < 0 || row_index < 0 || column >= width_ || row_index >= height_) return false;
    cursor_x = column;
    cursor_y = row_index;
    return true;
  }
  void fill(std::uint16_t value, std::uint32_t count) override {
    for (std::uint32_t i = 0; i < count && i < cells_.size(); ++i) {
      cells_[i] = L' ';
      attrs_[i] = value;
    }
  }
  bool write_console(std::wstring_view text) override {
    if (redirected_) return false;
    for (const wchar_t c : text) put(c);
    return true;
  }
  void write_bytes(std::string_view data) override { bytes += data; }
  void flush() override {}
  int pending_input() override { return static_cast<int>(input.size()); }
  bool read_input(platform::InputEvent& event) override {
    if (input.empty()) return false;
    event = input.front();
    input.pop_front();
    return true;
  }
  void wait_for_input(unsigned) override {}
  void install_close_handler(void (*on_close)()) override {
    ++handlers_installed;
    close_handler = on_close;
  }

 private:
  void put(wchar_t c) {
    const bool wrap = (mode & 2) != 0;
    if ((mode & 1) && c == L'\r') {
      cursor_x = 0;
      return;
    }
    if ((mode & 1) && c == L'\n') {
      if (cursor_y < height_ - 1) ++cursor_y;
      return;
    }
    const auto index = static_cast<std::size_t>(cursor_y * width_ + cursor_x);
    cells_[index] = c;
    attrs_[index] = attributes;
    if (cursor_x < width_ - 1) {
      ++cursor_x;
    } else if (wrap) {
      cursor_x = 0;
      if (cursor_y < height_ - 1) ++cursor_y;
    }
  }

  int width_;
  int height_;
  bool redirected_;
  std::vector<wchar_t> cells_;
  std::vector<std::uint16_t> attrs_;
};

}  // namespace zrn::testing

#include "handoff/change_script.h"

#include "app/program_state.h"
#include "handoff/safe_path.h"
#include "platform/files.h"
#include "platform/text.h"

namespace zrn {

namespace {

std::string lines_to_bytes(std::initializer_list<std::wstring_view> lines) {
  std::string bytes;
  for (const auto line : lines) {
    bytes += platform::to_utf8(line);
    bytes += "\r\n";
  }
  return bytes;
}

void write_script(const std::string& bytes) {
  // No sharing while it is written; a refusal leaves the old script silently.
  platform::write_whole_file(state().change_script_path, bytes, /*exclusive=*/true);
}

}  // namespace

std::wstring escape_for_echo(std::wstring_view text) {
  std::wstring escaped;
  escaped.reserve(text.size());
  for (const wchar_t c : text) {
    if (c == L'%') {
      escaped += L"%%";
      continue;
    }
    if (c == L'^' || c == L'&' || c == L'|' || c == L'<' || c == L'>' || c == L'(' || c == L')') escaped += L'^';
    escaped += c;
  }
  return escaped;
}

std::wstring escape_for_quoted(std::wstring_view text) {
  std::wstring escaped;
  escaped.reserve(text.size());
  for (const wchar_t c : text) {
    escaped += c;
    if (c == L'%') escaped += L'%';
  }
  return escaped;
}

std::string reset_script_bytes() { return lines_to_bytes({L"@echo off"}); }

std::string change_script_bytes(std::wstring_view directory) {
  const std::wstring echo_line = L"echo Directory has been changed to " + escape_for_echo(directory);
  const std::wstring chdir_line = L"chdir /D \"" + escape_for_quoted(directory) + L"\"";
  return lines_to_bytes({L"@echo off", echo_line, chdir_line});
}

void reset_change_script() { write_script(reset_script_bytes()); }

void write_change_script() {
  // Whatever chose it, a path that no directory can have never becomes code:
  // the script keeps its reset content.
  if (!plausible_directory(state().chosen_directory)) return;
  write_script(change_script_bytes(state().chosen_directory));
}

}  // namespace zrn

#include "handoff/change_script.h"

#include <vector>

#include "handoff/run_folder.h"
#include "handoff/safe_path.h"
#include "platform/files.h"
#include "platform/system.h"
#include "platform/text.h"

namespace zrn {

namespace {

constexpr unsigned kUtf8 = 65001;

std::string lines_to_bytes(const std::vector<std::wstring>& lines) {
  std::string bytes;
  for (const auto& line : lines) {
    bytes += platform::to_utf8(line);
    bytes += "\r\n";
  }
  return bytes;
}

// chdir, then the confirmation only if it worked. "(call )" sets ERRORLEVEL
// to 0 first, because a successful chdir leaves ERRORLEVEL as it was.
void add_change(std::vector<std::wstring>& lines, const std::wstring& chdir_argument,
                const std::wstring& confirmed_text) {
  lines.push_back(L"(call )");
  lines.push_back(L"chdir /D \"" + chdir_argument + L"\"");
  lines.push_back(L"if not errorlevel 1 echo Directory has been changed to " + confirmed_text);
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

std::wstring escape_for_delayed_quoted(std::wstring_view text) {
  std::wstring escaped;
  escaped.reserve(text.size());
  for (const wchar_t c : text) {
    if (c == L'^' || c == L'!') escaped += L'^';
    escaped += c;
    if (c == L'%') escaped += L'%';
  }
  return escaped;
}

std::string reset_script_bytes() { return lines_to_bytes({L"@echo off"}); }

std::string change_script_bytes(std::wstring_view directory, unsigned code_page) {
  const bool switch_code_page = code_page != 0 && code_page != kUtf8;
  std::vector<std::wstring> lines{L"@echo off"};
  // The script is UTF-8: read the rest of it in that code page.
  if (switch_code_page) lines.push_back(L"chcp " + std::to_wstring(kUtf8) + L" >nul");
  // With delayed expansion on, cmd reads "!" in a line as the start of a
  // variable; only a name that holds one needs the second way.
  const bool has_exclamation = directory.find(L'!') != std::wstring_view::npos;
  if (has_exclamation) lines.push_back(L"if \"!!\"==\"\" goto zrn_delayed");
  add_change(lines, escape_for_quoted(directory), escape_for_echo(directory));
  if (has_exclamation) {
    lines.push_back(L"goto zrn_done");
    lines.push_back(L":zrn_delayed");
    // The value of a delayed variable is never read again as syntax.
    lines.push_back(L"set \"ZRN_DIR=" + escape_for_delayed_quoted(directory) + L"\"");
    add_change(lines, L"!ZRN_DIR!", L"!ZRN_DIR!");
    lines.push_back(L"set \"ZRN_DIR=\"");
    lines.push_back(L":zrn_done");
  }
  if (switch_code_page) lines.push_back(L"chcp " + std::to_wstring(code_page) + L" >nul");
  return lines_to_bytes(lines);
}

std::wstring change_script_path_for(const std::optional<std::wstring>& wrapper_script,
                                    std::wstring_view temporary_directory, const std::wstring& program_directory) {
  if (wrapper_script && is_run_script_path(*wrapper_script, temporary_directory)) return *wrapper_script;
  return program_directory + L"ZRN2.BAT";
}

ChangeScript::ChangeScript(std::wstring path) : path_(std::move(path)) {}

ChangeScript ChangeScript::choose(const std::optional<std::wstring>& wrapper_script,
                                  const std::optional<std::wstring>& token, const std::wstring& program_directory,
                                  const std::wstring& temporary_directory) {
  std::optional<std::wstring> script = wrapper_script;
  // The wrapper builds the path from TMP, which may be a short form.
  const auto last = script ? script->rfind(L'\\') : std::wstring::npos;
  if (last != std::wstring::npos) script = platform::long_path(script->substr(0, last)) + script->substr(last);
  // The wrapper names the folder by TMP (else TEMP) as it stands, which the
  // system may have expanded or shortened for its own temporary path.
  const auto named_temp = temporary_variable();
  std::wstring path = change_script_path_for(script, temporary_directory, program_directory);
  if (named_temp && path != script) {
    path = change_script_path_for(script, platform::long_path(*named_temp) + L"\\", program_directory);
  }
  ChangeScript chosen(std::move(path));
  if (!script || chosen.path_ != *script) return chosen;
  chosen.run_folder_ = chosen.path_.substr(0, chosen.path_.rfind(L'\\'));
  if (const auto checked = run_token(token))
    chosen.made_marker_ = chosen.run_folder_ + L"\\" + run_marker_name(*checked);
  return chosen;
}

bool ChangeScript::write_bytes(const std::string& bytes, std::wstring* error) {
  if (run_folder_.empty()) {
    // No sharing while it is written; a refusal leaves the old script.
    if (platform::write_whole_file(path_, bytes, /*exclusive=*/true)) return true;
    *error = L"the change script " + path_ + L" could not be written (" + platform::last_error_text() + L")";
    return false;
  }
  // A file that was there first, planted or not, is never written through,
  // and without the marker the wrapper does not run it.
  if (!file_.is_open()) {
    file_ = platform::File::create_new(path_);
    if (!file_.is_open()) {
      *error = L"the change script " + path_ + L" could not be made (" + platform::last_error_text() + L")";
      return false;
    }
    if (!made_marker_.empty()) platform::File::create_new(made_marker_);
  }
  if (file_.rewrite(bytes)) return true;
  *error = L"the change script " + path_ + L" could not be written (" + platform::last_error_text() + L")";
  return false;
}

void ChangeScript::reset() {
  std::wstring ignored;
  // An old script that cannot be replaced is one the wrapper does not run.
  write_bytes(reset_script_bytes(), &ignored);
}

bool ChangeScript::write(const std::wstring& directory, std::wstring* error) {
  if (!plausible_directory(directory)) {
    *error = L"the path holds a character that no directory name can hold";
    return false;
  }
  return write_bytes(change_script_bytes(directory, platform::console_output_code_page()), error);
}

}  // namespace zrn

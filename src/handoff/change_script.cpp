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

std::wstring joined_lines(const std::vector<std::wstring>& lines) {
  std::wstring text;
  for (const auto& line : lines) text += line + L"\r\n";
  return text;
}

std::string lines_to_bytes(const std::vector<std::wstring>& lines) { return platform::to_utf8(joined_lines(lines)); }

// chcp.com by its full path, quoted, when cmd reads that path as it stands
// (plain ASCII without quote, % or !); empty otherwise.
std::wstring chcp_command(std::wstring_view chcp) {
  if (chcp.empty()) return L"";
  for (const wchar_t c : chcp) {
    if (c < L' ' || c > L'~' || c == L'"' || c == L'%' || c == L'!') return L"";
  }
  return L"\"" + std::wstring(chcp) + L"\" ";
}

// chdir (or pushd), then the confirmation only if it worked. "(call )" sets
// ERRORLEVEL to 0 first, because a successful chdir leaves ERRORLEVEL as it was.
void add_change(std::vector<std::wstring>& lines, const std::wstring& chdir_argument,
                const std::wstring& confirmed_text, bool pushd) {
  lines.push_back(L"(call )");
  lines.push_back((pushd ? L"pushd \"" : L"chdir /D \"") + chdir_argument + L"\"");
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

namespace {

std::vector<std::wstring> change_lines(std::wstring_view directory, std::wstring_view note, const std::wstring& chcp,
                                       unsigned code_page, bool pushd) {
  std::vector<std::wstring> lines{L"@echo off"};
  // The rest of the script is UTF-8: cmd reads it in that code page.
  if (!chcp.empty()) lines.push_back(chcp + std::to_wstring(kUtf8) + L" >nul");
  // With delayed expansion on, cmd reads "!" in a line as the start of a
  // variable; only a text that holds one needs the second way.
  const bool has_exclamation =
      directory.find(L'!') != std::wstring_view::npos || note.find(L'!') != std::wstring_view::npos;
  if (has_exclamation) lines.push_back(L"if \"!!\"==\"\" goto zrn_delayed");
  add_change(lines, escape_for_quoted(directory), escape_for_echo(std::wstring(directory) + std::wstring(note)), pushd);
  if (has_exclamation) {
    lines.push_back(L"goto zrn_done");
    lines.push_back(L":zrn_delayed");
    // The value of a delayed variable is never read again as syntax.
    lines.push_back(L"set \"ZRN_DIR=" + escape_for_delayed_quoted(directory) + L"\"");
    if (!note.empty()) lines.push_back(L"set \"ZRN_SAY=" + escape_for_delayed_quoted(note) + L"\"");
    add_change(lines, L"!ZRN_DIR!", note.empty() ? L"!ZRN_DIR!" : L"!ZRN_DIR!!ZRN_SAY!", pushd);
    lines.push_back(L"set \"ZRN_DIR=\"");
    if (!note.empty()) lines.push_back(L"set \"ZRN_SAY=\"");
    lines.push_back(L":zrn_done");
  }
  if (!chcp.empty()) lines.push_back(chcp + std::to_wstring(code_page) + L" >nul");
  return lines;
}

}  // namespace

std::string change_script_bytes(std::wstring_view directory, unsigned code_page, std::wstring_view chcp,
                                std::wstring_view note, bool pushd) {
  const auto lines = change_lines(directory, note, L"", 0, pushd);
  if (code_page == 0 || code_page == kUtf8) return lines_to_bytes(lines);
  if (auto in_code_page = platform::to_code_page_exactly(joined_lines(lines), code_page)) return *in_code_page;
  return lines_to_bytes(change_lines(directory, note, chcp_command(chcp), code_page, pushd));
}

std::wstring change_script_path_for(const std::optional<std::wstring>& wrapper_script,
                                    std::wstring_view temporary_directory, const std::wstring& program_directory) {
  if (wrapper_script && is_run_script_path(*wrapper_script, temporary_directory)) return *wrapper_script;
  return program_directory + L"ZRN2.BAT";
}

ChangeScript::ChangeScript(std::wstring path) : path_(std::move(path)) {}

ChangeScript ChangeScript::choose(const std::optional<std::wstring>& wrapper_script,
                                  const std::wstring& program_directory, const std::wstring& temporary_directory) {
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
  // Whoever could write in the temporary folder can write here no more.
  platform::make_private_to_user(chosen.run_folder_);
  return chosen;
}

bool ChangeScript::write_bytes(const std::string& bytes, std::wstring* error) {
  if (run_folder_.empty()) {
    // No sharing while it is written.
    if (platform::write_whole_file(path_, bytes, /*exclusive=*/true)) return true;
    *error = L"the change script " + path_ + L" could not be written (" + platform::last_error_text() + L")";
    return false;
  }
  // A file that was there first, planted or not, is never written through,
  // and the wrapper runs only a script whose run says it is whole.
  if (!file_.is_open()) file_ = platform::File::create_new(path_);
  if (!file_.is_open()) {
    *error = L"the change script " + path_ + L" could not be made (" + platform::last_error_text() + L")";
    whole_ = false;
    return false;
  }
  whole_ = false;
  whole_ = file_.rewrite(bytes) && file_.flush();
  if (!whole_) {
    *error = L"the change script " + path_ + L" could not be written (" + platform::last_error_text() + L")";
  }
  return whole_;
}

void ChangeScript::reset() {
  std::wstring ignored;
  // An old script that cannot be replaced is one the wrapper does not run.
  write_bytes(reset_script_bytes(), &ignored);
}

ScriptWrite ChangeScript::write(const std::wstring& directory, std::wstring* error) {
  if (!plausible_directory(directory)) {
    *error = L"the path holds a character that no directory name can hold";
    return ScriptWrite::refused;
  }
  const std::wstring system = platform::system_directory();
  const std::wstring chcp = system.empty() ? L"" : system + L"chcp.com";
  // A link that leads off the drive is followed, and the confirmation says where.
  const auto destination = link_off_drive(directory);
  const std::wstring note = destination ? link_note(*destination) : L"";
  if (!write_bytes(change_script_bytes(directory, platform::console_output_code_page(), chcp, note, pushd_), error)) {
    // What was there before must not move the shell either.
    reset();
    whole_ = false;
    return ScriptWrite::failed;
  }
  return ScriptWrite::written;
}

}  // namespace zrn

#include "handoff/safe_path.h"

#include "platform/text.h"

namespace zrn {

namespace {

bool plausible(std::wstring_view path, bool question_mark_allowed) {
  if (path.empty() || path.size() > kLongestDirectory) return false;
  for (std::size_t i = 0; i < path.size(); ++i) {
    const wchar_t c = path[i];
    if (c < 0x20 || c == L'"' || c == L'<' || c == L'>' || c == L'|' || c == L'*') return false;
    if (c == L'?' && !question_mark_allowed) return false;
    if (platform::is_high_surrogate(c)) {
      if (i + 1 == path.size() || !platform::is_low_surrogate(path[i + 1])) return false;
      ++i;
    } else if (platform::is_low_surrogate(c)) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool plausible_directory(std::wstring_view path) { return plausible(path, false); }

bool plausible_index_line(std::wstring_view line) { return plausible(line, true); }

namespace {

bool only_dots_and_blanks(std::wstring_view component) {
  return component.find_first_not_of(L". ") == std::wstring_view::npos;
}

}  // namespace

bool index_line_on_drive(std::wstring_view line, std::wstring_view drive_root) {
  if (!is_drive_root(drive_root) || line.size() <= 3 ||
      platform::ascii_upper(line[0]) != platform::ascii_upper(drive_root[0]) ||
      line.substr(1, 2) != drive_root.substr(1, 2)) {
    return false;
  }
  std::wstring_view rest = line.substr(3);
  if (rest.find_first_of(L"/:") != std::wstring_view::npos) return false;
  for (;;) {
    const auto cut = rest.find(L'\\');
    if (only_dots_and_blanks(rest.substr(0, cut))) return false;
    if (cut == std::wstring_view::npos) return true;
    rest.remove_prefix(cut + 1);
  }
}

std::optional<std::wstring> off_drive_destination(std::wstring_view directory,
                                                  const std::optional<platform::Destination>& destination,
                                                  const std::optional<platform::Destination>& root) {
  if (!destination || directory.size() < 3) return std::nullopt;
  const std::wstring& path = destination->path;
  if (destination->elsewhere) return path;
  const std::wstring drive = platform::with_backslash(root ? root->path : std::wstring(directory.substr(0, 3)));
  const std::wstring_view start = std::wstring_view(path).substr(0, drive.size());
  bool same = start.size() == drive.size();
  for (std::size_t i = 0; same && i < start.size(); ++i) same = platform::same_letter_ignoring_case(start[i], drive[i]);
  // The root itself, without its backslash, is on its drive too.
  if (!same && platform::with_backslash(path) == drive) same = true;
  return same ? std::nullopt : std::optional<std::wstring>(path);
}

std::optional<std::wstring> link_off_drive(const std::wstring& directory) {
  if (directory.size() < 3) return std::nullopt;
  return off_drive_destination(directory, platform::directory_destination(directory),
                               platform::directory_destination(directory.substr(0, 3)));
}

std::wstring link_note(std::wstring_view destination) { return L" (a link to " + std::wstring(destination) + L")"; }

}  // namespace zrn

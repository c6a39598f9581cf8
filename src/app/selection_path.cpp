#include "app/selection_path.h"

#include <utility>

#include "app/build_progress.h"
#include "app/identity.h"
#include "app/program_state.h"
#include "console/console.h"
#include "console/screen_frame.h"
#include "console/screen_layout.h"
#include "console/selection_screen.h"
#include "index/index_builder.h"
#include "index/index_storage.h"
#include "platform/system.h"
#include "search/match_collection.h"

namespace zrn {

namespace {

constexpr unsigned kMessagePause = 5000;

// False, after telling the user, when the window cannot hold the screen.
bool window_fits() {
  const auto& s = state();
  const std::wstring_view message = size_message(s.window_width, s.window_height);
  if (message.empty()) return true;
  // In line mode, before any screen of the program's own: the console wraps
  // the message to the window, and it stays there after the run.
  Console::print_line(message);
  platform::pause(kMessagePause);
  Console::close();
  return false;
}

// Without a console to read keys from or to draw on, nobody can choose: the
// matches are listed, one per line, and nothing changes.
void list_matches() {
  const auto& s = state();
  // Each printed line is flushed; a thousand at a time keeps a long list
  // (up to the cap) from costing a flush per match.
  constexpr std::size_t kLinesPerPrint = 1000;
  std::wstring lines;
  for (std::size_t i = 0; i < s.matches.size(); ++i) {
    if (!lines.empty()) lines += L"\r\n";
    lines += s.matches[i];
    if ((i + 1) % kLinesPerPrint == 0 || i + 1 == s.matches.size()) {
      Console::print_line(lines);
      lines.clear();
    }
  }
  if (s.matches_not_shown > 0) {
    Console::print_line(L"(+" + with_thousands(static_cast<std::int64_t>(s.matches_not_shown)) + L" more)");
  }
  for (const auto& line : s.after_screen) Console::print_line(line);
}

PageResult next_pass(SelectionPage& page) {
  const auto& s = state();
  pause_reading_keys(20);
  return page.run(s.matches, s.matches_not_shown, s.drive_root);
}

// F2: the drive's index built anew, then searched again. A cancelled build
// or a drive that is gone leaves the list as it was.
PageResult rescan(SelectionPage& page, const IndexSettings& settings) {
  auto& s = state();
  const IndexOutcome outcome = build_index(settings, s.drive_root);
  if (outcome == IndexOutcome::cancelled || outcome == IndexOutcome::drive_missing) {
    return page.resume(outcome_message(outcome, s.drive_root));
  }
  if (outcome == IndexOutcome::not_written) {
    // The drive's earlier index, if any, still answers the search below.
    const std::wstring index = index_file_path(s.drive_root);
    page.note_next_pass(L"Not written: " + index);
    s.after_screen.push_back(L"The index file " + index + L" could not be written.");
  }
  // Just built: its age needs no second look.
  Matches found = search_index(s.drive_root, s.search_text);
  s.matches = std::move(found.paths);
  s.matches_not_shown = found.not_shown;
  return next_pass(page);
}

// F3: the matches on the drive typed. A drive without a match leaves the
// list, and the drive, as they were.
PageResult change_drive(SelectionPage& page, const IndexSettings& settings, const std::wstring& root) {
  auto& s = state();
  SearchResult found = collect_from_index(settings, root, s.search_text);
  if (found.outcome == IndexOutcome::cancelled || found.outcome == IndexOutcome::drive_missing) {
    return page.resume(outcome_message(found.outcome, root));
  }
  if (found.matches.paths.empty()) {
    return page.resume(L"No directory on drive " + root + L" holds " + s.search_text + L"; the list stays.");
  }
  s.drive_root = root;
  s.matches = std::move(found.matches.paths);
  s.matches_not_shown = found.matches.not_shown;
  return next_pass(page);
}

// Passes until one ends with a choice or without one. The builds that F2 and
// F3 start show their progress on the page.
PageResult run_passes(SelectionPage& page) {
  auto& s = state();
  BuildProgress progress(s.after_screen, &page);
  IndexSettings settings = *s.index;
  settings.progress = &progress;
  PageResult result = next_pass(page);
  while (result.kind == PageResult::Kind::rescan || result.kind == PageResult::Kind::change_drive) {
    result = result.kind == PageResult::Kind::rescan ? rescan(page, settings)
                                                     : change_drive(page, settings, result.drive_root);
  }
  return result;
}

}  // namespace

void run_selection_path() {
  auto& s = state();
  if (!Console::interactive()) {
    list_matches();
    return;
  }
  if (!window_fits()) return;

  Console::set_full_screen(true);
  SelectionPage page({s.window_width, s.window_height}, std::wstring(kDisplayTitle), s.search_text);
  page.open(static_cast<std::int64_t>(s.matches.size()));
  const PageResult result = run_passes(page);
  s.match_count = static_cast<std::int64_t>(s.matches.size());
  if (result.kind == PageResult::Kind::chosen) s.chosen_directory = result.path;
  Console::set_style(Style::plain);
  Console::clear();
  // Keys meant for the screen must not reach the shell.
  Console::discard_keys();
  Console::set_full_screen(false);
  // After F2 or F3 the list may have come back empty.
  if (s.matches.empty()) s.after_screen.emplace_back(L"No directory found...");
  for (const auto& line : s.after_screen) Console::print_line(line);
  Console::close();
}

}  // namespace zrn

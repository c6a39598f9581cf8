#include "app/selection_path.h"

#include <utility>

#include "app/build_progress.h"
#include "app/identity.h"
#include "app/program_state.h"
#include "console/console.h"
#include "console/screen_frame.h"
#include "console/screen_layout.h"
#include "console/selection_screen.h"
#include "handoff/safe_path.h"
#include "index/index_builder.h"
#include "index/index_storage.h"
#include "platform/files.h"
#include "platform/system.h"
#include "search/match_collection.h"

namespace zrn {

namespace {

constexpr unsigned kMessagePause = 5000;

// What the passes show: the list, and the drive it was found on.
struct Shown {
  std::wstring drive_root;
  Matches matches;
};

// False, after telling the user, when the window cannot hold the screen.
bool window_fits(Size window) {
  const std::wstring_view message = size_message(window.width, window.height);
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
void list_matches(const Matches& matches, const std::vector<std::wstring>& notes) {
  // Each printed line is flushed; a thousand at a time keeps a long list
  // (up to the cap) from costing a flush per match.
  constexpr std::size_t kLinesPerPrint = 1000;
  const std::vector<std::wstring>& paths = matches.paths;
  std::wstring lines;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    if (!lines.empty()) lines += L"\r\n";
    lines += paths[i];
    if ((i + 1) % kLinesPerPrint == 0 || i + 1 == paths.size()) {
      Console::print_line(lines);
      lines.clear();
    }
  }
  if (matches.not_shown > 0) {
    Console::print_line(L"(+" + with_thousands(static_cast<std::int64_t>(matches.not_shown)) + L" more)");
  }
  for (const auto& line : notes) Console::print_line(line);
}

PageResult next_pass(SelectionPage& page, const Shown& shown) {
  pause_reading_keys(20);
  return page.run(shown.matches.paths, shown.matches.not_shown, shown.drive_root);
}

// F2: the drive's index built anew, then searched again. A cancelled build
// or a drive that is gone leaves the list as it was.
PageResult rescan(SelectionPage& page, const IndexSettings& settings, std::wstring_view search_text, Shown& shown,
                  std::vector<std::wstring>& notes) {
  const IndexOutcome outcome = build_index(settings, shown.drive_root);
  if (outcome == IndexOutcome::cancelled || outcome == IndexOutcome::drive_missing) {
    return page.resume(outcome_message(outcome, shown.drive_root));
  }
  if (outcome == IndexOutcome::not_written) {
    // The drive's earlier index, if any, still answers the search below.
    const std::wstring index = index_file_path(shown.drive_root);
    page.note_next_pass(L"Not written: " + index);
    notes.push_back(L"The index file " + index + L" could not be written.");
  }
  // Just built: its age needs no second look.
  shown.matches = search_index(shown.drive_root, search_text);
  if (!shown.matches.unreadable_index.empty()) notes.push_back(nothing_found_line(shown.matches));
  return next_pass(page, shown);
}

// F3: the matches on the drive typed. A drive without a match leaves the
// list, and the drive, as they were.
PageResult change_drive(SelectionPage& page, const IndexSettings& settings, std::wstring_view search_text,
                        const std::wstring& root, Shown& shown) {
  SearchResult found = collect_from_index(settings, root, search_text);
  if (found.outcome == IndexOutcome::cancelled || found.outcome == IndexOutcome::drive_missing) {
    return page.resume(outcome_message(found.outcome, root));
  }
  if (!found.matches.unreadable_index.empty()) {
    return page.resume(nothing_found_line(found.matches) + L" The list stays.");
  }
  if (found.matches.paths.empty()) {
    return page.resume(L"No directory on drive " + root + L" holds " + std::wstring(search_text) +
                       L"; the list stays.");
  }
  shown = {root, std::move(found.matches)};
  return next_pass(page, shown);
}

// Passes until one ends with a choice or without one. The builds that F2 and
// F3 start show their progress on the page.
PageResult run_passes(SelectionPage& page, const ProgramState& run, Shown& shown, std::vector<std::wstring>& notes) {
  BuildProgress progress(notes, &page);
  IndexSettings settings = run.index;
  settings.progress = &progress;
  const std::wstring& search_text = run.command.search_text;
  PageResult result = next_pass(page, shown);
  while (result.kind == PageResult::Kind::rescan || result.kind == PageResult::Kind::change_drive) {
    result = result.kind == PageResult::Kind::rescan
                 ? rescan(page, settings, search_text, shown, notes)
                 : change_drive(page, settings, search_text, result.drive_root, shown);
  }
  return result;
}

}  // namespace

std::wstring nothing_found_line(const Matches& matches) {
  if (matches.unreadable_index.empty()) return L"No directory found...";
  return L"The index file " + matches.unreadable_index + L" could not be read; nothing was searched.";
}

std::wstring run_selection_path(const ProgramState& run, Matches matches, std::vector<std::wstring>& notes) {
  Shown shown{run.command.drive_root, std::move(matches)};
  if (!Console::interactive()) {
    list_matches(shown.matches, notes);
    return L"";
  }
  if (!window_fits(run.window)) return L"";

  Console::set_full_screen(true);
  SelectionPage page(run.window, std::wstring(kDisplayTitle), run.command.search_text, platform::is_directory,
                     link_off_drive);
  page.open(static_cast<std::int64_t>(shown.matches.paths.size()));
  const PageResult result = run_passes(page, run, shown, notes);
  Console::set_style(Style::plain);
  Console::clear();
  // Keys meant for the screen must not reach the shell.
  Console::discard_keys();
  Console::set_full_screen(false);
  // After F2 the list may have come back empty.
  if (shown.matches.paths.empty() && shown.matches.unreadable_index.empty()) {
    notes.emplace_back(L"No directory found...");
  }
  for (const auto& line : notes) Console::print_line(line);
  Console::close();
  return result.kind == PageResult::Kind::chosen ? result.path : L"";
}

}  // namespace zrn

#include "app/selection_path.h"

#include <utility>

#include "app/build_watch.h"
#include "app/identity.h"
#include "app/learned_order.h"
#include "app/program_state.h"
#include "app/run_control.h"
#include "console/console.h"
#include "console/screen_frame.h"
#include "console/screen_layout.h"
#include "console/selection_screen.h"
#include "handoff/safe_path.h"
#include "index/index_builder.h"
#include "index/index_places.h"
#include "platform/files.h"
#include "platform/system.h"
#include "search/match_collection.h"

namespace zrn {

namespace {

constexpr unsigned kMessagePause = 5000;

// The list the passes show, and the drive it was found on (empty for the
// list of every indexed drive).
struct ListOnPage {
  std::wstring drive_root;
  Matches matches;
};

// False, after telling the user, when the window cannot hold the screen.
bool window_fits(Console& console, Size window) {
  const std::wstring message = size_message(window.width, window.height);
  if (message.empty()) return true;
  // In line mode, before any screen of the program's own: the console wraps
  // the message to the window, and it stays there after the run.
  console.print_line(message);
  platform::pause(kMessagePause);
  console.close();
  return false;
}

// Without a console to read keys from or to draw on, nobody can choose: the
// matches are listed, one per line, and nothing changes.
void list_matches(Console& console, const Matches& matches, const std::vector<std::wstring>& notes) {
  // Each printed line is flushed; a thousand at a time keeps a long list
  // (up to the cap) from costing a flush per match.
  constexpr std::size_t kLinesPerPrint = 1000;
  const std::vector<std::wstring>& paths = matches.paths;
  std::wstring lines;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    if (!lines.empty()) lines += L"\r\n";
    lines += paths[i];
    if ((i + 1) % kLinesPerPrint == 0 || i + 1 == paths.size()) {
      console.print_line(lines);
      lines.clear();
    }
  }
  if (matches.not_shown > 0) {
    console.print_line(L"(+" + with_thousands(static_cast<std::int64_t>(matches.not_shown)) + L" more)");
  }
  for (const auto& line : notes) console.print_line(line);
}

// A build the user cancelled, or a drive that is gone: nothing was searched.
bool stopped_short(IndexOutcome outcome) {
  return outcome == IndexOutcome::cancelled || outcome == IndexOutcome::drive_missing;
}

PageResult next_pass(Console& console, SelectionPage& page, const ListOnPage& list) {
  pause_reading_keys(console, kShortKeyWait);
  return page.run(list.matches.paths, list.matches.not_shown, list.drive_root);
}

// F2: the drive's index built anew, then searched again: on one drive's
// list that drive's, on the list of every indexed drive every such drive,
// the rebuilt one among them.
SearchResult rebuild_and_search(const IndexSettings& settings, const std::wstring& root, const ListOnPage& list,
                                std::wstring_view search_text) {
  if (!list.drive_root.empty()) return collect_from_index(settings, root, search_text, Rebuild::always);
  const PreparedIndex index = prepare_index(settings, root, Rebuild::always);
  if (stopped_short(index.outcome)) {
    return {index.outcome, {}};
  }
  return {index.outcome, search_indexed_drives(search_text)};
}

// A cancelled build or a drive that is gone leaves the list as it was.
PageResult rescan(Console& console, SelectionPage& page, const ProgramState& run, const IndexSettings& settings,
                  const std::wstring& root, ListOnPage& list, std::vector<std::wstring>& notes) {
  SearchResult found = rebuild_and_search(settings, root, list, run.command.search_text);
  if (stopped_short(found.outcome)) {
    return page.resume(outcome_message(found.outcome, root));
  }
  if (found.outcome == IndexOutcome::not_written) {
    // The drive's earlier index, if any, still answers the search.
    const std::wstring index = index_file_path(root);
    page.note_next_pass(L"Not written: " + index);
    notes.push_back(L"The index file " + index + L" could not be written.");
  }
  list.matches = std::move(found.matches);
  order_matches(run, list.matches.paths);
  if (!list.matches.unreadable_index.empty()) notes.push_back(nothing_found_line(list.matches));
  return next_pass(console, page, list);
}

// F3: the matches on the drive typed. A drive without a match leaves the
// list, and the drive, as they were.
PageResult change_drive(Console& console, SelectionPage& page, const ProgramState& run, const IndexSettings& settings,
                        const std::wstring& root, ListOnPage& list) {
  const std::wstring& search_text = run.command.search_text;
  SearchResult found = collect_from_index(settings, root, search_text, Rebuild::when_old);
  if (stopped_short(found.outcome)) {
    return page.resume(outcome_message(found.outcome, root));
  }
  if (!found.matches.unreadable_index.empty()) {
    return page.resume(nothing_found_line(found.matches) + L" The list stays.");
  }
  if (found.matches.paths.empty()) {
    return page.resume(L"No directory on drive " + root + L" holds " + std::wstring(search_text) +
                       L"; the list stays.");
  }
  list = {root, std::move(found.matches)};
  order_matches(run, list.matches.paths);
  return next_pass(console, page, list);
}

// Passes until one ends with a choice or without one. The builds that F2 and
// F3 start show their progress on the page.
PageResult run_passes(SelectionPage& page, const ProgramState& run, RunControl& control, ListOnPage& list,
                      std::vector<std::wstring>& notes) {
  Console& console = control.console();
  BuildWatch watch(control, notes, &page);
  IndexSettings settings = run.index;
  settings.progress = &watch;
  PageResult result = next_pass(console, page, list);
  while (result.kind == PageResult::Kind::rescan || result.kind == PageResult::Kind::change_drive) {
    result = result.kind == PageResult::Kind::rescan
                 ? rescan(console, page, run, settings, result.drive_root, list, notes)
                 : change_drive(console, page, run, settings, result.drive_root, list);
  }
  return result;
}

}  // namespace

std::wstring nothing_found_line(const Matches& matches) {
  if (matches.unreadable_index.empty()) return L"No directory found...";
  return L"The index file " + matches.unreadable_index + L" could not be read; nothing was searched.";
}

std::wstring run_selection_path(const ProgramState& run, RunControl& control, Matches matches,
                                std::vector<std::wstring>& notes) {
  Console& console = control.console();
  ListOnPage list{run.command.all_drives ? L"" : run.command.drive_root, std::move(matches)};
  if (!console.interactive()) {
    list_matches(console, list.matches, notes);
    return L"";
  }
  if (!window_fits(console, run.window)) return L"";

  console.set_full_screen(true);
  SelectionPage page(console, run.window, std::wstring(kDisplayTitle), run.command.search_text, platform::is_directory,
                     link_off_drive);
  page.open(static_cast<std::int64_t>(list.matches.paths.size()));
  const PageResult result = run_passes(page, run, control, list, notes);
  console.set_style(Style::plain);
  console.clear();
  // Keys meant for the screen must not reach the shell.
  console.discard_keys();
  console.set_full_screen(false);
  // After F2 the list may have come back empty.
  if (list.matches.paths.empty() && list.matches.unreadable_index.empty()) {
    notes.push_back(nothing_found_line(list.matches));
  }
  for (const auto& line : notes) console.print_line(line);
  console.close();
  return result.kind == PageResult::Kind::chosen ? result.path : L"";
}

}  // namespace zrn

#include "app/run.h"

#include <atomic>
#include <exception>
#include <new>
#include <optional>

#include "app/build_watch.h"
#include "app/command_line.h"
#include "app/help_text.h"
#include "app/identity.h"
#include "app/learned_order.h"
#include "app/program_state.h"
#include "app/run_control.h"
#include "app/selection_path.h"
#include "config/configuration.h"
#include "config/quick_directories.h"
#include "console/console.h"
#include "console/screen_layout.h"
#include "handoff/change_script.h"
#include "handoff/run_folder.h"
#include "index/exclusions.h"
#include "index/index_builder.h"
#include "index/index_places.h"
#include "index/working_files.h"
#include "info/information_report.h"
#include "paths/paths.h"
#include "platform/console_device.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "platform/system.h"
#include "platform/system_info.h"
#include "platform/text.h"
#include "search/match_collection.h"

namespace zrn {

namespace {

// The text of a standard exception, which is ASCII in the library's own.
std::wstring widened_ascii(const char* text) {
  std::wstring wide;
  for (; text && *text; ++text) wide += static_cast<unsigned char>(*text) < 0x80 ? static_cast<wchar_t>(*text) : L'?';
  return wide;
}

ReportFacts report_facts(const ProgramState& run) {
  ReportFacts facts;
  facts.display_title = std::wstring(kDisplayTitle);
  facts.version_text = std::wstring(kVersionText);
  facts.author_name = std::wstring(kAuthorName);
  facts.maker_place = std::wstring(kMakerPlace);
  facts.web_address = std::wstring(kWebAddress);
  facts.build_time = build_time();
  facts.commit = L"" ZRN_COMMIT;
  facts.user_name = platform::user_name();
  facts.computer_name = platform::computer_name();
  facts.memory_bytes = platform::total_physical_memory();
  facts.processor_name = processor_name(platform::processor_brand_bytes());
  facts.window_width = run.window.width;
  facts.window_height = run.window.height;
  facts.program_directory = run.program_directory;
  return facts;
}

// Writes the change script for `directory`; a script that could not be
// written is said in one line, with the reason, since the shell then stays
// where it is.
ScriptWrite hand_over(Console& console, ChangeScript& script, const std::wstring& directory) {
  std::wstring error;
  const ScriptWrite written = script.write(directory, &error);
  if (written == ScriptWrite::failed) {
    console.open();
    console.print_line(L"ZRN could not write its change script: " + error + L"; the directory stays as it is.");
  }
  return written;
}

// Hands the table entry that the /Q character names to the change script,
// or says that the switch has no directory.
void run_quick_directory_mode(const ProgramState& run, Console& console, ChangeScript& script) {
  const wchar_t switch_character = run.command.quick_switch.front();
  const std::wstring& entry = run.quick_directories[quick_entry_index(switch_character)];
  // An entry that no directory can have (a quote, a control character) is
  // as good as none.
  if (!entry.empty() && hand_over(console, script, entry) != ScriptWrite::refused) return;
  console.print_line();
  console.print_line(std::wstring(kDisplayTitle));
  console.print_line();
  console.print_line(quick_switch_message(switch_character, entry, run.program_directory + L"ZRN.INI"));
}

constexpr std::wstring_view kNoIndexedDrive = L"No local drive has an index yet; ZRN d: /R makes one for D:.";

// The drive the command names, or after "*:" every local drive that has an
// index.
std::vector<std::wstring> drives_named(const ProgramState& run) {
  return run.command.all_drives ? indexed_local_drives() : std::vector{run.command.drive_root};
}

// After "No directory found...": how old each index searched is, and how
// to rebuild it.
std::vector<std::wstring> index_age_lines(const ProgramState& run) {
  std::vector<std::wstring> lines;
  const auto drives = drives_named(run);
  for (const std::wstring& root : drives) {
    if (const auto written = usable_index_time(index_in_use(root))) {
      lines.push_back(index_age_line(root, *written, platform::now_local_seconds()));
    }
  }
  if (run.command.all_drives && lines.empty()) lines.emplace_back(kNoIndexedDrive);
  return lines;
}

// The lines that say why the search ends without a list; none when the
// matches go on to the change script or the page.
std::vector<std::wstring> search_stop_lines(const ProgramState& run, const SearchResult& found) {
  // A stopped build, a missing drive, or nothing found: one line says so.
  if (std::wstring message = outcome_message(found.outcome, run.command.drive_root); !message.empty()) {
    return {std::move(message)};
  }
  if (!found.matches.paths.empty()) return {};
  std::vector<std::wstring> lines{nothing_found_line(found.matches)};
  if (found.matches.unreadable_index.empty()) {
    std::vector<std::wstring> ages = index_age_lines(run);
    lines.insert(lines.end(), ages.begin(), ages.end());
  }
  return lines;
}

void run_search_mode(const ProgramState& run, RunControl& control, ChangeScript& script,
                     std::vector<std::wstring>& notes) {
  Console& console = control.console();
  const std::wstring& search_text = run.command.search_text;
  SearchResult found = run.command.all_drives ? collect_matches_on_all_drives(run.index, search_text)
                                              : collect_matches(run.index, search_text, run.command.drive_root);
  std::vector<std::wstring>& paths = found.matches.paths;
  order_matches(run, paths);
  // What a build had to tell (a listing it stopped) is said as a line.
  const auto print_notes = [&] {
    if (notes.empty()) return;
    console.open();
    for (const auto& line : notes) console.print_line(line);
  };
  if (const std::vector<std::wstring> lines = search_stop_lines(run, found); !lines.empty()) {
    print_notes();
    console.open();
    for (const auto& line : lines) console.print_line(line);
  } else if (paths.size() == 1) {
    // Only a choice that reached the change script is learned.
    if (hand_over(console, script, paths.front()) == ScriptWrite::written) remember_choice(run, paths.front());
    print_notes();
  } else {
    const std::wstring chosen = run_selection_path(run, control, std::move(found.matches), notes);
    if (!chosen.empty() && hand_over(console, script, chosen) == ScriptWrite::written) remember_choice(run, chosen);
  }
}

// The line a rebuild ends with, also where nobody watched it (a scheduled
// task): what became of the index.
std::wstring rebuild_line(IndexOutcome outcome, const std::wstring& drive_root) {
  const std::wstring drive = platform::upper(drive_root.substr(0, 2));
  switch (outcome) {
    case IndexOutcome::built:
      return L"The index of " + drive + L" was rebuilt: " + index_in_use(drive_root);
    case IndexOutcome::not_written:
      return L"The index of " + drive + L" could not be written.";
    default:
      return outcome_message(outcome, drive_root);
  }
}

// /R: the index built anew, with its progress and ESC, and no page and no
// change of directory. "*: /R" rebuilds every local drive that has one.
void run_rebuild_mode(const ProgramState& run, Console& console, std::vector<std::wstring>& notes) {
  const auto drives = drives_named(run);
  std::vector<std::wstring> lines;
  for (const std::wstring& root : drives) {
    // A share (the current folder's, with no drive typed) has no index.
    if (!is_drive_root(root)) {
      lines.emplace_back(L"Only a drive has an index: name one, as in ZRN d: /R.");
      break;
    }
    const IndexOutcome outcome = prepare_index(run.index, root, Rebuild::always).outcome;
    lines.push_back(rebuild_line(outcome, root));
    if (outcome == IndexOutcome::cancelled) break;
  }
  if (drives.empty()) lines.emplace_back(kNoIndexedDrive);
  console.open();
  for (const auto& line : notes) console.print_line(line);
  for (const auto& line : lines) console.print_line(line);
  console.close();
}

void dispatch_mode(const ProgramState& run, RunControl& control, ChangeScript& script,
                   std::vector<std::wstring>& notes) {
  Console& console = control.console();
  if (run.command.words_lost) {
    console.open();
    console.print_line(L"ZRN could not read the words you typed; the directory stays as it is.");
    console.close();
  } else if (run.command.info) {
    print_information_report(console, report_facts(run));
    console.close();
  } else if (run.command.help) {
    print_help(console);
    console.close();
  } else if (!run.command.quick_switch.empty()) {
    run_quick_directory_mode(run, console, script);
    console.close();
  } else if (run.command.rebuild) {
    run_rebuild_mode(run, console, notes);
  } else {
    run_search_mode(run, control, script, notes);
  }
}

// What the run reads before it does anything: ZRN.INI, the change script the
// wrapper named, the command line.
ChangeScript read_run_settings(ProgramState& run) {
  const Configuration configuration = read_configuration(run.program_directory);
  run.quick_directories = quick_directory_table(configuration.quick_directories);
  run.index.age_limit = configuration.index_age_limit;
  run.learned_order = configuration.learned_order;
  run.index.exclusions.insert(run.index.exclusions.end(), configuration.exclusions.begin(),
                              configuration.exclusions.end());
  ChangeScript script = ChangeScript::choose(platform::environment_variable(L"ZRN_SCRIPT"), run.program_directory,
                                             run.index.temporary_directory);
  script.move_with_pushd(configuration.change_with_pushd);
  run.command = read_command_line(script.run_folder());
  return script;
}

// Reads what the run needs and does its one mode; what went wrong, if the
// run failed half-way.
std::wstring run_mode(ProgramState& run, RunControl& control, std::optional<ChangeScript>& script,
                      std::vector<std::wstring>& notes) {
  try {
    run.window = control.console().window_size().value_or(Size{});
    run.program_directory = program_directory();
    script.emplace(read_run_settings(run));
    script->reset();
    remove_stale_run_folders(run.index.temporary_directory);
    dispatch_mode(run, control, *script, notes);
  } catch (const std::bad_alloc&) {
    return L"the system refused it memory";
  } catch (const std::exception& error) {
    return L"an unexpected failure (" + widened_ascii(error.what()) + L")";
  } catch (...) {
    return L"an unexpected failure";
  }
  return L"";
}

}  // namespace

int run_program() {
  platform::set_up_process();
  ProgramState run;
  run.index.temporary_directory = temporary_directory();
  if (!credits_intact(kAuthorName, kMakerPlace)) {
    platform::show_message(std::wstring(kDisplayTitle),
                           L"The program's built-in texts have been altered. The program ends.");
    return 0;
  }
  run.index.exclusions = default_exclusions();
  run.index.web_address = std::wstring(kWebAddress);

  // Never destroyed: the control thread may still use them while the
  // process ends.
  platform::ConsoleDevice& device = platform::windows_console();
  Console& console = *new Console(device);
  RunControl& control = *new RunControl(console);
  // Lines said once the console is the user's again (a listing stopped).
  std::vector<std::wstring> notes;
  BuildWatch build_watch(control, notes);
  run.index.progress = &build_watch;
  // Even a failure inside the program leaves the console as the user had it.
  platform::on_internal_failure(give_watched_console_back);
  console.open(std::wstring(kDisplayTitle));
  control.watch(device);
  std::optional<ChangeScript> script;
  const std::wstring failure = run_mode(run, control, script, notes);
  // A run that failed half-way never moves the shell, and says so once the
  // console is the user's again.
  if (!failure.empty() && script) script->reset();
  control.shutdown();
  if (!failure.empty()) {
    console.open();
    console.print_line(L"ZRN stopped early: " + failure + L". The directory was not changed.");
    console.close();
  }
  // Only a run that made its run folder's script whole tells the wrapper so.
  return failure.empty() && script && script->made_whole() ? kScriptMadeExitCode : 0;
}

}  // namespace zrn

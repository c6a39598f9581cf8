#include "app/run.h"

#include <atomic>
#include <exception>
#include <new>
#include <optional>

#include "app/build_watch.h"
#include "app/command_line.h"
#include "app/help_text.h"
#include "app/identity.h"
#include "app/program_state.h"
#include "app/run_control.h"
#include "app/selection_path.h"
#include "config/configuration.h"
#include "config/quick_directories.h"
#include "console/console.h"
#include "console/screen_layout.h"
#include "handoff/change_script.h"
#include "handoff/run_folder.h"
#include "handoff/safe_path.h"
#include "index/exclusions.h"
#include "index/index_builder.h"
#include "index/working_files.h"
#include "info/information_report.h"
#include "paths/paths.h"
#include "platform/console_device.h"
#include "platform/environment.h"
#include "platform/system.h"
#include "platform/system_info.h"
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

// The line that says why the search ends without a list; empty when the
// matches go on to the change script or the page.
std::wstring search_stop_line(const SearchResult& found, const std::wstring& drive_root) {
  // A stopped build, a missing drive, or nothing found: one line says so.
  std::wstring message = outcome_message(found.outcome, drive_root);
  if (message.empty() && found.matches.paths.empty()) message = nothing_found_line(found.matches);
  return message;
}

void run_search_mode(const ProgramState& run, RunControl& control, ChangeScript& script,
                     std::vector<std::wstring>& notes) {
  Console& console = control.console();
  SearchResult found = collect_matches(run.index, run.command.search_text, run.command.drive_root);
  const std::vector<std::wstring>& paths = found.matches.paths;
  // What a build had to tell (a listing it stopped) is said as a line.
  const auto print_notes = [&] {
    if (notes.empty()) return;
    console.open();
    for (const auto& line : notes) console.print_line(line);
  };
  if (const std::wstring message = search_stop_line(found, run.command.drive_root); !message.empty()) {
    print_notes();
    console.open();
    console.print_line(message);
  } else if (paths.size() == 1) {
    hand_over(console, script, paths.front());
    print_notes();
  } else {
    const std::wstring chosen = run_selection_path(run, control, std::move(found.matches), notes);
    if (!chosen.empty()) hand_over(console, script, chosen);
  }
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
  run.index.exclusions.insert(run.index.exclusions.end(), configuration.exclusions.begin(),
                              configuration.exclusions.end());
  ChangeScript script = ChangeScript::choose(platform::environment_variable(L"ZRN_SCRIPT"), run.program_directory,
                                             run.index.temporary_directory);
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

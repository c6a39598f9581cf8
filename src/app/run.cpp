#include "app/run.h"

#include <atomic>
#include <exception>
#include <new>
#include <optional>

#include "app/build_progress.h"
#include "app/command_line.h"
#include "app/help_text.h"
#include "app/identity.h"
#include "app/program_state.h"
#include "app/selection_path.h"
#include "config/configuration.h"
#include "config/quick_directories.h"
#include "console/console.h"
#include "console/screen_layout.h"
#include "handoff/change_script.h"
#include "handoff/run_folder.h"
#include "index/exclusions.h"
#include "index/index_builder.h"
#include "index/index_storage.h"
#include "info/information_report.h"
#include "platform/command_line.h"
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
// written is said in one line, since the shell then stays where it is.
ScriptWrite hand_over(ChangeScript& script, const std::wstring& directory) {
  const ScriptWrite written = script.write(directory);
  if (written == ScriptWrite::failed) {
    Console::open();
    Console::print_line(L"ZRN could not write its change script " + script.path() + L"; the directory stays as it is.");
  }
  return written;
}

// Hands the table entry that the /Q character names to the change script,
// or says that the switch has no directory.
void run_quick_directory_mode(const ProgramState& run, ChangeScript& script) {
  const wchar_t switch_character = run.command.quick_switch.front();
  const std::wstring& entry = run.quick_directories[quick_entry_index(switch_character)];
  // An entry that no directory can have (a quote, a control character) is
  // as good as none.
  if (!entry.empty() && hand_over(script, entry) != ScriptWrite::refused) return;
  Console::print_line();
  Console::print_line(std::wstring(kDisplayTitle));
  Console::print_line();
  Console::print_line(quick_switch_message(switch_character, entry, run.program_directory + L"ZRN.INI"));
}

void run_search_mode(const ProgramState& run, ChangeScript& script, std::vector<std::wstring>& notes) {
  SearchResult found = collect_matches(run.index, run.command.search_text, run.command.drive_root);
  const std::vector<std::wstring>& paths = found.matches.paths;
  // What a build had to tell (a listing it stopped) is said as a line.
  const auto print_notes = [&] {
    if (notes.empty()) return;
    Console::open();
    for (const auto& line : notes) Console::print_line(line);
  };
  // A stopped build, a missing drive, or nothing found: one line says so.
  std::wstring message = outcome_message(found.outcome, run.command.drive_root);
  if (message.empty() && paths.empty()) message = nothing_found_line(found.matches);
  if (!message.empty()) {
    print_notes();
    Console::open();
    Console::print_line(message);
  } else if (paths.size() == 1) {
    hand_over(script, paths.front());
    print_notes();
  } else {
    const std::wstring chosen = run_selection_path(run, std::move(found.matches), notes);
    if (!chosen.empty()) hand_over(script, chosen);
  }
}

void dispatch_mode(const ProgramState& run, ChangeScript& script, std::vector<std::wstring>& notes) {
  if (run.command.words_lost) {
    Console::open();
    Console::print_line(L"ZRN could not read the words you typed; the directory stays as it is.");
    Console::close();
  } else if (run.command.info) {
    print_information_report(report_facts(run));
    Console::close();
  } else if (run.command.help) {
    print_help();
    Console::close();
  } else if (!run.command.quick_switch.empty()) {
    run_quick_directory_mode(run, script);
    Console::close();
  } else {
    run_search_mode(run, script, notes);
  }
}

}  // namespace

void shutdown() {
  // The close handler runs on the system's control thread while the main
  // thread may be ending too: only the first caller does the work.
  static std::atomic<bool> done{false};
  if (done.exchange(true)) return;
  // Files, find handles and libraries are owned by objects that close them;
  // what is left is console output still on its way, and the working files
  // of a run cut short by the closing window.
  delete_working_files();
  Console::close();
}

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

  set_shutdown_routine(shutdown);
  // Lines said once the console is the user's again (a listing stopped).
  std::vector<std::wstring> notes;
  BuildProgress build_progress(notes);
  run.index.progress = &build_progress;
  // Even a failure inside the program leaves the console as the user had it.
  platform::on_internal_failure([] { Console::give_back(); });
  Console::open(std::wstring(kDisplayTitle));
  std::optional<ChangeScript> script;
  std::wstring failure;
  try {
    run.window = Console::window_size().value_or(Size{});
    run.program_directory = program_directory();
    const Configuration configuration = read_configuration(run.program_directory);
    run.quick_directories = quick_directory_table(configuration.quick_directories);
    run.index.age_limit = configuration.index_age_limit;
    run.index.exclusions.insert(run.index.exclusions.end(), configuration.exclusions.begin(),
                                configuration.exclusions.end());
    script.emplace(ChangeScript::choose(platform::environment_variable(L"ZRN_SCRIPT"), run.program_directory));
    run.command = read_command_line(script->run_folder());
    script->reset();
    remove_stale_run_folders(platform::temp_path());

    dispatch_mode(run, *script, notes);
  } catch (const std::bad_alloc&) {
    failure = L"the system refused it memory";
  } catch (const std::exception& error) {
    failure = L"an unexpected failure (" + widened_ascii(error.what()) + L")";
  } catch (...) {
    failure = L"an unexpected failure";
  }
  // A run that failed half-way never moves the shell, and says so once the
  // console is the user's again.
  if (!failure.empty() && script) script->reset();
  shutdown();
  if (!failure.empty()) {
    Console::open();
    Console::print_line(L"ZRN stopped early: " + failure + L". The directory was not changed.");
    Console::close();
  }
  // Only a run that made its run folder's script whole tells the wrapper so.
  return failure.empty() && script && script->made_whole() ? kScriptMadeExitCode : 0;
}

}  // namespace zrn

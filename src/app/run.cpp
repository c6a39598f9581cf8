#include "app/run.h"

#include <atomic>
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
#include "search/match_collection.h"

namespace zrn {

namespace {

void run_search_mode() {
  auto& s = state();
  const IndexOutcome outcome = collect_matches();
  s.match_count = static_cast<std::int64_t>(s.matches.size());
  // What a build had to tell (a listing it stopped) is said as a line.
  const auto print_notes = [&] {
    if (s.after_screen.empty()) return;
    Console::open();
    for (const auto& line : s.after_screen) Console::print_line(line);
  };
  if (const std::wstring message = outcome_message(outcome, s.drive_root); !message.empty()) {
    print_notes();
    Console::open();
    Console::print_line(message);
  } else if (s.match_count == 0) {
    print_notes();
    Console::open();
    Console::print_line(L"No directory found...");
  } else if (s.match_count == 1) {
    s.chosen_directory = s.matches.front();
    write_change_script();
    print_notes();
  } else {
    run_selection_path();
  }
}

void dispatch_mode() {
  const auto& s = state();
  if (s.info_flag) {
    print_information_report();
    Console::close();
  } else if (s.help_flag) {
    print_help();
    Console::close();
  } else if (!s.quick_switch.empty()) {
    run_quick_directory_mode(s.quick_switch.front());
    Console::close();
  } else {
    run_search_mode();
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
  auto& s = state();
  platform::set_up_process();

  s.temporary_directory = temporary_directory();
  if (!credits_intact(kAuthorName, kMakerPlace)) {
    platform::show_message(std::wstring(kDisplayTitle),
                           L"The program's built-in texts have been altered. The program ends.");
    return 0;
  }
  s.exclusions = default_exclusions();

  set_shutdown_routine(shutdown);
  static BuildProgress build_progress;
  set_index_progress(&build_progress);
  // Even a failure inside the program leaves the console as the user had it.
  platform::on_internal_failure([] { Console::give_back(); });
  Console::open(std::wstring(kDisplayTitle));
  try {
    if (const std::optional<Size> size = Console::window_size()) {
      s.window_width = size->width;
      s.window_height = size->height;
    }

    s.program_directory = program_directory();
    read_configuration();
    choose_change_script(platform::environment_variable(L"ZRN_SCRIPT"), platform::environment_variable(L"ZRN_TOKEN"));
    read_command_line();
    reset_change_script();
    remove_stale_run_folders(platform::temp_path());

    dispatch_mode();
  } catch (...) {
    // Out of memory, most likely: the run ends like any other, with the
    // change script as far as it got.
  }
  shutdown();
  return 0;
}

}  // namespace zrn

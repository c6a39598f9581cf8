#pragma once
// The program state: what one run knows, read once at its start and then
// handed from call to call. Nothing of it is kept anywhere else.
#include <string>

#include "app/command_line.h"
#include "config/quick_directories.h"
#include "console/console.h"
#include "index/index_builder.h"

namespace zrn {

struct ProgramState {
  std::wstring program_directory;  // ends with a backslash
  Size window;                     // at start-up; 0 x 0 without a console
  QuickTable quick_directories;
  IndexSettings index;  // the temporary directory, exclusions, age limit, progress
  CommandLine command;
  bool learned_order = false;  // ZRN.INI: Order = learned
};

}  // namespace zrn

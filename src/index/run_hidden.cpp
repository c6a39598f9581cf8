#include "index/run_hidden.h"

#include "platform/process.h"

namespace zrn {

platform::HiddenRun run_hidden(const std::wstring& parameters, const std::wstring& output,
                               const std::function<bool()>& keep_waiting) {
  platform::HiddenCommand command;
  command.program = platform::system_command_interpreter();
  if (command.program.empty()) return {};
  // The output file reaches cmd as its standard output handle, so its path
  // is never part of the command line, where cmd would read a '%', '!' or
  // '^' of it (a legal folder name under TEMP) as syntax. ShellExecuteExW
  // cannot hand over a handle: there the path comes in a variable, which
  // cmd on Windows expands once.
  command.parameters = L"/D /V:OFF " + parameters;
  command.output = output;
  command.fallback_parameters = command.parameters + L" >\"%ZRN_LISTING%\"";
  platform::set_inherited_variable(L"ZRN_LISTING", output);
  return platform::run_hidden_and_wait(command, keep_waiting);
}

}  // namespace zrn

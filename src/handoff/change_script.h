#pragma once
// The change script that the wrapper runs in the calling shell: ZRN2.BAT
// beside the program, or the path the wrapper gave this run.
#include <optional>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace zrn {

// The bytes of the script: "@echo off" alone, or the lines that move the
// shell to `directory` and then confirm it. UTF-8 without byte-order mark,
// CR LF. The script switches the console to UTF-8 while it runs and gives
// back `code_page`, the one the console had (0 when unknown: no switch).
// It is safe with delayed expansion on or off, and it prints the
// confirmation only when the change of directory succeeded.
std::string reset_script_bytes();
std::string change_script_bytes(std::wstring_view directory, unsigned code_page = 0);

// cmd reads a directory name as commands unless it is escaped: carets before
// ^ & | < > ( ) and doubled percent signs for the echo line ...
std::wstring escape_for_echo(std::wstring_view text);
// ... doubled percent signs inside a quoted argument ...
std::wstring escape_for_quoted(std::wstring_view text);
// ... and, where delayed expansion reads the line, carets before ^ and ! too.
std::wstring escape_for_delayed_quoted(std::wstring_view text);

// The wrapper names the script of its own run in ZRN_SCRIPT; it is used only
// when it lies in a run folder of `temporary_directory`, and is then only
// ever created anew. Otherwise the script is ZRN2.BAT in the program
// directory, as when the program is started directly.
std::wstring change_script_path_for(const std::optional<std::wstring>& wrapper_script,
                                    std::wstring_view temporary_directory, const std::wstring& program_directory);
// The change script of this run: where it lies, and the one way to write it.
class ChangeScript {
 public:
  // The script the wrapper named in ZRN_SCRIPT when it lies in a run folder
  // of the temporary directory (the run's, or the one TMP names as it
  // stands), else ZRN2.BAT in `program_directory`. In a
  // run folder, once the script is made, a file named by `token` tells the
  // wrapper that the script is this run's own.
  static ChangeScript choose(const std::optional<std::wstring>& wrapper_script,
                             const std::optional<std::wstring>& token, const std::wstring& program_directory,
                             const std::wstring& temporary_directory);
  // A script at `path` that is no run folder's.
  explicit ChangeScript(std::wstring path);

  const std::wstring& path() const { return path_; }
  // The wrapper's folder of this run; empty without one.
  const std::wstring& run_folder() const { return run_folder_; }

  // "@echo off" alone: the shell stays where it is.
  void reset();
  // The lines that move the shell to `directory`. A path that no directory
  // can have never becomes code: false, and the script stays as it was.
  // False too when the script cannot be written; `error` says why.
  bool write(const std::wstring& directory, std::wstring* error);

 private:
  bool write_bytes(const std::string& bytes, std::wstring* error);

  std::wstring path_;
  std::wstring run_folder_;
  std::wstring made_marker_;  // named by the wrapper's token; empty without one
  // A run folder's script: created once by this run and held open, so that
  // nothing else replaces it and no sweep removes the folder meanwhile.
  platform::File file_;
};

}  // namespace zrn

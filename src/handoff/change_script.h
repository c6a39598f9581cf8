#pragma once
// The change script that the wrapper runs in the calling shell: ZRN2.BAT
// beside the program, or the path the wrapper gave this run.
#include <optional>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace zrn {

// The bytes of the script: "@echo off" alone, or the lines that move the
// shell to `directory` and then confirm it, CR LF. They are in `code_page`,
// the console's, when every character fits it. Otherwise they are UTF-8, and
// where the console has another code page (0: none) the script switches it
// to UTF-8 and back with `chcp`, chcp.com by its full path: the shell never
// looks for an outside program by a bare name, which would find one planted
// in the current folder first. The script is safe with delayed expansion on
// or off, and it prints the confirmation, with `note` after the directory,
// only when the change succeeded.
std::string reset_script_bytes();
// With `pushd`, the shell is moved by pushd instead of chdir /D, so that cmd's
// own popd brings it back.
std::string change_script_bytes(std::wstring_view directory, unsigned code_page = 0, std::wstring_view chcp = {},
                                std::wstring_view note = {}, bool pushd = false);

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
// The exit code that tells the wrapper "this run made the script in its run
// folder itself, and every byte of it is on disk": only the program the
// wrapper started can give it, so no file that someone else can plant in
// the folder stands for it. Started directly, the program ends with 0.
inline constexpr int kScriptMadeExitCode = 90;

enum class ScriptWrite { written, refused, failed };

// The change script of this run: where it lies, and the one way to write it.
class ChangeScript {
 public:
  // The script the wrapper named in ZRN_SCRIPT when it lies in a run folder
  // of the temporary directory (the run's, or the one TMP names as it
  // stands), else ZRN2.BAT in `program_directory`. A run folder is made
  // private to the user before anything is written in it.
  static ChangeScript choose(const std::optional<std::wstring>& wrapper_script, const std::wstring& program_directory,
                             const std::wstring& temporary_directory);
  // A script at `path` that is no run folder's.
  explicit ChangeScript(std::wstring path);

  const std::wstring& path() const { return path_; }
  // The wrapper's folder of this run; empty without one.
  const std::wstring& run_folder() const { return run_folder_; }

  // "@echo off" alone: the shell stays where it is.
  void reset();
  // The lines that move the shell to `directory`. A path that no directory
  // can have never becomes code (refused), and a write that fails leaves no
  // script the wrapper runs (failed); `error` then says why.
  ScriptWrite write(const std::wstring& directory, std::wstring* error);
  // The run folder's script was created by this run, and its last write
  // reached the disk whole: the wrapper may run it.
  bool made_whole() const { return whole_; }
  // Later writes move the shell with pushd (ZRN.INI: Change = pushd).
  void move_with_pushd(bool on) { pushd_ = on; }

 private:
  bool write_bytes(const std::string& bytes, std::wstring* error);

  std::wstring path_;
  std::wstring run_folder_;
  // A run folder's script: created once by this run and held open, so that
  // nothing else replaces it and no sweep removes it meanwhile.
  platform::File file_;
  bool pushd_ = false;
  bool whole_ = false;
};

}  // namespace zrn

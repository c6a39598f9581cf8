#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zrn {

// Told how far the listing of a drive has come while its index is built, so
// that a long wait is never silent, and asked whether the user stopped it.
// What went wrong is told here as it happens; how the user hears of it is
// the caller's choice.
class IndexProgress {
 public:
  virtual ~IndexProgress() = default;
  virtual void started(const std::wstring& drive_root) = 0;
  virtual void listing(const std::wstring& drive_root, std::uint64_t folders) = 0;
  // True once the user asked to stop the build.
  virtual bool cancelled() = 0;
  virtual void finished() = 0;
  // The listing was no listing of a real drive; the previous index stays.
  // `reason` says what gave it away, as a sentence.
  virtual void listing_stopped(const std::wstring& drive_root, const std::wstring& reason) = 0;
  // The index could not be made or put into place; `reason` says which step
  // failed and why. Told while the raw listing still exists, so that the
  // user can copy it by hand.
  virtual void install_failed(const std::wstring& raw_path, const std::wstring& index_path,
                              const std::wstring& reason) = 0;
};

// What a build needs from the run.
struct IndexSettings {
  std::wstring temporary_directory;      // ends with a backslash
  std::vector<std::wstring> exclusions;  // upper case
  std::uint16_t age_limit = 0;           // weeks; 0: never too old
  std::wstring web_address;              // the readme's last line
  IndexProgress* progress = nullptr;     // none: the build runs unwatched
};

// What became of a drive's index.
enum class IndexOutcome {
  ready,          // it was there and young enough: nothing built
  built,          // built and installed
  not_written,    // built, but neither place for it could be written
  cancelled,      // the user stopped the build: the previous index stays
  drive_missing,  // no drive behind the letter: nothing listed
};

// When a search builds the drive's index first: only when it is absent or
// too old, or in any case (F2).
enum class Rebuild { when_old, always };

// What became of the index, and the index a search reads now (empty when
// nothing is to be read: a cancelled build, no drive).
struct PreparedIndex {
  IndexOutcome outcome = IndexOutcome::ready;
  std::wstring path;
};

// The one place that decides whether a drive's index is built before a
// search reads it, and builds it then.
PreparedIndex prepare_index(const IndexSettings& settings, const std::wstring& drive_root, Rebuild rebuild);
// The line that tells the user why a search stopped short: a cancelled
// build, or a drive letter with no drive; empty for the other outcomes.
std::wstring outcome_message(IndexOutcome outcome, const std::wstring& drive_root);

// After a search that found nothing in the index of `drive_root`, written at
// `index_seconds` (local seconds since 1970): "The index of D: is 12 days old
// (2026-11-26); ZRN d: /R rebuilds it."
std::wstring index_age_line(const std::wstring& drive_root, std::int64_t index_seconds, std::int64_t now_seconds);

// The index needs a build: it is absent, empty, or older than `limit` weeks.
bool index_needs_build(std::optional<std::int64_t> index_seconds, std::int64_t now_seconds, std::uint16_t limit);

// The age rule: the age in days rounded half to even, in weeks rounded up,
// is more than `limit` weeks. Times are local seconds since 1970; a limit of
// 0 never finds an index too old, nor does a time in the future.
bool index_too_old(std::int64_t index_seconds, std::int64_t now_seconds, std::uint16_t limit);

// The parameters for cmd.exe that list every directory below the drive root
// to its standard output.
std::wstring drive_listing_parameters(const std::wstring& drive_root);

// A listing that no real drive gives (a folder link that loops, a planted
// drive) ends the build with the previous index kept: more than 4 GiB of
// listing (about 20 million paths of 100 characters), or more than 1000
// paths too long to be offered (a path that keeps growing through a link).
inline constexpr std::uint64_t kLargestListingBytes = std::uint64_t{4} << 30;
inline constexpr std::uint64_t kMostOverlongPaths = 1000;
bool listing_out_of_bounds(std::uint64_t bytes, std::uint64_t overlong_paths);

}  // namespace zrn

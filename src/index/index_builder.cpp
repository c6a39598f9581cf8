#include "index/index_builder.h"

#include "index/index_install.h"
#include "index/index_places.h"
#include "index/listing_filter.h"
#include "index/run_hidden.h"
#include "index/working_files.h"
#include "paths/paths.h"
#include "platform/files.h"
#include "platform/text.h"

namespace zrn {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

std::int64_t days_rounded_half_to_even(std::int64_t seconds) {
  std::int64_t days = seconds / kSecondsPerDay;
  std::int64_t rest = seconds % kSecondsPerDay;
  if (rest < 0) {
    rest += kSecondsPerDay;
    --days;
  }
  if (2 * rest > kSecondsPerDay || (2 * rest == kSecondsPerDay && days % 2 != 0)) ++days;
  return days;
}

std::int64_t weeks_rounded_up(std::int64_t days) { return days / 7 + (days % 7 > 0 ? 1 : 0); }

// "2026-11-26" for a count of days since 1970-01-01 (the civil calendar's
// rule, also before 1970).
std::wstring calendar_date(std::int64_t days) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t day_of_era = days - era * 146097;
  const std::int64_t year_of_era = (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const std::int64_t day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const std::int64_t shifted_month = (5 * day_of_year + 2) / 153;
  const std::int64_t day = day_of_year - (153 * shifted_month + 2) / 5 + 1;
  const std::int64_t month = shifted_month < 10 ? shifted_month + 3 : shifted_month - 9;
  const std::int64_t year = year_of_era + era * 400 + (month <= 2 ? 1 : 0);
  const auto two = [](std::int64_t n) { return (n < 10 ? L"0" : L"") + std::to_wstring(n); };
  return std::to_wstring(year) + L"-" + two(month) + L"-" + two(day);
}

std::int64_t floor_days(std::int64_t seconds) {
  return seconds >= 0 ? seconds / kSecondsPerDay : -((-seconds + kSecondsPerDay - 1) / kSecondsPerDay);
}

}  // namespace

std::wstring index_age_line(const std::wstring& drive_root, std::int64_t index_seconds, std::int64_t now_seconds) {
  const std::wstring drive = platform::upper(drive_root.substr(0, 2));
  std::wstring typed = drive;
  typed[0] = platform::lower_char(typed[0]);
  const std::int64_t days = floor_days(now_seconds - index_seconds);
  const std::wstring age = days < 1    ? L"less than a day old"
                           : days == 1 ? L"1 day old"
                                       : std::to_wstring(days) + L" days old";
  return L"The index of " + drive + L" is " + age + L" (" + calendar_date(floor_days(index_seconds)) + L"); ZRN " +
         typed + L" /R rebuilds it.";
}

bool index_too_old(std::int64_t index_seconds, std::int64_t now_seconds, std::uint16_t limit) {
  if (limit == 0) return false;
  return weeks_rounded_up(days_rounded_half_to_even(now_seconds - index_seconds)) > limit;
}

std::wstring drive_listing_parameters(const std::wstring& drive_root) {
  // /U makes cmd write the listing as UTF-16, so every name arrives intact
  // whatever the console's code page.
  return L"/U /C dir " + drive_root + L" /ad /b /on /s";
}

bool listing_out_of_bounds(std::uint64_t bytes, std::uint64_t overlong_paths) {
  return bytes > kLargestListingBytes || overlong_paths > kMostOverlongPaths;
}

namespace {

// One build's listing: cmd writes it, the filter reads it as it grows, and
// its growing line count is the progress the user sees.
class DriveListing {
 public:
  DriveListing(const IndexSettings& settings, const std::wstring& drive_root)
      : progress_(settings.progress),
        drive_root_(drive_root),
        raw_(settings.temporary_directory, kIndexFileName, SweepRule::temporary),
        filtered_(settings.temporary_directory, std::wstring(kIndexFileName) + L"1", SweepRule::temporary),
        filter_(filtered_.path(), settings.exclusions) {}

  // Runs cmd until the listing is whole, the user stops it or it grows past
  // any real drive. True when it ran to its end.
  bool run() {
    if (!filter_.is_open()) error_ = L"the filtered listing " + filtered_.path() + L" could not be made";
    const platform::HiddenRun run =
        run_hidden(drive_listing_parameters(drive_root_), raw_.path(), [&] { return keep_listing(); });
    if (!run.started) return false;
    if (cancelled_) return false;
    // Only now is the listing whole: what cmd wrote last is read after it
    // ended.
    if (!run.stopped) read_new_lines();
    if (run.crashed()) {
      stop_reason_ = L"cmd ended by a crash (exit code 0x" + platform::hex_digits(run.exit_code, 8) + L").";
    }
    whole_ = filter_.finish() && error_.empty() && listing_.is_open();
    if (error_.empty() && !listing_.is_open()) error_ = L"cmd wrote no listing to " + raw_.path();
    listing_.close();
    return true;
  }

  bool cancelled() const { return cancelled_; }
  // Why the listing is no listing of a real drive; empty when it is one.
  const std::wstring& stop_reason() const { return stop_reason_; }
  // Whether every line was read and written, and why not.
  bool whole() const { return whole_; }
  const std::wstring& error() const { return error_; }
  const std::wstring& raw_path() const { return raw_.path(); }
  const std::wstring& filtered_path() const { return filtered_.path(); }

 private:
  bool read_new_lines() {
    if (!error_.empty()) return false;
    if (!listing_.is_open()) listing_ = platform::File::open_for_reading(raw_.path());
    if (listing_.is_open() && !filter_.read_more(listing_)) {
      error_ = L"the listing " + raw_.path() + L" could not be read, or its filtered copy not written";
    }
    if (progress_) progress_->listing(drive_root_, filter_.lines_read());
    if (listing_out_of_bounds(filter_.bytes_read(), filter_.overlong_lines())) {
      stop_reason_ = filter_.bytes_read() > kLargestListingBytes
                         ? L"it grew past " + std::to_wstring(kLargestListingBytes >> 30) +
                               L" GiB, more than any real drive lists (a folder link that loops?)."
                         : L"more than " + std::to_wstring(kMostOverlongPaths) +
                               L" of its paths were too long to be offered (a folder link that loops?).";
    }
    return error_.empty() && stop_reason_.empty();
  }

  bool keep_listing() {
    if (!read_new_lines()) return false;
    cancelled_ = progress_ && progress_->cancelled();
    return !cancelled_;
  }

  IndexProgress* const progress_;
  const std::wstring& drive_root_;
  const WorkingFile raw_;
  const WorkingFile filtered_;
  ListingFilter filter_;
  platform::File listing_;
  bool cancelled_ = false;
  bool whole_ = false;
  std::wstring stop_reason_;
  std::wstring error_;
};

// The listing installed as the drive's index, or the user told why not.
// Returns where the index now lies; empty when nothing was installed.
std::wstring install_listing(const DriveListing& listing, IndexProgress* progress, const std::wstring& drive_root,
                             bool own_place_usable) {
  if (!listing.stop_reason().empty()) {
    if (progress) progress->listing_stopped(drive_root, listing.stop_reason());
    return L"";
  }
  std::wstring error = listing.error();
  std::wstring installed;
  if (listing.whole()) installed = install_index(listing.filtered_path(), drive_root, own_place_usable, &error);
  if (installed.empty() && progress) progress->install_failed(listing.raw_path(), index_file_path(drive_root), error);
  return installed;
}

// Builds the drive's index anew; never `ready`.
PreparedIndex build_index(const IndexSettings& settings, const std::wstring& drive_root) {
  // Only a letter names a drive; anything else would reach cmd as syntax.
  if (!is_drive_root(drive_root)) return {IndexOutcome::not_written, L""};
  if (!platform::is_directory(drive_root)) return {IndexOutcome::drive_missing, L""};
  const bool data_directory_usable = prepare_data_directory(drive_root);
  std::wstring installed;
  {
    IndexProgress* const progress = settings.progress;
    DriveListing listing(settings, drive_root);
    if (progress) progress->started(drive_root);
    // A listing that never appeared, or any failed read or write, keeps the
    // drive's previous index and tells the user why.
    if (listing.run()) installed = install_listing(listing, progress, drive_root, data_directory_usable);
    if (progress) progress->finished();
    // A stopped build leaves everything as it was, the readme included.
    if (listing.cancelled()) return {IndexOutcome::cancelled, L""};
  }
  if (data_directory_usable) write_readme(drive_root, settings.web_address);
  if (installed.empty()) return {IndexOutcome::not_written, index_in_use(drive_root)};
  return {IndexOutcome::built, installed};
}

}  // namespace

std::wstring outcome_message(IndexOutcome outcome, const std::wstring& drive_root) {
  const std::wstring drive = platform::upper(drive_root.substr(0, 2));
  switch (outcome) {
    case IndexOutcome::cancelled:
      return L"The index build of drive " + drive + L" was cancelled.";
    case IndexOutcome::drive_missing:
      return L"Drive " + drive + L" is not available.";
    default:
      return L"";
  }
}

bool index_needs_build(std::optional<std::int64_t> index_seconds, std::int64_t now_seconds, std::uint16_t limit) {
  return !index_seconds || index_too_old(*index_seconds, now_seconds, limit);
}

PreparedIndex prepare_index(const IndexSettings& settings, const std::wstring& drive_root, Rebuild rebuild) {
  if (rebuild == Rebuild::always) return build_index(settings, drive_root);
  if (!platform::is_directory(drive_root)) return {IndexOutcome::drive_missing, L""};
  std::wstring in_use = index_in_use(drive_root);
  if (!index_needs_build(usable_index_time(in_use), platform::now_local_seconds(), settings.age_limit)) {
    return {IndexOutcome::ready, std::move(in_use)};
  }
  return build_index(settings, drive_root);
}

}  // namespace zrn

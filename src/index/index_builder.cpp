#include "index/index_builder.h"

#include "handoff/safe_path.h"
#include "index/index_storage.h"
#include "index/listing_filter.h"
#include "index/run_hidden.h"
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

IndexOutcome build_index(const IndexSettings& settings, const std::wstring& drive_root) {
  // Only a letter names a drive; anything else would reach cmd as syntax.
  if (!is_drive_root(drive_root)) return IndexOutcome::not_written;
  if (!platform::is_directory(drive_root)) return IndexOutcome::drive_missing;
  const bool data_directory_usable = prepare_data_directory(drive_root);
  IndexOutcome outcome = IndexOutcome::not_written;
  {
    IndexProgress* const progress = settings.progress;
    const WorkingFile raw(settings.temporary_directory, kIndexFileName, SweepRule::temporary);
    const WorkingFile filtered(settings.temporary_directory, std::wstring(kIndexFileName) + L"1", SweepRule::temporary);
    ListingFilter filter(filtered.path(), settings.exclusions);
    platform::File listing;
    bool read_ok = filter.is_open();
    bool cancelled = false;
    bool bounded = true;
    if (progress) progress->started(drive_root);
    // The listing is filtered as cmd writes it: read once, and its growing
    // line count is the progress the user sees. One that grows past any
    // real drive (a link loop) is ended.
    const auto take_what_has_come = [&] {
      if (!read_ok) return false;
      if (!listing.is_open()) listing = platform::File::open_for_reading(raw.path());
      if (listing.is_open()) read_ok = filter.read_more(listing);
      if (progress) progress->listing(drive_root, filter.lines_read());
      bounded = !listing_out_of_bounds(filter.bytes_read(), filter.overlong_lines());
      return read_ok && bounded;
    };
    const auto go_on = [&] {
      if (!take_what_has_come()) return false;
      cancelled = progress && progress->cancelled();
      return !cancelled;
    };
    const HiddenResult run = run_hidden(drive_listing_parameters(drive_root), raw.path(), go_on);
    if (run.started && !cancelled) {
      // Only now is the listing whole: what cmd wrote last is read after it
      // ended. A listing that never appeared, or any failed read or write,
      // keeps the drive's previous index and shows the copy message.
      if (!run.stopped) take_what_has_come();
      const bool whole = filter.finish() && read_ok && listing.is_open();
      listing.close();
      if (!bounded || run.crashed) {
        if (progress) progress->listing_stopped(drive_root);
      } else if (whole && install_index(filtered.path(), drive_root, data_directory_usable)) {
        outcome = IndexOutcome::built;
      } else if (progress) {
        progress->install_failed(raw.path(), index_file_path(drive_root));
      }
    }
    if (progress) progress->finished();
    // A stopped build leaves everything as it was, the readme included.
    if (cancelled) return IndexOutcome::cancelled;
  }
  if (data_directory_usable) write_readme(drive_root, settings.web_address);
  return outcome;
}

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

IndexOutcome ensure_index(const IndexSettings& settings, const std::wstring& drive_root) {
  if (!platform::is_directory(drive_root)) return IndexOutcome::drive_missing;
  const auto index_time = usable_index_time(index_in_use(drive_root));
  if (!index_needs_build(index_time, platform::now_local_seconds(), settings.age_limit)) {
    return IndexOutcome::ready;
  }
  return build_index(settings, drive_root);
}

}  // namespace zrn

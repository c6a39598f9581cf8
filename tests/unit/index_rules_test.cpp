#include <gtest/gtest.h>

#include <clocale>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "handoff/safe_path.h"
#include "index/exclusions.h"
#include "index/index_builder.h"
#include "index/index_install.h"
#include "index/index_places.h"
#include "index/listing_filter.h"
#include "index/listing_lines.h"
#include "index/working_files.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/system_info.h"
#include "platform/text.h"

namespace zrn {
namespace {

std::vector<std::wstring> with_configured(std::initializer_list<const wchar_t*> configured) {
  auto words = default_exclusions();
  for (const auto* word : configured) words.push_back(platform::upper(word));
  return words;
}

TEST(IndexExclusions, DefaultWordsInOrder) {
  EXPECT_EQ(default_exclusions(),
            (std::vector<std::wstring>{L"$RECYCLE.BIN", L"$SYSRESET", L"SYSTEM VOLUME INFORMATION", L"ZARNPATH",
                                       L"$WINDOWS.~BT", L"$WINDOWS.~WS", L"ONEDRIVETEMP", L"RECOVERY", L"BOOT"}));
}

struct ExclusionCase {
  const wchar_t* path;
  bool excluded;
};

const ExclusionCase kExclusionCases[] = {
    {L"C:\\Projects\\bootstrap", true},
    {L"C:\\Projects\\bootstrap\\dist\\css", true},
    {L"C:\\Bootcamp", true},
    {L"C:\\Data Recovery Notes\\2020", true},
    {L"C:\\$windows.~bt\\Sources", true},
    {L"C:\\$Recycle.Bin\\S-1-5-21", true},
    {L"C:\\System Volume Information", true},
    {L"C:\\system volume information\\x", true},
    {L"C:\\Zarnpath", true},
    {L"D:\\Users\\Ann\\OneDriveTemp", true},
    {L"C:\\Users\\Ann\\AppData\\Local\\Temp", true},
    {L"C:\\Users\\Ann\\Templates", true},
    {L"C:\\Users\\Ann\\Documents", false},
    {L"C:\\Users\\Ann\\Boo", false},
    {L"C:\\Program Files\\Windows.~BT", false},
    {L"C:\\System Volume", false},
    {L"", false},
    {L"C:\\B\u00f6\u00f6t", false},
};

TEST(IndexExclusions, WholePathUpperCasedWithAConfiguredTempWord) {
  const auto words = with_configured({L"temp"});
  for (const auto& c : kExclusionCases) {
    SCOPED_TRACE(platform::to_utf8(c.path));
    EXPECT_EQ(is_excluded(c.path, words), c.excluded);
  }
}

TEST(IndexExclusions, EmptyWordIsNeverFound) {
  EXPECT_FALSE(is_excluded(L"C:\\Anything", {L""}));
  EXPECT_TRUE(is_excluded(L"C:\\Anything", {L"", L"THING"}));
}

TEST(IndexExclusions, AccentedConfiguredWord) {
  std::setlocale(LC_ALL, "");
  const auto words = with_configured({L"caf\u00e9"});
  EXPECT_TRUE(is_excluded(L"C:\\Caf\u00e9 Noir", words));
  EXPECT_TRUE(is_excluded(L"C:\\CAF\u00c9", words));
  EXPECT_FALSE(is_excluded(L"C:\\Cafe", words));
}

// The table-driven test used on whole listings must agree with the rule.
TEST(IndexExclusions, FastTestAgreesWithTheRule) {
  const auto words = with_configured({L"temp", L"node_modules", L".git", L"caf\u00e9"});
  const ExclusionTest test(words, platform::upper_case_table());
  for (const auto& c : kExclusionCases) {
    SCOPED_TRACE(platform::to_utf8(c.path));
    EXPECT_EQ(test.excluded(c.path), is_excluded(c.path, words));
  }
  std::mt19937 random(3);
  const std::wstring alphabet = L"bootBOTemp.gitGIT\\ \u00e9\u00c9caf\u00ff\u0178";
  for (int i = 0; i < 20000; ++i) {
    std::wstring line;
    const int length = static_cast<int>(random() % 20);
    for (int k = 0; k < length; ++k) line += alphabet[random() % alphabet.size()];
    ASSERT_EQ(test.excluded(line), is_excluded(line, words)) << platform::to_utf8(line);
  }
}

TEST(IndexAge, RebuildRuleAtItsBoundaries) {
  constexpr std::int64_t kHour = 3600;
  constexpr std::int64_t kDay = 24 * kHour;
  constexpr std::int64_t kNow = 1'800'000'000;
  struct Case {
    std::int64_t age;
    std::uint16_t limit;
    bool too_old;
  };
  const Case cases[] = {
      {7 * kDay, 1, false},
      {8 * kDay, 1, true},
      {7 * kDay + 11 * kHour, 1, false},
      {7 * kDay + 12 * kHour, 1, true},   // 7.5 goes to the even 8
      {6 * kDay + 12 * kHour, 1, false},  // 6.5 goes to the even 6
      {14 * kDay + 11 * kHour, 2, false},
      {14 * kDay + 13 * kHour, 2, true},
      {kNow, 2, true},  // a missing index counts as written in 1970
      {kNow, 0, false},
      {1000 * kDay, 0, false},
      {-30 * kDay, 1, false},  // written in the future
      {-1, 1, false},
      {0, 1, false},
      {7 * 65535 * kDay, 65535, false},
      {7 * 65535 * kDay + kDay, 65535, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "age=" << c.age << " limit=" << c.limit);
    EXPECT_EQ(index_too_old(kNow - c.age, kNow, c.limit), c.too_old);
  }
}

std::vector<std::wstring> split(std::initializer_list<std::string_view> pieces) {
  std::vector<std::wstring> lines;
  ListingLines listing([&](std::wstring_view line) { lines.emplace_back(line); });
  for (const auto piece : pieces) listing.feed(piece);
  listing.finish();
  return lines;
}

std::string utf16(std::wstring_view text) {
  std::string bytes;
  for (const wchar_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>((unit >> 8) & 0xFF);
  }
  return bytes;
}

TEST(IndexAge, OneBuildWhenAbsentOrTooOld) {
  constexpr std::int64_t kNow = 1700000000;
  constexpr std::int64_t kDay = 86400;
  struct Case {
    std::optional<std::int64_t> index_time;  // nothing: absent or empty
    std::uint16_t limit;
    bool needed;
  };
  const Case cases[] = {
      {std::nullopt, 0, true},        {std::nullopt, 2, true}, {kNow - 400 * kDay, 0, false},
      {kNow - 30 * kDay, 1, true},    {kNow - kDay, 1, false}, {0, 1, true},
      {kNow + 4000 * kDay, 1, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(index_needs_build(c.index_time, kNow, c.limit), c.needed)
        << (c.index_time ? kNow - *c.index_time : -1) << " s old, limit " << c.limit;
  }
}

TEST(IndexOutcomes, LinesNameTheDrive) {
  EXPECT_EQ(outcome_message(IndexOutcome::cancelled, L"d:\\"), L"The index build of drive D: was cancelled.");
  EXPECT_EQ(outcome_message(IndexOutcome::drive_missing, L"X:\\"), L"Drive X: is not available.");
  for (const auto quiet : {IndexOutcome::ready, IndexOutcome::built, IndexOutcome::not_written}) {
    EXPECT_EQ(outcome_message(quiet, L"X:\\"), L"");
  }
}

TEST(IndexOutcomes, AgeLineNamesTheDriveTheDaysAndTheDate) {
  // Local seconds of 2026-11-26 and 2000-02-29, at midnight.
  const std::tuple<std::int64_t, std::int64_t, const wchar_t*> cases[] = {
      {1795651200, 1795651200 + 12 * 86400 + 5, L"is 12 days old (2026-11-26)"},
      {1795651200, 1795651200 + 86400, L"is 1 day old (2026-11-26)"},
      {951782400, 951782400 + 86399, L"is less than a day old (2000-02-29)"},
      {951782400, 951782400 - 86400, L"is less than a day old (2000-02-29)"},
  };
  for (const auto& [built, now, age] : cases) {
    EXPECT_EQ(index_age_line(L"d:\\", built, now),
              std::wstring(L"The index of D: ") + age + L"; ZRN d: /R rebuilds it.");
  }
}

TEST(IndexListingLines, LineEndsAndPieces) {
  struct Case {
    const wchar_t* text;
    std::vector<std::wstring> lines;
  };
  const Case cases[] = {
      {L"", {}},
      {L"a\r\nb\r\n", {L"a", L"b"}},
      {L"a\nb\n", {L"a", L"b"}},
      {L"a\rb\r", {L"a", L"b"}},
      {L"a\r\rb", {L"a", L"", L"b"}},
      {L"a\n\r\nb", {L"a", L"", L"b"}},
      {L"a\r\n\r\n", {L"a", L""}},
      {L"no end", {L"no end"}},
      {L"C:\\Caf\u00e9\r\nD:\\\u65e5\u672c\r\n", {L"C:\\Caf\u00e9", L"D:\\\u65e5\u672c"}},
      {L"C:\\\xD83D\xDE00\r\n", {L"C:\\\xD83D\xDE00"}},
      {L"x\xD800y\r\n\xDC00\n", {L"x\xD800y", L"\xDC00"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(platform::to_utf8(c.text));
    const std::string bytes = utf16(c.text);
    EXPECT_EQ(split({bytes}), c.lines);
    // Every cut of the bytes into two pieces, odd ones included, reads the same.
    for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
      const std::string_view all(bytes);
      ASSERT_EQ(split({all.substr(0, cut), all.substr(cut)}), c.lines) << "cut at " << cut;
    }
    // And so does one byte at a time.
    std::vector<std::wstring> lines;
    ListingLines listing([&](std::wstring_view line) { lines.emplace_back(line); });
    for (const char byte : bytes) listing.feed(std::string_view(&byte, 1));
    listing.finish();
    EXPECT_EQ(lines, c.lines);
  }
}

TEST(IndexListingLines, OverLongLinesAreSkippedWholeAtAnyCut) {
  const std::string bytes = utf16(L"abcd\r\nabcde\r\nx\nabcdefghij\rcd\nabcdefgh");
  for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
    std::vector<std::wstring> lines;
    ListingLines listing([&](std::wstring_view line) { lines.emplace_back(line); }, 4);
    listing.feed(std::string_view(bytes).substr(0, cut));
    listing.feed(std::string_view(bytes).substr(cut));
    listing.finish();
    ASSERT_EQ(lines, (std::vector<std::wstring>{L"abcd", L"x", L"cd"})) << "cut at " << cut;
  }
}

TEST(IndexListingLines, LoneLastByteBecomesAQuestionMark) {
  EXPECT_EQ(split({utf16(L"ab") + "c"}), (std::vector<std::wstring>{L"ab?"}));
  EXPECT_EQ(split({utf16(L"ab\r\n") + "c"}), (std::vector<std::wstring>{L"ab", L"?"}));
  EXPECT_EQ(split({"c"}), (std::vector<std::wstring>{L"?"}));
}

TEST(IndexCommands, UnicodeListingToStandardOutput) {
  EXPECT_EQ(drive_listing_parameters(L"D:\\"), L"/U /C dir D:\\ /ad /b /on /s");
}

TEST(IndexStorage, ReadmeBytes) {
  EXPECT_EQ(readme_bytes(L"https://zarnpath.example"),
            "This hidden directory contains the file IndexFile.ZRN.\r\n"
            "This is an index file for the Zarnpath program.\r\n"
            "If you no longer use this app, you can delete this directory.\r\n"
            "If you continue using the program, the directory will be recreated automatically.\r\n"
            "https://zarnpath.example\r\n");
}

TEST(IndexStorage, PathsBelowTheDriveRoot) {
  EXPECT_EQ(data_directory_path(L"d:\\"), L"d:\\Zarnpath");
  EXPECT_EQ(index_file_path(L"D:\\"), L"D:\\Zarnpath\\Indexfile.ZRN");
}

TEST(IndexStorage, FallbackIsPerVolumeAndReadOnlyWhenItIsTheNewer) {
  struct Case {
    std::optional<std::int64_t> own, fallback;
    bool fallback_read;
  };
  const Case cases[] = {
      {std::nullopt, std::nullopt, false},
      {100, std::nullopt, false},
      {std::nullopt, 100, true},
      {100, 200, true},
      {200, 100, false},
      {100, 100, false},
      {1000, 200, true},  // dated now ...
      {5000, 200, true},  // ... or later: the fallback, built since, is read
      {5000, std::nullopt, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(fallback_preferred(c.own, c.fallback, 1000), c.fallback_read)
        << c.own.value_or(-1) << " against " << c.fallback.value_or(-1);
  }
  EXPECT_EQ(fallback_index_name(L"d:\\", 0x1A2Bu), L"Indexfile-D-00001A2B.ZRN");
  EXPECT_EQ(fallback_index_name(L"D:\\", std::nullopt), L"Indexfile-D.ZRN");
}

TEST(IndexStorage, PrivateNamesNameTheirRun) {
  const PrivateOwner run{L"PC-7", {4242, 0x01DB2C3D4E5F6070ull}};
  const std::wstring name = private_file_name(L"Indexfile.ZRN", run, 7);
  EXPECT_EQ(name, L"Indexfile.ZRN.PC-7.4242-01DB2C3D4E5F6070-7");
  EXPECT_EQ(private_file_owner(name, L"Indexfile.ZRN"), run);
  EXPECT_EQ(private_file_owner(L"ZRNDIRAD..1-0000000000000000-1", L"zrndirad"), (PrivateOwner{L"", {1, 0}}));
  // Names of another base, of older versions and of other programs are no
  // run's: nothing may delete them.
  for (const wchar_t* other :
       {L"Indexfile.ZRN", L"Indexfile.ZRN1", L"Indexfile.ZRN1.PC.4242-01DB2C3D4E5F6070-7",
        L"Indexfile.ZRN.4242-01DB2C3D4E5F6070-7", L"Indexfile.ZRN.PC.4242", L"Indexfile.ZRN.PC.4242-01DB2C3D4E5F6070",
        L"Indexfile.ZRN.PC.4242-01DB2C3D4E5F607-7", L"Indexfile.ZRN.PC.x42-01DB2C3D4E5F6070-7",
        L"Indexfile.ZRN.PC.4242-01DB2C3D4E5F6070-", L"Indexfile.ZRN.PC.4242-01db2c3d4e5f6070-7",
        L"Indexfile.ZRN.PC.99999999999-01DB2C3D4E5F6070-7", L"Indexfile.ZRN.A.B.4242-01DB2C3D4E5F6070-7",
        L"Indexfile.ZRN.txt"}) {
    EXPECT_FALSE(private_file_owner(other, L"Indexfile.ZRN")) << other;
  }
}

TEST(IndexStorage, SweepTakesOnlyThisComputersOwnPlainLeftovers) {
  const PrivateOwner me{L"Here", {10, 5}};
  const std::wstring dead = private_file_name(L"ZRNDIRAD", {L"HERE", {20, 6}}, 1);
  const std::wstring alive = private_file_name(L"ZRNDIRAD", {L"Here", {30, 7}}, 1);
  const std::wstring mine = private_file_name(L"ZRNDIRAD", me, 1);
  const std::wstring other_computer = private_file_name(L"ZRNDIRAD", {L"There", {20, 6}}, 1);
  const auto running = [](const platform::ProcessIdentity& process) { return process.id == 30; };
  struct Case {
    std::wstring name;
    bool plain_file;
    bool read_only;
    std::int64_t age;
    bool in_data_directory;
    bool swept;
  };
  const Case cases[] = {
      {dead, true, false, 0, false, true},
      {dead, true, false, kLeftoverAgeSeconds, true, true},
      {dead, true, false, kLeftoverAgeSeconds - 1, true, false},  // another install may still be on its way
      {dead, false, false, kLeftoverAgeSeconds, false, false},    // a link, or a directory
      {dead, true, true, kLeftoverAgeSeconds, false, false},      // never one of ours
      {alive, true, false, kLeftoverAgeSeconds, false, false},
      {mine, true, false, kLeftoverAgeSeconds, false, false},
      {other_computer, true, false, kLeftoverAgeSeconds, true, false},
      {L"ZRNDIRAD.txt", true, false, kLeftoverAgeSeconds, false, false},
  };
  for (const auto& c : cases) {
    const SweepCandidate file{c.name, c.plain_file, c.read_only, c.age};
    EXPECT_EQ(is_sweepable_leftover(file, L"ZRNDIRAD", me, c.in_data_directory, running), c.swept)
        << platform::to_utf8(c.name) << " plain " << c.plain_file << " age " << c.age;
  }
}

// Which folder follows which rule: a stopped run's fresh leftover goes from
// the temporary folder and stays in a folder other computers may share.
TEST(IndexStorage, FreshLeftoversStayOnlyInSharedFolders) {
  const std::wstring directory = platform::temp_path() + L"zrn sweep test\\";
  ASSERT_TRUE(platform::create_directories(directory));
  const auto me = platform::this_process();
  const PrivateOwner stopped{platform::computer_name(), {me.id, me.created + 1}};
  const struct {
    std::wstring base;
    std::function<void()> sweep;
    bool kept;
  } cases[] = {
      {std::wstring(kSubdirectoryListName), [&] { sweep_temporary_directory(directory); }, false},
      {L"zrn temporary", [&] { const WorkingFile file(directory, L"zrn temporary", SweepRule::temporary); }, false},
      {L"zrn shared", [&] { const WorkingFile file(directory, L"zrn shared", SweepRule::shared); }, true},
  };
  for (const auto& c : cases) {
    const std::wstring leftover = directory + private_file_name(c.base, stopped, 1);
    ASSERT_TRUE(platform::write_whole_file(leftover, "x"));
    c.sweep();
    EXPECT_EQ(platform::path_exists(leftover), c.kept) << platform::to_utf8(c.base);
    platform::delete_file(leftover);
  }
  platform::remove_empty_directory(directory);
}

// Another program holding the index lets go only after the first attempts.
TEST(IndexStorage, InstallRenamesAgainWhileTheIndexIsHeld) {
  int attempts = 0;
  EXPECT_TRUE(move_with_retries([&] { return ++attempts == 3; }));
  EXPECT_EQ(attempts, 3);
}

TEST(IndexStorage, WorkingFilesAreGoneWithTheirObject) {
  const std::wstring directory = platform::temp_path();
  std::wstring path;
  {
    const WorkingFile first(directory, L"zrn test base", SweepRule::temporary);
    const WorkingFile second(directory, L"zrn test base", SweepRule::temporary);
    path = first.path();
    EXPECT_NE(first.path(), second.path());
    ASSERT_TRUE(platform::write_whole_file(path, "x"));
  }
  EXPECT_FALSE(platform::path_exists(path));
}

// Whatever the code page, a character becomes its own byte(s) or the default
// character, never a look-alike such as '"' for a fullwidth quote; the
// filter's table says the same as the conversion.
TEST(IndexAnsiConversion, NoCharacterBecomesAnotherVisibleOne) {
  const auto table = platform::ansi_bytes_of_units();
  for (std::uint32_t unit = 0x20; unit <= 0xFFFF; ++unit) {
    if (unit >= 0xD800 && unit <= 0xDFFF) continue;
    const std::wstring character(1, static_cast<wchar_t>(unit));
    const std::string bytes = platform::to_ansi(character);
    const std::wstring back = platform::from_ansi(bytes);
    ASSERT_TRUE(back == character || back == L"?") << "U+" << std::hex << unit;
    if (table) {
      ASSERT_EQ(bytes, std::string(1, (*table)[unit])) << "U+" << std::hex << unit;
    }
  }
}

class IndexFilter : public ::testing::Test {
 protected:
  void SetUp() override {
    raw_ = platform::temp_path() + L"zrn filter test.raw";
    filtered_ = platform::temp_path() + L"zrn filter test.out";
  }
  void TearDown() override {
    platform::delete_file(raw_);
    platform::delete_file(filtered_);
  }
  // The filter over a listing that is already whole, as a build reads it.
  bool filter_whole(const std::vector<std::wstring>& words) {
    platform::File reader = platform::File::open_for_reading(raw_);
    ListingFilter filter(filtered_, words);
    return reader.is_open() && filter.read_more(reader) && filter.finish();
  }
  std::wstring raw_;
  std::wstring filtered_;
};

TEST_F(IndexFilter, KeepsOrderCaseAndWritesAnsiWithCrLf) {
  const std::wstring listing =
      L"D:\\Work\r\nD:\\Work\\bootstrap\r\nD:\\Zarnpath\r\nD:\\Caf\u00e9\nD:\\Temp\\x\rD:\\\u0142\r\nD:\\Last";
  ASSERT_TRUE(platform::write_whole_file(raw_, utf16(listing)));
  ASSERT_TRUE(filter_whole(with_configured({L"temp"})));
  EXPECT_EQ(platform::read_whole_file(filtered_),
            platform::to_ansi(L"D:\\Work\r\nD:\\Caf\u00e9\r\nD:\\\u0142\r\nD:\\Last\r\n"));
}

TEST_F(IndexFilter, ManyLinesAcrossPieces) {
  std::wstring listing;
  std::wstring expected;
  for (int i = 0; i < 60000; ++i) {
    const std::wstring line = L"D:\\Folder " + std::to_wstring(i) + (i % 7 == 0 ? L"\\boot" : L"\\Leaf");
    listing += line + L"\r\n";
    if (i % 7 != 0) expected += line + L"\r\n";
  }
  ASSERT_TRUE(platform::write_whole_file(raw_, utf16(listing)));
  ASSERT_TRUE(filter_whole(default_exclusions()));
  EXPECT_EQ(platform::read_whole_file(filtered_), platform::to_ansi(expected));
}

TEST_F(IndexFilter, CountsWhatALoopingListingLooksLike) {
  const std::wstring longest = L"D:\\" + std::wstring(kLongestDirectory - 3, L'a');
  const std::wstring listing = longest + L"\r\n" + longest + L"b\r\n" + longest + L"\\s1\r\n";
  ASSERT_TRUE(platform::write_whole_file(raw_, utf16(listing)));
  ListingFilter filter(filtered_, default_exclusions());
  platform::File reader = platform::File::open_for_reading(raw_);
  ASSERT_TRUE(filter.read_more(reader));
  EXPECT_EQ(filter.overlong_lines(), 2u);
  EXPECT_EQ(filter.bytes_read(), 2 * listing.size());
  EXPECT_FALSE(listing_out_of_bounds(kLargestListingBytes, kMostOverlongPaths));
  EXPECT_TRUE(listing_out_of_bounds(kLargestListingBytes + 1, 0));
  EXPECT_TRUE(listing_out_of_bounds(0, kMostOverlongPaths + 1));
  filter.finish();
}

}  // namespace
}  // namespace zrn

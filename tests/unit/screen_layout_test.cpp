#include "console/screen_layout.h"

#include <gtest/gtest.h>

#include "console/cell_width.h"
#include "console/console.h"

namespace zrn {
namespace {

TEST(ScreenLayoutNumbers, PageAndPreviewByMatchCount) {
  struct Case {
    std::int64_t matches;
    int page, preview, preview_top, bottom;
  };
  const Case cases[] = {
      {1, 1, 5, 8, 15},    {2, 2, 5, 9, 16},    {3, 3, 5, 10, 17},   {4, 4, 6, 11, 19},
      {10, 10, 6, 17, 25}, {11, 11, 8, 18, 28}, {15, 15, 8, 22, 32}, {40, 15, 8, 22, 32},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.matches);
    const ScreenLayout layout = compute_layout(150, 40, c.matches);
    EXPECT_EQ(layout.frame_width, 100);
    EXPECT_EQ(layout.left, 1);
    EXPECT_EQ(layout.top, 1);
    EXPECT_EQ(layout.list_top, 5);
    EXPECT_EQ(layout.page_size, c.page);
    EXPECT_EQ(layout.preview_height, c.preview);
    EXPECT_EQ(layout.preview_top, c.preview_top);
    EXPECT_EQ(layout.bottom, c.bottom);
  }
}

TEST(ScreenLayoutNumbers, FrameEndsOnTheWindowsLastColumn) {
  struct Case {
    int window, checked, frame;
  };
  const Case cases[] = {{49, 49, 48}, {50, 50, 49}, {80, 80, 79}, {100, 100, 99}, {101, 100, 100}, {150, 100, 100}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.window);
    EXPECT_EQ(checked_frame_width(c.window), c.checked);
    EXPECT_EQ(compute_layout(c.window, 40, 2).frame_width, c.frame);
  }
}

TEST(ScreenLayoutNumbers, LowWindowKeepsTheLegendVisible) {
  struct Case {
    int height, page;
  };
  const Case cases[] = {{30, 11}, {33, 14}, {34, 15}, {40, 15}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.height);
    const ScreenLayout layout = compute_layout(100, c.height, 40);
    EXPECT_EQ(layout.page_size, c.page);
    EXPECT_LE(layout.bottom + 1, c.height - 1);
  }
}

TEST(ScreenLayoutFrame, TextsAreFrameWidthLong) {
  const auto texts = build_frame_texts(6);
  EXPECT_EQ(texts[0], L"\u256D\u2500\u2500\u2500\u2500\u256E");
  EXPECT_EQ(texts[1], L"\u2502    \u2502");
  EXPECT_EQ(texts[2], L"\u251C\u2500\u2500\u2500\u2500\u2524");
  EXPECT_EQ(texts[3], L"\u2570\u2500\u2500\u2500\u2500\u256F");
}

TEST(ScreenFitPath, PadsOrJoinsTheTwoEnds) {
  const std::wstring separator = L"\uF061\U000F12F1\uF060";
  ASSERT_EQ(separator.size(), 4u);
  const std::wstring p46(46, L'a');
  std::wstring p47 = L"C:\\" + std::wstring(41, L'x') + L"end";
  ASSERT_EQ(p47.size(), 47u);
  struct Case {
    std::wstring path;
    int width;
    std::wstring expected;
  };
  const Case cases[] = {
      {p46, 46, p46},
      {p47, 46, p47.substr(0, 21) + separator + p47.substr(26)},
      {p47, 47, p47},
      {L"C:\\a", 10, L"C:\\a      "},
      {std::wstring(60, L'b'), 47, std::wstring(22, L'b') + separator + std::wstring(22, L'b')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path + L" @ " + std::to_wstring(c.width));
    EXPECT_EQ(fit_path(c.path, c.width), c.expected);
  }
}

TEST(ScreenNumbers, ThousandsSeparators) {
  const std::pair<std::int64_t, const wchar_t*> cases[] = {{0, L"0"},        {2, L"2"},        {999, L"999"},
                                                           {1000, L"1,000"}, {1234, L"1,234"}, {1234567, L"1,234,567"}};
  for (const auto& [number, text] : cases) EXPECT_EQ(with_thousands(number), text);
}

TEST(ScreenNumbers, CounterHasPlainNumbersAndTenSpaces) {
  EXPECT_EQ(counter_text(0, 15, 1234), L"Row 1 to 15 / 1234          ");
  EXPECT_EQ(counter_text(25, 15, 40), L"Row 26 to 40 / 40          ");
  EXPECT_EQ(counter_text(0, 1, 0), L"Row 0 to 0 / 0          ");
}

TEST(ScreenNumbers, CountLineEndsBeforeTheRightBorder) {
  const ScreenLayout layout = compute_layout(150, 40, 40);
  const CountLine line = place_count_line(layout, 1234, L"proj");
  EXPECT_EQ(line.number, L"1,234");
  EXPECT_EQ(line.middle, L" directories were found with ");
  const auto length = static_cast<int>(line.number.size() + line.middle.size() + line.search_text.size());
  EXPECT_EQ(line.column + length - 1, layout.left + layout.frame_width - 3);
}

TEST(ScreenNumbers, LongCountLineStopsBeforeTheCounterAndIsCut) {
  const ScreenLayout layout = compute_layout(50, 40, 40);
  const CountLine line = place_count_line(layout, 40, std::wstring(80, L's'));
  // "Row 40 to 40 / 40" is the widest counter for 40 matches.
  EXPECT_EQ(line.column, layout.left + 2 + 17 + 1);
  EXPECT_EQ(line.number, L"40");
  EXPECT_EQ(line.middle, L" found with ");
  EXPECT_EQ(line.column + static_cast<int>(line.number.size() + line.middle.size() + line.search_text.size()) - 1,
            layout.left + layout.frame_width - 3);
}

TEST(ScreenNumbers, CutNeverSplitsASurrogatePair) {
  const std::wstring text = L"ab\U000F0311c";
  EXPECT_EQ(cut_units(text, 3), L"ab");
  EXPECT_EQ(cut_units(text, 4), L"ab\U000F0311");
  EXPECT_EQ(cut_units(text, 9), text);
}

TEST(ScreenLegend, PiecesAre104Units) {
  std::size_t total = 0;
  for (const auto& piece : legend_pieces()) total += piece.size();
  EXPECT_EQ(total, 104u);
}

TEST(ScreenLegend, WholeWhereItFitsElseCompactWithReturnAndEscape) {
  struct Case {
    int room;
    std::size_t units;
  };
  const Case cases[] = {{119, 104}, {104, 104}, {103, 72}, {99, 72}, {71, 65}, {59, 51}, {50, 49}, {49, 49}, {48, 28}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.room);
    const auto pieces = legend_for(c.room);
    std::wstring text;
    for (const auto& piece : pieces) text += piece;
    EXPECT_EQ(text.size(), c.units);
    EXPECT_NE(text.find(L" Return=Select"), std::wstring::npos);
    EXPECT_NE(text.find(L" ESC=Exit "), std::wstring::npos);
    for (std::size_t i = 0; i < pieces.size(); i += 2) EXPECT_EQ(pieces[i], L" ");
  }
  EXPECT_EQ(legend_for(104), legend_pieces());
}

TEST(ScreenNumbers, CounterAndCountLineNeverMeet) {
  struct Case {
    int window;
    std::int64_t count;
    const wchar_t* search;
    const wchar_t* middle;
    const wchar_t* shown;
  };
  const Case cases[] = {
      {100, 5, L"proj", L" directories were found with ", L"proj"},
      {60, 5, L"proj", L" directories were found with ", L"proj"},
      {50, 5, L"proj", L" found with ", L"proj"},
      {50, 1234, L"proj", L" found with ", L"proj"},
      {50, 40, L"a long search text", L" found with ", L"a long search"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.window);
    const ScreenLayout layout = compute_layout(c.window, 30, c.count);
    const CountLine line = place_count_line(layout, c.count, c.search);
    EXPECT_EQ(line.middle, c.middle);
    EXPECT_EQ(line.search_text, c.shown);
    // The counter of the last page is the widest: a blank cell still parts them.
    const int last_top = static_cast<int>(std::max<std::int64_t>(c.count - layout.page_size, 0));
    const std::wstring counter = counter_shown(layout, last_top, c.count, line);
    EXPECT_EQ(counter.substr(0, 4), L"Row ");
    EXPECT_LT(layout.left + 2 + text_cells(counter), line.column);
    EXPECT_NE(counter.back(), L'/');
  }
}

struct KeyCase {
  const char* name;
  Selection from;
  std::wstring text;
  int code;
  int matches;
  KeyOutcome outcome;
  Selection to;
};

TEST(ScreenKeys, TransitionsWithClamping) {
  const std::wstring none;
  const KeyCase cases[] = {
      {"up at top", {0, 0}, none, key::up, 40, KeyOutcome::moved, {0, 0}},
      {"up inside page", {0, 3}, none, key::up, 40, KeyOutcome::moved, {0, 2}},
      {"up above page", {5, 5}, none, key::up, 40, KeyOutcome::moved, {4, 4}},
      {"down inside page", {0, 0}, none, key::down, 40, KeyOutcome::moved, {0, 1}},
      {"down scrolls", {0, 14}, none, key::down, 40, KeyOutcome::moved, {1, 15}},
      {"down at bottom", {25, 39}, none, key::down, 40, KeyOutcome::moved, {25, 39}},
      {"home", {20, 30}, none, key::home, 40, KeyOutcome::moved, {0, 0}},
      {"end", {0, 0}, none, key::end, 40, KeyOutcome::moved, {25, 39}},
      {"end short list", {0, 0}, none, key::end, 3, KeyOutcome::moved, {0, 2}},
      {"page down from first", {0, 0}, none, key::page_down, 40, KeyOutcome::moved, {15, 15}},
      {"page up returns", {15, 15}, none, key::page_up, 40, KeyOutcome::moved, {0, 0}},
      {"page down from 5 of 20", {0, 5}, none, key::page_down, 20, KeyOutcome::moved, {5, 19}},
      {"page down near end", {20, 30}, none, key::page_down, 40, KeyOutcome::moved, {25, 39}},
      {"page up near top", {3, 10}, none, key::page_up, 40, KeyOutcome::moved, {0, 0}},
      {"page down short list", {0, 0}, none, key::page_down, 3, KeyOutcome::moved, {0, 2}},
      {"letter", {2, 4}, L"a", 0x41, 40, KeyOutcome::moved, {2, 4}},
      {"escape", {2, 4}, L"\x1b", 0x1b, 40, KeyOutcome::escape, {2, 4}},
      {"escape without character", {2, 4}, none, 0x1b, 40, KeyOutcome::escape, {2, 4}},
      {"return", {2, 4}, L"\r", 0x0d, 40, KeyOutcome::choose, {2, 4}},
      {"f2", {2, 4}, none, key::f2, 40, KeyOutcome::rescan, {2, 4}},
      {"f3", {2, 4}, none, key::f3, 40, KeyOutcome::change_drive, {2, 4}},
      {"top clamped after list shrank", {30, 30}, L"x", 0x58, 33, KeyOutcome::moved, {18, 30}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const int visible = std::min(15, c.matches);
    const KeyResult result = apply_key(c.from, c.text, c.code, c.matches, visible, 15);
    EXPECT_EQ(result.outcome, c.outcome);
    EXPECT_EQ(result.selection.top, c.to.top);
    EXPECT_EQ(result.selection.selected, c.to.selected);
  }
}

TEST(ScreenPreview, GridFitsTheInnerWidth) {
  struct Case {
    int inner, per_line, cell;
  };
  const Case cases[] = {{98, 5, 18}, {97, 5, 17}, {88, 5, 16}, {87, 4, 18}, {77, 4, 17}, {57, 3, 17}, {47, 2, 18}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.inner);
    const PreviewGrid grid = preview_grid(c.inner);
    EXPECT_EQ(grid.per_line, c.per_line);
    EXPECT_EQ(grid.cell, c.cell);
    EXPECT_LE(grid.per_line * grid.cell + 2 * (grid.per_line - 1), c.inner);
  }
}

TEST(ScreenPreview, CellsOfEighteenMarkACutName) {
  struct Case {
    std::wstring name;
    bool directory;
    std::wstring cell;
  };
  const Case cases[] = {
      {L"docs", true, L"[docs]            "},
      {L"a-file-name-of-18", false, L"a-file-name-of-18 "},
      {L"a-file-name-of-25-chars.x", false, L"a-file-name-of-25\u2026"},
      {L"seventeen-letters", true, L"[seventeen-lette\u2026]"},
      {L"\u4e2d\u6587\u76ee\u5f55\u540d\u5b57\u5f88\u957f\u7684\u540d", false,
       L"\u4e2d\u6587\u76ee\u5f55\u540d\u5b57\u5f88\u957f\u2026 "},
      // A character of two units takes two cells where the console keeps one unit per cell.
      {std::wstring(8, L'x') + L"\U000F12F1\U000F12F1\U000F12F1\U000F12F1\U000F12F1\U000F12F1", false,
       std::wstring(8, L'x') + L"\U000F12F1\U000F12F1\U000F12F1\U000F12F1\u2026 "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.name));
    const std::wstring cell = preview_cell({c.name, c.directory});
    EXPECT_EQ(cell, c.cell);
    EXPECT_EQ(console_cells(cell), 18);
  }
}

platform::DirectoryListing listing_of(std::vector<platform::DirectoryEntry> entries, std::size_t total,
                                      bool counted_all = true) {
  return {true, std::move(entries), total, counted_all};
}

TEST(ScreenPreview, DirectoriesFirstInLinesOfFiveFiveAndTwo) {
  std::vector<platform::DirectoryEntry> entries;
  for (int i = 0; i < 12; ++i) entries.push_back({L"e" + std::to_wstring(i), i % 3 == 0});
  const auto lines = preview_lines(listing_of(entries, 12), 7, 98);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].size(), 4u * 20u + 2u);  // the last cell loses its padding
  EXPECT_EQ(lines[0].substr(0, 20), L"[e0]                ");
  EXPECT_EQ(lines[0].substr(60), L"[e9]                e1");
  EXPECT_EQ(lines[2], L"e10                 e11");
}

TEST(ScreenPreview, LeftOutEntriesEmptyAndUnreadableDirectories) {
  const std::wstring name = L"name" + std::wstring(16, L' ');
  struct Case {
    platform::DirectoryListing listing;
    std::vector<std::wstring> lines;
  };
  const std::vector<platform::DirectoryEntry> four(4, {L"name", false});
  const Case cases[] = {
      {listing_of(four, 4), {name + L"name", name + L"name"}},
      {listing_of(four, 5), {name + L"name", name + L"\u2026 2 more"}},
      {listing_of(four, 1500), {name + L"name", name + L"\u2026 1,497 more"}},
      {listing_of(four, 4, false), {name + L"name", name + L"\u2026 1+ more"}},
      {listing_of({}, 0), {L"(empty folder)"}},
      {{}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.listing.total);
    EXPECT_EQ(preview_lines(c.listing, 2, 47), c.lines);
  }
}

TEST(ScreenListRow, FillsTheInnerWidthWithWideCharactersAndTheMarker) {
  const std::wstring wide = L"\u4e2d\u6587\u76ee\u5f55";
  const std::wstring paths[] = {L"D:\\short", L"D:\\" + std::wstring(200, L'a'), L"D:\\proj_" + wide,
                                L"D:\\proj_" + wide + wide + wide + wide + wide + wide + std::wstring(40, L'x'),
                                L"D:\\" + std::wstring(60, L'x') + wide + wide + wide + wide + L"e\u0301nd"};
  for (const int width : {49, 51, 52, 79, 99, 100}) {
    for (const auto& path : paths) {
      SCOPED_TRACE(testing::PrintToString(path) + " at " + std::to_string(width));
      const std::wstring row = list_row(path, width);
      EXPECT_EQ(console_cells(row), width - 2);
      EXPECT_EQ(row.substr(0, 3), L" D:");
    }
  }
}

TEST(ScreenBoxes, InsideTheFrameAtEveryWidthAndWhereTheyWereWhenWide) {
  for (int window = 50; window <= 120; ++window) {
    SCOPED_TRACE(window);
    const ScreenLayout layout = compute_layout(window, 40, 2);
    const int first_inside = layout.left + 1;
    const int last_inside = layout.left + layout.frame_width - 2;
    for (const auto& [wanted, offset] : {std::pair{36, 30}, std::pair{53, 20}}) {
      const Box box = box_in_frame(layout, wanted, offset, 9, 3);
      EXPECT_GT(box.left, first_inside);
      EXPECT_LT(box.left + box.width - 1, last_inside);
      EXPECT_EQ(box.width, std::min(wanted, layout.frame_width - 4));
      if (layout.frame_width >= 99) {
        EXPECT_EQ(box.left, layout.left + offset);
      }
    }
  }
}

TEST(ScreenBoxes, DriveLettersWrapInsideANarrowBox) {
  std::vector<std::wstring> drives;
  for (wchar_t c = L'C'; c <= L'Z'; ++c) drives.push_back(std::wstring(1, c) + L":\\");
  const std::wstring letters = drive_letters_text(drives);
  struct Case {
    int width;
    std::size_t letter_rows;
  };
  for (const Case& c : {Case{53, 1}, Case{45, 2}}) {
    SCOPED_TRACE(c.width);
    const auto rows = drive_box_rows(letters, c.width);
    ASSERT_EQ(rows.size(), 4 + c.letter_rows);
    std::wstring shown;
    for (const auto& row : rows) {
      EXPECT_EQ(static_cast<int>(row.size()), c.width);
      shown += row;
    }
    EXPECT_NE(rows[1].find(L"Available drives"), std::wstring::npos);
    EXPECT_NE(rows[rows.size() - 2].find(kDrivePrompt), std::wstring::npos);
    for (const auto& drive : drives) EXPECT_NE(shown.find(drive.substr(0, 1) + L" "), std::wstring::npos) << drive;
  }
}

TEST(ScreenDriveLetters, CentredInFiftyThreeCells) {
  struct Case {
    std::vector<std::wstring> drives;
    std::size_t lead;
  };
  std::vector<std::wstring> all;
  for (wchar_t c = L'A'; c <= L'Z'; ++c) all.push_back(std::wstring(1, c) + L":\\");
  const Case cases[] = {{{L"D:\\", L"E:\\", L"F:\\"}, 22}, {all, 0}, {{L"C:\\"}, 24}};
  for (const auto& c : cases) {
    const std::wstring letters = drive_letters_text(c.drives);
    EXPECT_EQ(letters.size(), 2 * c.drives.size());
    const std::wstring row = centred_letters(letters);
    EXPECT_EQ(row.size(), 53u);
    EXPECT_EQ(row.find_first_not_of(L' '), c.lead);
    EXPECT_EQ(row.substr(c.lead, letters.size()), letters);
  }
  EXPECT_EQ(centred_letters(drive_letters_text({L"D:\\", L"E:\\", L"F:\\"})).substr(22, 6), L"D E F ");
}

}  // namespace
}  // namespace zrn

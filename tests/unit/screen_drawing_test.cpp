#include <gtest/gtest.h>

#include <optional>

#include "console/console.h"
#include "console/screen_frame.h"
#include "console/screen_layout.h"
#include "console/selection_screen.h"
#include "fake_console.h"

namespace zrn {
namespace {

using testing::FakeConsole;

constexpr wchar_t kRightTop = L'\u256E';
constexpr wchar_t kSide = L'\u2502';

class ScreenDrawing : public ::testing::Test {
 protected:
  void open(FakeConsole& fake, int width, int height, std::int64_t matches, std::wstring search = L"proj",
            LinkDestination leads_off = nullptr) {
    page_.reset();
    console_.emplace(fake);
    console_->open(L"ZRN - Zarnpath");
    console_->set_full_screen(true);
    // The paths name no real directory: every one counts as there.
    page_.emplace(
        *console_, Size{width, height}, L"ZRN - Zarnpath", std::move(search), [](const std::wstring&) { return true; },
        leads_off);
    page_->open(matches);
  }
  void TearDown() override { page_.reset(); }
  static std::vector<std::wstring> paths(int count) {
    std::vector<std::wstring> result;
    for (int i = 1; i <= count; ++i) result.push_back(L"Q:\\no\\such\\proj" + std::to_wstring(i));
    return result;
  }
  // The chosen path, or empty text when the pass ended otherwise.
  std::wstring run(const std::vector<std::wstring>& matches) {
    const PageResult result = page_->run(matches, 0, L"Q:\\");
    return result.kind == PageResult::Kind::chosen ? result.path : L"";
  }
  const ScreenLayout& layout() const { return page_->frame().layout; }

  std::optional<Console> console_;
  std::optional<SelectionPage> page_;
};

TEST_F(ScreenDrawing, TwoMatchesAtHundredByForty) {
  FakeConsole fake(100, 40);
  open(fake, 100, 40, 2);
  fake.key(0, key::down);
  fake.later();
  fake.key(27, 27);
  EXPECT_EQ(run(paths(2)), L"");
  EXPECT_EQ(fake.row(1)[1], L'\u256D');
  EXPECT_EQ(fake.row(1)[99], kRightTop);
  EXPECT_NE(fake.row(2).find(L"** ZRN - Zarnpath **"), std::wstring::npos);
  EXPECT_EQ(fake.row(3)[1], L'\u251C');
  EXPECT_EQ(fake.row(5).substr(1, 18), L"\u2502 Q:\\no\\such\\proj1");
  EXPECT_EQ(fake.row(6).substr(1, 18), L"\u2502 Q:\\no\\such\\proj2");
  EXPECT_EQ(fake.row(7)[1], kSide);
  EXPECT_EQ(fake.row(8)[1], L'\u251C');
  EXPECT_EQ(fake.row(16)[1], L'\u2570');
  EXPECT_EQ(fake.row(17).substr(1, 12), L"  F2=Rescan ");
  // The second row is highlighted after Down: black on light grey.
  EXPECT_EQ(fake.attribute_at(2, 6), 0x70);
  EXPECT_EQ(fake.attribute_at(2, 5), 0x07);
  EXPECT_EQ(fake.attribute_at(1, 17), 0x07);
  EXPECT_EQ(fake.attribute_at(2, 17), 0x30);
  EXPECT_NE(fake.row(4).find(L"2 directories were found with proj"), std::wstring::npos);
  EXPECT_NE(fake.row(4).find(L"Row 1 to 2 / 2"), std::wstring::npos);
}

TEST_F(ScreenDrawing, RightBorderIntactAtEveryWidth) {
  for (int width = 50; width <= 101; ++width) {
    SCOPED_TRACE(width);
    FakeConsole fake(width, 40);
    // The longest match is a link that leads off its drive, far away.
    open(fake, width, 40, 40, std::wstring(200, L's'), [](const std::wstring& path) {
      return path.size() > 900 ? std::optional<std::wstring>(L"K:\\" + std::wstring(300, L'k')) : std::nullopt;
    });
    auto matches = paths(40);
    matches[0] = L"Q:\\" + std::wstring(1000, L'p');
    fake.key(0, key::down);
    fake.key(L'\r', 13);
    EXPECT_EQ(run(matches), matches[1]);
    const auto& layout = this->layout();
    const auto right = static_cast<std::size_t>(layout.left + layout.frame_width - 1);
    ASSERT_LT(right, static_cast<std::size_t>(width));
    EXPECT_EQ(fake.row(layout.list_top).substr(right - 3, 4), L"k) \u2502");
    EXPECT_NE(fake.row(layout.list_top).find(L"p (a link to K:"), std::wstring::npos);
    EXPECT_EQ(fake.row(layout.list_top + 1).find(L"(a link"), std::wstring::npos);
    for (int row = layout.top; row <= layout.bottom; ++row) {
      const wchar_t border = fake.row(row)[right];
      EXPECT_TRUE(border == kSide || border == kRightTop || border == L'\u2524' || border == L'\u256F')
          << "row " << row;
    }
    // The legend always shows how to choose and how to leave.
    const std::wstring legend = fake.row(layout.bottom + 1);
    EXPECT_NE(legend.find(L" Return=Select"), std::wstring::npos);
    EXPECT_NE(legend.find(L" ESC=Exit "), std::wstring::npos);
  }
}

TEST_F(ScreenDrawing, EndShowsTheLastPageAndPageKeysMove) {
  FakeConsole fake(100, 40);
  open(fake, 100, 40, 40);
  fake.key(0, key::end);
  fake.later();
  fake.key(L'\r', 13);
  EXPECT_EQ(run(paths(40)), L"Q:\\no\\such\\proj40");
  EXPECT_NE(fake.row(4).find(L"Row 26 to 40 / 40"), std::wstring::npos);
  EXPECT_EQ(fake.row(5).substr(3, 17), L"Q:\\no\\such\\proj26");
  EXPECT_EQ(fake.attribute_at(3, 19), 0x70);

  fake.key(0, key::page_down);
  fake.later();
  fake.key(L'\r', 13);
  EXPECT_EQ(run(paths(40)), L"Q:\\no\\such\\proj16");
  EXPECT_NE(fake.row(4).find(L"Row 16 to 30 / 40"), std::wstring::npos);
}

TEST_F(ScreenDrawing, ShorterListAfterRescanBlanksTheRowsBelow) {
  FakeConsole fake(100, 40);
  open(fake, 100, 40, 40);
  fake.key(27, 27);
  run(paths(40));
  fake.key(27, 27);
  run(paths(3));
  EXPECT_EQ(fake.row(7).substr(3, 16), L"Q:\\no\\such\\proj3");
  EXPECT_EQ(fake.row(8).substr(2, 97), std::wstring(97, L' '));
  EXPECT_EQ(fake.row(19).substr(2, 97), std::wstring(97, L' '));
  EXPECT_NE(fake.row(4).find(L"3 directories were found with proj"), std::wstring::npos);
}

TEST_F(ScreenDrawing, TypingNarrowsTheListAndItsLayout) {
  FakeConsole fake(100, 40);
  open(fake, 100, 40, 40);
  const auto type = [&](std::wstring_view text) {
    for (const wchar_t c : text) fake.key(c, 0);
  };
  fake.key(0, key::down);
  fake.key(0, key::down);  // proj3
  fake.later();
  type(L"3");
  fake.later();
  fake.key(27, 27);
  EXPECT_EQ(run(paths(40)), L"");
  // proj3, proj13, proj23, proj30 to proj39: the page holds all thirteen.
  EXPECT_NE(fake.row(4).find(L"Row 1 to 13 / 13"), std::wstring::npos);
  EXPECT_NE(fake.row(4).find(L"13 of 40 directories were found with proj"), std::wstring::npos);
  EXPECT_EQ(fake.row(5).substr(3, 16), L"Q:\\no\\such\\proj3");
  EXPECT_EQ(fake.attribute_at(3, 5), 0x70);  // still on proj3
  EXPECT_EQ(fake.row(18).substr(0, 18), L" \u2502 Narrowed by: 3 ");
  EXPECT_EQ(fake.row(19)[1], L'\u251C');

  // A key after the letters moves in the narrowed list (to proj13);
  // Backspace widens it again, the highlight staying where it was.
  type(L"j 3");
  fake.key(0, key::down);
  fake.later();
  type(L"\b\b\b\b");
  fake.later();
  fake.key(L'\r', 13);
  EXPECT_EQ(run(paths(40)), L"Q:\\no\\such\\proj13");
  EXPECT_NE(fake.row(4).find(L"Row 1 to 15 / 40"), std::wstring::npos);

  type(L"x");
  fake.later();
  fake.key(L'\r', 13);
  fake.key(27, 27);
  EXPECT_EQ(run(paths(40)), L"");
  EXPECT_NE(fake.row(4).find(L"Row 0 to 0 / 0"), std::wstring::npos);
  EXPECT_NE(fake.row(5).find(L"No match holds every word typed"), std::wstring::npos);
}

TEST_F(ScreenDrawing, PassResumedAfterTheBoxKeepsHighlightAndTypedText) {
  FakeConsole fake(100, 40);
  open(fake, 100, 40, 40);
  const auto matches = paths(40);
  fake.key(L'3', 0);
  fake.later();
  fake.key(0, key::down);  // proj13
  fake.later();
  fake.key(0, key::f2);
  EXPECT_EQ(page_->run(matches, 0, L"Q:\\").kind, PageResult::Kind::rescan);
  EXPECT_NE(fake.row(10).find(L" Create IndexFile for Drive Q:\\ "), std::wstring::npos);
  fake.key(L'\r', 13);
  EXPECT_EQ(page_->resume(L"Stopped.").path, L"Q:\\no\\such\\proj13");
  EXPECT_EQ(fake.row(9).substr(3, 17), L"Q:\\no\\such\\proj31");
  EXPECT_EQ(fake.row(18).substr(0, 11), L" \u2502 Stopped.");
}

TEST_F(ScreenDrawing, ControlKeysEditTheTypedTextAndMove) {
  // Each group of keys arrives on its own; Return ends the case, or is
  // refused with a note and ESC ends it.
  struct Case {
    const char* name;
    std::vector<std::vector<std::pair<wchar_t, int>>> groups;
    std::size_t second_length;  // of the second match, when it is made long
    std::wstring chosen;
    std::wstring shown;  // on the count line, or in the note row
  };
  const std::pair<wchar_t, int> ctrl_u{key::control_u, 'U'}, ctrl_w{key::control_w, 'W'}, ctrl_n{key::control_n, 'N'},
      ctrl_p{key::control_p, 'P'};
  const Case cases[] = {
      {"Ctrl+U clears the typed text", {{{L'1', 0}, {L'2', 0}}, {ctrl_u}}, 0, L"proj12", L"Row 1 to 15 / 20"},
      {"Ctrl+W takes back the last word", {{{L'1', 0}, {L' ', 0}, {L'2', 0}}, {ctrl_w}}, 0, L"proj12", L"11 of 20"},
      {"Ctrl+W after blanks", {{{L'1', 0}, {L' ', 0}, {L'2', 0}, {L' ', 0}}, {ctrl_w}}, 0, L"proj12", L"11 of 20"},
      {"Ctrl+N and Ctrl+P move", {{ctrl_n, ctrl_n, ctrl_p}}, 0, L"proj2", L"Row 1 to 15 / 20"},
      {"the longest path cmd can enter", {{ctrl_n}}, 258, std::wstring(247, L'a'), L"Row 1 to 15 / 20"},
      {"a path cmd cannot enter", {{ctrl_n}}, 259, L"", L"cmd cannot enter a path longer than 258 characters"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeConsole fake(100, 40);
    open(fake, 100, 40, 20);
    auto matches = paths(20);
    if (c.second_length > 0) matches[1] = L"Q:\\no\\such\\" + std::wstring(c.second_length - 11, L'a');
    for (const auto& group : c.groups) {
      for (const auto& [character, code] : group) fake.key(character, static_cast<std::uint16_t>(code));
      fake.later();
    }
    fake.key(L'\r', 13);
    fake.later();
    fake.key(27, 27);
    EXPECT_EQ(run(matches), c.chosen.empty() ? L"" : L"Q:\\no\\such\\" + c.chosen);
    const int row = c.chosen.empty() ? layout().list_top + layout().page_size : layout().list_top - 1;
    EXPECT_NE(fake.row(row).find(c.shown), std::wstring::npos) << ::testing::PrintToString(fake.row(row));
  }
}

TEST_F(ScreenDrawing, EmptyListReturnsAtOnceWithoutDrawing) {
  FakeConsole fake(100, 40);
  open(fake, 100, 40, 2);
  const std::wstring before = fake.row(4);
  EXPECT_EQ(run({}), L"");
  EXPECT_EQ(fake.row(4), before);
}

TEST_F(ScreenDrawing, KeysWaitingTogetherCostOneRedraw) {
  // A single Down, then 200 Downs and an Up sent at once: the screen is
  // drawn as often for the burst as for the one key.
  int writes[2] = {};
  for (int burst = 0; burst < 2; ++burst) {
    FakeConsole fake(100, 40);
    open(fake, 100, 40, 300);
    const int drawn = fake.writes;
    for (int i = 0; i < (burst ? 200 : 1); ++i) fake.key(0, key::down);
    if (burst) fake.key(0, key::up);
    fake.later();
    fake.key(L'\r', 13);
    EXPECT_EQ(run(paths(300)), burst ? L"Q:\\no\\such\\proj200" : L"Q:\\no\\such\\proj2");
    writes[burst] = fake.writes - drawn;
  }
  EXPECT_EQ(writes[0], writes[1]);
}

TEST_F(ScreenDrawing, PreviewLinesStayInsideTheFrame) {
  FakeConsole fake(60, 40);
  open(fake, 60, 40, 2);
  std::vector<platform::DirectoryEntry> entries(50, {L"entry", true});
  draw_preview(*console_, page_->frame(), {true, entries, 50, true});
  const auto& layout = this->layout();
  for (int n = 0; n < layout.preview_height + 2; ++n) {
    EXPECT_EQ(fake.row(layout.preview_top + n)[static_cast<std::size_t>(layout.frame_width)], kSide);
  }
  EXPECT_EQ(fake.row(layout.preview_top).substr(2, 7), L"[entry]");
}

}  // namespace
}  // namespace zrn

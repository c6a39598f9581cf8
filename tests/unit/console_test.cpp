#include "console/console.h"

#include <gtest/gtest.h>

#include <optional>

#include "app/build_watch.h"
#include "app/run_control.h"
#include "fake_console.h"

namespace zrn {
namespace {

using testing::FakeConsole;

class ConsoleTest : public ::testing::Test {
 protected:
  // The console of a run on the fake, opened as the run opens it.
  Console& use(FakeConsole& fake) {
    console_.emplace(fake);
    console_->open(L"ZRN - Zarnpath");
    return *console_;
  }
  std::optional<Console> console_;
};

TEST_F(ConsoleTest, ColoursAboveFifteenAreIgnored) {
  FakeConsole fake(80, 25);
  Console& console = use(fake);
  console.set_colour(0, 3);
  EXPECT_EQ(fake.shown().attributes, 0x30);
  console.set_colour(16, 0);
  console.set_colour(0, 16);
  EXPECT_EQ(fake.shown().attributes, 0x30);
}

TEST_F(ConsoleTest, AStyleLastsWhileItLivesThenTheColoursBeforeItComeBack) {
  FakeConsole fake(80, 25);
  Console& console = use(fake);
  console.set_colour(white, blue);
  {
    const Styled keys(console, Style::keys);
    EXPECT_EQ(fake.shown().attributes, 0x30);
    {
      const Styled chosen(console, Style::chosen);
      EXPECT_EQ(fake.shown().attributes, 0x70);
    }
    EXPECT_EQ(fake.shown().attributes, 0x30);
  }
  EXPECT_EQ(fake.shown().attributes, 0x1F);
}

TEST_F(ConsoleTest, LocateAndClearAreIgnoredInLineMode) {
  FakeConsole fake(80, 25);
  Console& console = use(fake);
  console.print(L"abc");
  console.locate(5, 5);
  console.clear();
  EXPECT_EQ(fake.shown().cursor_x, 3);
  EXPECT_EQ(fake.shown().cursor_y, 0);
  EXPECT_EQ(fake.row(0).substr(0, 3), L"abc");
}

TEST_F(ConsoleTest, FullScreenClipsAtTheBufferWidthAndLineEndMovesDown) {
  FakeConsole fake(10, 5);
  Console& console = use(fake);
  console.set_full_screen(true);
  console.clear();
  EXPECT_EQ(fake.shown().mode, 0u);
  console.locate(0, 1);
  console.print_line(L"0123456789ABCDEF");
  EXPECT_EQ(fake.row(1), L"0123456789");
  EXPECT_EQ(fake.row(2), L"          ");
  EXPECT_EQ(fake.shown().cursor_x, 0);
  EXPECT_EQ(fake.shown().cursor_y, 2);
  EXPECT_EQ(fake.shown().mode, 0u);
  console.print_line(L"");
  EXPECT_EQ(fake.shown().cursor_y, 3);
}

TEST_F(ConsoleTest, RedirectedOutputIsUtf8WithCrLfAndHasNoWindowSize) {
  FakeConsole fake(80, 25, /*redirected=*/true);
  Console& console = use(fake);
  console.print(L"Caf\u00e9 ");
  console.print_line(L"x");
  EXPECT_EQ(fake.bytes, "Caf\xC3\xA9 x\r\n");
  EXPECT_FALSE(console.window_size().has_value());
}

TEST_F(ConsoleTest, WindowSizeIsTheVisibleWindow) {
  FakeConsole fake(120, 40);
  Console& console = use(fake);
  const std::optional<Size> size = console.window_size();
  ASSERT_TRUE(size.has_value());
  EXPECT_EQ(size->width, 120);
  EXPECT_EQ(size->height, 40);
}

TEST_F(ConsoleTest, ReadKeyTakesTheFirstKeyDownAndDropsOtherEvents) {
  FakeConsole fake(80, 25);
  Console& console = use(fake);
  auto expect_key = [&](std::wstring_view text, int code) {
    const KeyPress key = console.read_key();
    EXPECT_EQ(key.text, text);
    EXPECT_EQ(key.code, code);
  };
  expect_key(L"", 0);

  fake.input.push_back({platform::InputKind::other, false, 0, 0});  // a mouse event
  fake.key(0, 40);                                                  // Down
  expect_key(L"", 40);

  fake.key(13, 13);
  expect_key(L"\r", 13);

  fake.key(L'a', 0x41);
  expect_key(L"a", 0x41);
}

TEST_F(ConsoleTest, EveryWayOutGivesTheUsersConsoleBack) {
  struct Case {
    const char* name;
    bool own_screen;  // the console can make a second screen
    void (*leave)(FakeConsole&, Console&);
    int shutdowns;
  };
  const Case cases[] = {
      {"close", true, [](FakeConsole&, Console& c) { c.close(); }, 0},
      {"close without a second screen", false, [](FakeConsole&, Console& c) { c.close(); }, 0},
      {"Ctrl+C", true, [](FakeConsole& f, Console&) { f.control_handler(platform::ControlEvent::interrupt); }, 1},
      {"window closed", true, [](FakeConsole& f, Console&) { f.control_handler(platform::ControlEvent::close); }, 1},
      // Without a second screen the page's mode is the user's screen's own
      // until the handler gives it back; a pass opens the console again.
      {"Ctrl+Break without a second screen", false,
       [](FakeConsole& f, Console& c) {
         c.open();
         f.control_handler(platform::ControlEvent::interrupt);
       },
       1},
      {"window closed without a second screen", false,
       [](FakeConsole& f, Console&) { f.control_handler(platform::ControlEvent::close); }, 1},
      {"internal failure", true, [](FakeConsole&, Console&) { give_watched_console_back(); }, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeConsole fake(80, 25);
    fake.can_open_screen = c.own_screen;
    fake.user.attributes = 0x1E;
    Console& console = use(fake);
    RunControl control(console);
    control.watch(fake);
    console.print_line(L"the user's line");
    console.set_full_screen(true);
    console.set_colour(0, 7);
    console.clear();
    console.set_title(L"indexing D:\\");
    console.restore_title();
    EXPECT_EQ(fake.title, L"ZRN - Zarnpath");
    c.leave(fake, console);
    EXPECT_FALSE(fake.own_shown);
    EXPECT_EQ(fake.user.mode, 3u);
    EXPECT_EQ(fake.user.attributes, 0x1E);
    EXPECT_EQ(fake.title, L"user title");
    EXPECT_EQ(control.shut_down() ? 1 : 0, c.shutdowns);
    if (c.own_screen) {
      EXPECT_EQ(fake.user.row(0).substr(0, 15), L"the user's line");
    }
  }
}

TEST_F(ConsoleTest, DuringABuildCtrlCAndEscapeStopItAndOtherKeysAreDropped) {
  struct Case {
    const char* name;
    void (*type)(FakeConsole&);
    bool stops;
  };
  const Case cases[] = {
      {"Return, F2, a letter",
       [](FakeConsole& f) {
         f.key(13, 13);
         f.key(0, 0x71);
         f.key(L'a', 0x41);
       },
       false},
      {"a letter, then ESC",
       [](FakeConsole& f) {
         f.key(L'a', 0x41);
         f.key(27, 27);
       },
       true},
      {"Ctrl+C", [](FakeConsole& f) { EXPECT_TRUE(f.control_handler(platform::ControlEvent::interrupt)); }, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeConsole fake(80, 25);
    Console& console = use(fake);
    RunControl control(console);
    control.watch(fake);
    std::vector<std::wstring> notes;
    BuildWatch watch(control, notes);
    watch.started(L"D:\\");
    EXPECT_FALSE(watch.cancelled());
    c.type(fake);
    EXPECT_EQ(watch.cancelled(), c.stops);
    if (!c.stops) {
      EXPECT_TRUE(fake.input.empty());
    }
    watch.finished();
    EXPECT_EQ(fake.status, L"");
    // Once the build is over, Ctrl+C ends the program again.
    EXPECT_FALSE(fake.control_handler(platform::ControlEvent::interrupt));
    EXPECT_TRUE(control.shut_down());
  }
}

TEST_F(ConsoleTest, SecondOpenDoesNotRegisterTheCloseHandlerAgain) {
  FakeConsole fake(80, 25);
  Console& console = use(fake);
  RunControl control(console);
  control.watch(fake);
  console.open();
  EXPECT_EQ(fake.handlers_installed, 1);
  EXPECT_EQ(fake.title, L"ZRN - Zarnpath");
}

}  // namespace
}  // namespace zrn

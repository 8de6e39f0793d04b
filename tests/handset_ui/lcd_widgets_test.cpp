#include "handset_ui/lcd_widgets.h"

#include <gtest/gtest.h>

#include <string>

#include "foundation/byte_stream.h"
#include "tests/handset_ui/support/fixed_clock.h"
#include "tests/handset_ui/support/lcd_picture.h"
#include "ui/locale_table.h"

namespace talvio {
namespace {

using namespace talvio::testing;

TEST(LcdDrawing, TextInBothFontsShowsTheDebianGlyphs) {
    LcdCanvas canvas = MakeCanvas();
    DrawText(canvas, LcdFontOf(LcdFontSize::kLarge), L"Call \u4e2d", {0, 0, 128, 16}, {});
    EXPECT_EQ(Picture(canvas, {0, 0, 60, 15}), Snapshot("text_large"));
    EXPECT_EQ(LitOutside(canvas, {0, 0, 60, 15}), 0);

    canvas.ClearPixels();
    DrawText(canvas, LcdFontOf(LcdFontSize::kSmall), L"Jog \u6587", {10, 20, 128, 40}, {});
    EXPECT_EQ(Picture(canvas, {10, 20, 46, 31}), Snapshot("text_small"));
    EXPECT_EQ(LitOutside(canvas, {10, 20, 46, 31}), 0);
}

TEST(LcdDrawing, VolumeBarAtLevelEightFillsHalfItsRisingColumns) {
    LcdCanvas canvas = MakeCanvas();
    BarWidget bar({10, 18, 136, 46});
    bar.SetLevel(8);
    bar.Draw(canvas, 0);
    EXPECT_EQ(Picture(canvas, {0, 18, 128, 46}), Snapshot("bar_level8"));
    EXPECT_EQ(LitOutside(canvas, {0, 18, 128, 46}), 0);

    // Levels are clamped; a level source is read again only after 300 ms.
    int volume = 20;
    bar.SetLevelSource([&volume] { return volume; });
    EXPECT_TRUE(bar.Tick(1000));
    EXPECT_EQ(bar.level(), 16);
    volume = -3;
    EXPECT_FALSE(bar.Tick(1299));
    EXPECT_TRUE(bar.Tick(1300));
    EXPECT_EQ(bar.level(), 0);
}

TEST(LcdDrawing, IconIsStretchedOverWhatWasThereAndClippedAtTheEdge) {
    LcdCanvas canvas = MakeCanvas();
    FillWhite(canvas, {0, 0, 128, 64});
    IconWidget icon({40, 10, 72, 42});
    icon.SetImage(&StripIconAt(kIconTick));
    icon.Draw(canvas, 0);
    EXPECT_EQ(Picture(canvas, {40, 10, 72, 42}), Snapshot("icon_tick_2x"));
    EXPECT_TRUE(Lit(canvas, 39, 10) && Lit(canvas, 72, 41) && Lit(canvas, 40, 9));

    // Half off the right edge: the visible half is drawn, nothing wraps to the left.
    canvas.ClearPixels();
    DrawIcon(canvas, StripIconAt(kIconTick), {120, 0, 136, 16});
    EXPECT_EQ(LitOutside(canvas, {120, 0, 128, 16}), 0);
    EXPECT_TRUE(Lit(canvas, 121, 7));  // the tick's left stroke (art row 7, column 1)
}

TEST(TextWidget, MarqueeWaitsThreeSecondsStepsEvery300MsAndRestsOneSecondAtTheEnd) {
    LcdCanvas canvas = MakeCanvas();
    TextWidget label({0, 0, 64, 16});
    label.SetText(L"ABCDEFGHIJKL");  // 108 pixels; the last start leaves 8 characters: 4
    EXPECT_FALSE(label.Tick(500));   // not laid out before it is drawn
    label.Draw(canvas, 1000);
    EXPECT_FALSE(label.Tick(3999));
    EXPECT_TRUE(label.Tick(4000));
    EXPECT_EQ(label.marqueePosition(), 1);
    EXPECT_FALSE(label.Tick(4299));
    EXPECT_TRUE(label.Tick(4300));
    EXPECT_TRUE(label.Tick(4600));
    EXPECT_TRUE(label.Tick(4900));
    EXPECT_EQ(label.marqueePosition(), 4);
    EXPECT_FALSE(label.Tick(5899));
    EXPECT_TRUE(label.Tick(5900));
    EXPECT_EQ(label.marqueePosition(), 0);
    EXPECT_FALSE(label.Tick(8899));
    EXPECT_TRUE(label.Tick(8900));

    // Ideographs count twice: from the end D C B A (4) 中 (6) 话 (8), so the last start is 1.
    label.SetText(L"\u901a\u8bdd\u4e2dABCD");
    label.Draw(canvas, 10000);
    EXPECT_EQ(label.marqueePosition(), 0);
    EXPECT_TRUE(label.Tick(13000));
    EXPECT_EQ(label.marqueePosition(), 1);
    EXPECT_FALSE(label.Tick(13300));
    EXPECT_TRUE(label.Tick(14000));
    EXPECT_EQ(label.marqueePosition(), 0);

    // A text that fits, or an inactive widget, never scrolls.
    label.SetText(L"ABCDEFG");
    label.Draw(canvas, 20000);
    EXPECT_FALSE(label.Tick(30000));
    label.SetText(L"ABCDEFGHIJKL");
    label.SetActive(false);
    label.Draw(canvas, 40000);
    EXPECT_FALSE(label.Tick(50000));
}

TEST(TextWidget, SingleLineAlignmentAndWordWrapPlaceTextLikeDrawText) {
    const LcdFont& large = LcdFontOf(LcdFontSize::kLarge);
    LcdCanvas canvas = MakeCanvas();
    LcdCanvas expected = MakeCanvas();

    // "12:05" is 45 wide: right-aligned in x 64..128 it starts at 83.
    TextWidget clock({64, 0, 128, 16}, LcdHAlign::kRight);
    clock.SetText(L"12:05");
    clock.Draw(canvas, 0);
    DrawText(expected, large, L"12:05", {83, 0, 128, 16}, {});
    // The small font (11 rows) centred in a 16-row band starts 2 rows down.
    TextWidget status({0, 16, 128, 32}, LcdHAlign::kLeft, LcdVAlign::kCentre);
    status.SetFont(LcdFontSize::kSmall);
    status.SetText(L"Back");
    status.Draw(canvas, 0);
    DrawText(expected, LcdFontOf(LcdFontSize::kSmall), L"Back", {0, 18, 128, 32}, {});
    // Too wide for its band (117 > 64): drawn from the left despite centring.
    TextWidget wide({0, 48, 64, 64}, LcdHAlign::kCentre);
    wide.SetText(L"Incoming Call");
    wide.Draw(canvas, 0);
    DrawText(expected, large, L"Incoming Call", {0, 48, 64, 64}, {});
    EXPECT_EQ(Picture(canvas, {0, 0, 128, 64}), Picture(expected, {0, 0, 128, 64}));

    // A dial number of 18 characters wraps after 14 (126 pixels), centred both
    // ways in y 16..48: 30 rows of text leave 2, so it moves down 1; the lines
    // start at (128 - 126) / 2 = 1 and (128 - 36) / 2 = 46.
    canvas.ClearPixels();
    expected.ClearPixels();
    TextWidget dial({0, 16, 128, 48}, LcdHAlign::kCentre, LcdVAlign::kCentre);
    dial.SetWordWrap(true);
    dial.SetText(L"+4412345678901234");
    ASSERT_TRUE(dial.Append(L'5'));
    dial.Draw(canvas, 0);
    DrawText(expected, large, L"+4412345678901", {1, 17, 128, 48}, {});
    DrawText(expected, large, L"2345", {46, 32, 128, 48}, {});
    EXPECT_EQ(Picture(canvas, {0, 0, 128, 64}), Picture(expected, {0, 0, 128, 64}));

    // Words break at spaces, the spaces hang; CR LF breaks a line.
    EXPECT_EQ(MeasureText(large, L"Missed Call", 64, true).width, 54);
    EXPECT_EQ(MeasureText(large, L"Missed Call", 64, true).height, 30);
    EXPECT_EQ(MeasureText(large, L"Missed  Call", 128, true).height, 15);
    EXPECT_EQ(MeasureText(large, L"OK\r\nBack", 128, true).height, 30);
    EXPECT_EQ(MeasureText(large, L"OK\r\nBack", 128, false).width, 54);  // controls have no width
}

TEST(TextWidget, TextsAreCappedAt99CharactersAndEditedOneAtATime) {
    TextWidget dial({0, 16, 128, 48});
    const std::wstring long_text(150, L'7');
    EXPECT_TRUE(dial.SetText(long_text));
    EXPECT_EQ(dial.text().size(), 99u);
    EXPECT_FALSE(dial.Append(L'8'));
    EXPECT_FALSE(dial.SetText(long_text));
    EXPECT_TRUE(dial.RemoveLast());
    EXPECT_TRUE(dial.Append(L'8'));
    EXPECT_EQ(dial.text().back(), L'8');
    EXPECT_TRUE(dial.SetText(L""));
    EXPECT_FALSE(dial.RemoveLast());
}

TEST(TimerWidget, DurationsSwitchToHoursAtOneHourAndTheTimerCountsWholeSeconds) {
    std::array<wchar_t, 16> buffer;
    EXPECT_EQ(FormatDuration(0, buffer), L"0:00");
    EXPECT_EQ(FormatDuration(3599, buffer), L"59:59");
    EXPECT_EQ(FormatDuration(3600, buffer), L"1:00:00");
    EXPECT_EQ(FormatDuration(36061, buffer), L"10:01:01");
    EXPECT_EQ(FormatDuration(-1, buffer), L"");

    TimerWidget timer({0, 32, 128, 48});
    timer.Start(0);  // a start at tick 0 still counts as running
    EXPECT_TRUE(timer.running());
    EXPECT_EQ(timer.text(), L"0:00");
    EXPECT_FALSE(timer.Tick(999));
    EXPECT_FALSE(timer.Tick(1000));  // 0 s: unchanged
    EXPECT_TRUE(timer.Tick(61001));
    EXPECT_EQ(timer.text(), L"1:01");
    timer.Stop(3600);
    EXPECT_FALSE(timer.running());
    EXPECT_EQ(timer.text(), L"1:00:00");
    timer.Stop(-5);
    EXPECT_EQ(timer.text(), L"1:00:00");
    EXPECT_FALSE(timer.Tick(200000));
}

TEST(ClockAndDateWidgets, ShowLocalTimeAndDateAndRefreshOnlyWhenDue) {
    testing::FixedClock clock;
    ClockWidget time({64, 0, 128, 16}, clock, LcdHAlign::kRight);
    DateWidget date({0, 32, 128, 48}, clock, LcdHAlign::kCentre);
    EXPECT_TRUE(time.Tick(100));
    EXPECT_TRUE(date.Tick(100));
    EXPECT_EQ(time.text(), L"9:05");
    EXPECT_EQ(date.text(), L"31.12.");
    clock.now = {2025, 1, 1, 10, 0, 0};
    EXPECT_FALSE(time.Tick(599));
    EXPECT_TRUE(time.Tick(600));
    EXPECT_EQ(time.text(), L"10:00");
    EXPECT_FALSE(date.Tick(5099));
    EXPECT_TRUE(date.Tick(5100));
    EXPECT_EQ(date.text(), L"1.1.");
}

TEST(LcdTexts, KeysFollowTheLanguageAndKnownEnglishTextsAreTranslated) {
    const std::string xml =
        "<Locale><Item ID='65565'><English value='HangUp'/><Polish value='Rozłącz'/></Item>"
        "<Item ID='65557'><English value='Back'/></Item></Locale>";
    MemoryStream input(xml.data(), static_cast<int>(xml.size()), MemoryStream::Borrowed);
    LocaleTable locale;
    locale.read(input);
    const LcdTexts texts(&locale);
    EXPECT_EQ(texts.Text(0x10004), L"Menu");
    EXPECT_EQ(texts.Text(0x10030), L"");
    EXPECT_EQ(texts.Localise(L"hANGuP"), L"HangUp");
    EXPECT_EQ(texts.Localise(L"Alexander"), L"Alexander");

    TextWidget softkey({64, 48, 128, 64}, LcdHAlign::kCentre);
    softkey.SetTextKey(kLcdHangUp, texts);
    locale.setLanguage(4);
    EXPECT_TRUE(softkey.Relocalise(texts));
    EXPECT_EQ(softkey.text(), L"Roz\u0142\u0105cz");
    EXPECT_FALSE(softkey.Relocalise(texts));
    EXPECT_EQ(texts.Localise(L"HANGUP"), L"Roz\u0142\u0105cz");
    EXPECT_EQ(texts.Text(kLcdBack), L"Back");  // no Polish text: the English one
    softkey.SetText(L"Hold");
    EXPECT_FALSE(softkey.Relocalise(texts));  // a plain text has no key
}

}  // namespace
}  // namespace talvio

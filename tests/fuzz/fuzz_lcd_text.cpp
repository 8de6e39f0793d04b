// Random texts and rectangles through the LCD text drawing, directly and
// through a text widget (word wrap, alignment, marquee steps). The first
// five bytes choose the rectangle (which may lie off the canvas) and the
// format; the rest are UTF-16 code units, so ideographs, surrogates and
// controls all occur. The text sits in a buffer of exactly its size, so the
// sanitiser sees a read past it; nothing may be drawn outside the rectangle,
// and the canvas's own buffer is exactly its size.
#include <vector>

#include "handset_ui/lcd_widgets.h"
#include "tests/fuzz/fuzz_target.h"

namespace {

using namespace talvio;

bool LitOutside(const LcdCanvas& canvas, const os::Rect& rect) {
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            const bool lit = canvas.dibBits()[y * canvas.dibStride() + x / 8] & (0x80 >> (x % 8));
            if (lit && (x < rect.left || x >= rect.right || y < rect.top || y >= rect.bottom)) return true;
        }
    return false;
}

}  // namespace

TALVIO_FUZZ_TARGET(lcd_text) {
    if (size < 5) return 0;
    const os::Rect rect{static_cast<std::int8_t>(data[0]), static_cast<std::int8_t>(data[1]),
                        static_cast<std::int8_t>(data[2]) + 64, static_cast<std::int8_t>(data[3]) + 32};
    const std::uint8_t flags = data[4];
    const LcdFontSize font = flags & 1 ? LcdFontSize::kSmall : LcdFontSize::kLarge;
    const bool wrap = (flags & 2) != 0;
    const auto horizontal = static_cast<LcdHAlign>((flags >> 2) % 3);
    const auto vertical = static_cast<LcdVAlign>((flags >> 4) % 3);
    std::vector<wchar_t> text((size - 5) / 2);
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<wchar_t>(data[5 + 2 * i] | data[6 + 2 * i] << 8);
    const std::wstring_view view(text.data(), text.size());

    LcdCanvas canvas(128, 64, 11, std::vector<int>(8, 8));
    DrawText(canvas, LcdFontOf(font), view, rect, {horizontal, vertical, wrap});
    TALVIO_FUZZ_CHECK(!LitOutside(canvas, rect));
    const LcdTextSize measured = MeasureText(LcdFontOf(font), view, rect.right - rect.left, wrap);
    TALVIO_FUZZ_CHECK(measured.width >= 0 && measured.height >= 0);

    canvas.ClearPixels();
    TextWidget widget(rect, horizontal, vertical);
    widget.SetFont(font);
    widget.SetWordWrap(wrap);
    widget.SetText(view);
    TALVIO_FUZZ_CHECK(widget.text().size() <= TextWidget::kMaxChars);
    widget.Draw(canvas, 0);
    for (std::uint32_t now = 3000; now < 6000 && !(flags & 0x40); now += 300) {
        if (widget.Tick(now)) widget.Draw(canvas, now);
        TALVIO_FUZZ_CHECK(widget.marqueePosition() >= 0 &&
                          widget.marqueePosition() <= static_cast<int>(widget.text().size()));
    }
    if (flags & 0x80) widget.RemoveLast();
    widget.Append(L'#');
    widget.Draw(canvas, 7000);
    TALVIO_FUZZ_CHECK(!LitOutside(canvas, rect));
    return 0;
}

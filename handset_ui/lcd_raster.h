// Our own 1-bit drawing on the LCD canvas, the same pixels on every
// platform: the visible behaviour of the GDI calls the pages were designed
// around (PatBlt, Rectangle with the white pen and null brush, StretchBlt of
// icons, DrawTextW with DT_CALCRECT, DT_WORDBREAK and the alignments). Every
// operation clips to the canvas; text also to its rectangle. No allocation.
// Main thread only (the canvas's picture belongs to the drawing thread).
#pragma once

#include <string_view>

#include "handset_ui/lcd_canvas.h"
#include "handset_ui/lcd_font.h"
#include "handset_ui/lcd_icons.h"
#include "platform/platform.h"

namespace talvio {

enum class LcdHAlign { kLeft = 0, kRight = 1, kCentre = 2 };
enum class LcdVAlign { kTop = 0, kBottom = 1, kCentre = 2 };

struct LcdTextFormat {
    LcdHAlign horizontal = LcdHAlign::kLeft;
    LcdVAlign vertical = LcdVAlign::kTop;  // single-line text only, as DT_VCENTER and DT_BOTTOM
    bool wordBreak = false;
};

struct LcdTextSize {
    int width = 0;
    int height = 0;
};

// PatBlt WHITENESS / BLACKNESS / DSTINVERT over [left, right) x [top, bottom).
void FillWhite(LcdCanvas& canvas, const os::Rect& rect);
void FillBlack(LcdCanvas& canvas, const os::Rect& rect);
void InvertRect(LcdCanvas& canvas, const os::Rect& rect);
// Rectangle() with the white pen and the null brush: the one-pixel border of
// [left, right) x [top, bottom), the inside untouched.
void Outline(LcdCanvas& canvas, const os::Rect& rect);
// StretchBlt SRCCOPY of a 16 x 16 icon onto `rect` (nearest pixel): dark
// icon pixels are drawn black.
void DrawIcon(LcdCanvas& canvas, const LcdIcon& icon, const os::Rect& rect);

// The width of one line of text (no line breaks).
int LineWidth(const LcdFont& font, std::wstring_view text);
// DrawTextW with DT_CALCRECT in a rectangle `width` wide: the widest line
// and the height of all lines. Word breaking breaks at spaces and line
// breaks (CR, LF, CRLF) and, for a word wider than the line, inside it.
LcdTextSize MeasureText(const LcdFont& font, std::wstring_view text, int width, bool wordBreak);
// DrawTextW with DT_NOPREFIX: the text laid out in `rect` and clipped to it.
void DrawText(LcdCanvas& canvas, const LcdFont& font, std::wstring_view text, const os::Rect& rect,
              LcdTextFormat format);

}  // namespace talvio

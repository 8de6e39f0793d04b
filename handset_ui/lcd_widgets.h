// The widgets every LCD page is built from. A page owns its widgets and
// calls, in its list order, Draw after the frame was cleared, Tick every
// 200 ms (true: redraw the page) and Relocalise after a language change
// (true: a text changed). Widgets own copies of their texts (at most 99
// characters) and hold no pointer into the directory; icons point into the
// static icon tables. Times are tick counts in milliseconds. Main thread only.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "handset_ui/lcd_canvas.h"
#include "handset_ui/lcd_font.h"
#include "handset_ui/lcd_icons.h"
#include "handset_ui/lcd_raster.h"
#include "handset_ui/lcd_texts.h"
#include "handset_ui/local_clock.h"
#include "platform/platform.h"

namespace talvio {

class Widget {
public:
    explicit Widget(const os::Rect& rect, LcdHAlign horizontal = LcdHAlign::kLeft,
                    LcdVAlign vertical = LcdVAlign::kTop)
        : rect_(rect), horizontal_(horizontal), vertical_(vertical) {}
    virtual ~Widget() = default;
    Widget(const Widget&) = delete;
    Widget& operator=(const Widget&) = delete;

    // Draws nothing while not visible.
    virtual void Draw(LcdCanvas& canvas, std::uint32_t now) = 0;
    virtual bool Tick(std::uint32_t now) = 0;
    virtual bool Relocalise(const LcdTexts&) { return false; }

    const os::Rect& rect() const { return rect_; }
    void SetRect(const os::Rect& rect) { rect_ = rect; }
    bool visible() const { return visible_; }
    void SetVisible(bool visible) { visible_ = visible; }
    // Whether the animation (frames, marquee) runs; on at creation.
    bool active() const { return active_; }
    void SetActive(bool active) { active_ = active; }

protected:
    os::Rect rect_;
    LcdHAlign horizontal_;
    LcdVAlign vertical_;
    bool active_ = true;
    bool visible_ = true;
    std::uint32_t lastTick_ = 0;
    int animation_ = 0;
};

// Up to five 16 x 16 images stretched into the rectangle; with more than one
// and active, the next one every 400 ms.
class IconWidget : public Widget {
public:
    static constexpr int kMaxFrames = 5;
    static constexpr std::uint32_t kFrameMs = 400;

    explicit IconWidget(const os::Rect& rect) : Widget(rect) {}

    // One still image; null shows nothing.
    void SetImage(const LcdIcon* image);
    // An animation of the first five images, starting at the first.
    void SetFrames(std::span<const LcdIcon* const> images);
    int frame() const { return animation_; }

    void Draw(LcdCanvas& canvas, std::uint32_t now) override;
    bool Tick(std::uint32_t now) override;

private:
    std::array<const LcdIcon*, kMaxFrames> images_{};
    int frameCount_ = 0;
};

// A text of at most 99 characters in the large (default) or small font,
// single-line (default) or word-wrapping. A single-line text wider than the
// rectangle scrolls while active: 3 s at the start, one character every
// 300 ms up to the last start, 1 s there, then back to the start.
class TextWidget : public Widget {
public:
    static constexpr int kMaxChars = 99;
    static constexpr std::uint32_t kMarqueeStartMs = 3000;
    static constexpr std::uint32_t kMarqueeStepMs = 300;
    static constexpr std::uint32_t kMarqueeEndMs = 1000;

    explicit TextWidget(const os::Rect& rect, LcdHAlign horizontal = LcdHAlign::kLeft,
                        LcdVAlign vertical = LcdVAlign::kTop)
        : Widget(rect, horizontal, vertical) {}

    void SetFont(LcdFontSize size);
    void SetWordWrap(bool wrap);
    // Keeps the first 99 characters and forgets the localisation key; true
    // when the text changed.
    bool SetText(std::wstring_view text);
    // The key's text in the current language; the key is kept for Relocalise.
    bool SetTextKey(int key, const LcdTexts& texts);
    // Dial-field editing: append while fewer than 99 are held; remove the
    // last. True when the text changed.
    bool Append(wchar_t c);
    bool RemoveLast();
    // Back to the first character, waiting from `now`.
    void ResetMarquee(std::uint32_t now);

    std::wstring_view text() const { return {text_.data(), static_cast<std::size_t>(length_)}; }
    int key() const { return key_; }
    int marqueePosition() const { return animation_; }

    void Draw(LcdCanvas& canvas, std::uint32_t now) override;
    bool Tick(std::uint32_t now) override;
    bool Relocalise(const LcdTexts& texts) override;

protected:
    // Lays out a changed text: size, marquee back to the start from `now`,
    // the last start position.
    void Measure(std::uint32_t now);

    std::array<wchar_t, kMaxChars> text_{};
    int length_ = 0;
    int key_ = 0;
    LcdFontSize font_ = LcdFontSize::kLarge;
    bool wordWrap_ = false;
    bool measured_ = false;
    int width_ = 0;
    int height_ = 0;
    int lastStart_ = 0;
    std::uint32_t marqueeTime_ = 0;
};

// A text made from the local clock, refreshed at least `period` after the
// last refresh (and at the first tick); in between, the marquee runs.
class LocalTimeWidget : public TextWidget {
public:
    bool Tick(std::uint32_t now) override;

protected:
    // `clock` is not owned and outlives the widget.
    LocalTimeWidget(const os::Rect& rect, const LocalClock& clock, LcdHAlign horizontal,
                    std::uint32_t period)
        : TextWidget(rect, horizontal), clock_(clock), period_(period) {}
    virtual std::wstring_view Format(const LocalClock& clock, std::span<wchar_t, 64> buffer) const = 0;

private:
    const LocalClock& clock_;
    std::uint32_t period_;
    bool refreshed_ = false;
};

// The local time as "%d:%02d" (hour, minute), refreshed every 500 ms.
class ClockWidget final : public LocalTimeWidget {
public:
    static constexpr std::uint32_t kRefreshMs = 500;

    ClockWidget(const os::Rect& rect, const LocalClock& clock, LcdHAlign horizontal)
        : LocalTimeWidget(rect, clock, horizontal, kRefreshMs) {}

private:
    std::wstring_view Format(const LocalClock& clock, std::span<wchar_t, 64> buffer) const override;
};

// The local date in the user's short date format, refreshed every 5 s.
class DateWidget final : public LocalTimeWidget {
public:
    static constexpr std::uint32_t kRefreshMs = 5000;

    DateWidget(const os::Rect& rect, const LocalClock& clock, LcdHAlign horizontal)
        : LocalTimeWidget(rect, clock, horizontal, kRefreshMs) {}

private:
    std::wstring_view Format(const LocalClock& clock, std::span<wchar_t, 64> buffer) const override;
};

// "%d:%02d" below an hour, "%d:%02d:%02d" from an hour on; nothing (empty)
// for negative seconds. Writes into `buffer`, which must hold 16 characters.
std::wstring_view FormatDuration(int seconds, std::span<wchar_t, 16> buffer);

// A call's duration: while started, the whole seconds since the start,
// refreshed at least 1 s apart.
class TimerWidget : public TextWidget {
public:
    static constexpr std::uint32_t kRefreshMs = 1000;

    using TextWidget::TextWidget;

    // Shows 0:00 and counts from `now`.
    void Start(std::uint32_t now);
    // Stops and shows `seconds`; a negative value leaves the text as it is.
    void Stop(int seconds);
    bool running() const { return start_ != 0; }

    bool Tick(std::uint32_t now) override;

private:
    std::uint32_t start_ = 0;  // 0 = stopped
};

// Sixteen rising columns, the first `level` of them filled, the others
// outlined. With a level source the bar re-reads it every 300 ms.
class BarWidget : public Widget {
public:
    static constexpr int kColumns = 16;
    static constexpr std::uint32_t kReadMs = 300;

    explicit BarWidget(const os::Rect& rect) : Widget(rect) {}

    // Clamped to 0..16; true when it changed.
    bool SetLevel(int level);
    int level() const { return level_; }
    // Called on the main thread from Tick; an empty source stops reading.
    void SetLevelSource(std::function<int()> source) { source_ = std::move(source); }

    void Draw(LcdCanvas& canvas, std::uint32_t now) override;
    bool Tick(std::uint32_t now) override;

private:
    int level_ = 0;
    std::function<int()> source_;
    bool read_ = false;
};

}  // namespace talvio

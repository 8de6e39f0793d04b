#include "handset_ui/lcd_widgets.h"

#include <algorithm>

namespace talvio {
namespace {

constexpr int kMarqueeTail = 8;  // characters (ideographs count twice) left at the last start

// Writes `value` with at least `digits` digits at buffer[at]; the new end.
std::size_t PutNumber(std::span<wchar_t> buffer, std::size_t at, int value, int digits) {
    wchar_t reversed[12];
    int count = 0;
    unsigned rest = static_cast<unsigned>(value);
    do {
        reversed[count++] = static_cast<wchar_t>(L'0' + rest % 10);
        rest /= 10;
    } while (rest != 0 || count < digits);
    while (count > 0 && at < buffer.size()) buffer[at++] = reversed[--count];
    return at;
}

}  // namespace

void IconWidget::SetImage(const LcdIcon* image) {
    images_[0] = image;
    frameCount_ = image != nullptr ? 1 : 0;
    animation_ = 0;
}

void IconWidget::SetFrames(std::span<const LcdIcon* const> images) {
    frameCount_ = static_cast<int>(std::min<std::size_t>(images.size(), kMaxFrames));
    std::copy_n(images.begin(), frameCount_, images_.begin());
    animation_ = 0;
}

void IconWidget::Draw(LcdCanvas& canvas, std::uint32_t) {
    if (!visible_ || frameCount_ == 0 || images_[animation_] == nullptr) return;
    DrawIcon(canvas, *images_[animation_], rect_);
}

bool IconWidget::Tick(std::uint32_t now) {
    if (frameCount_ <= 1 || !active_ || now - lastTick_ < kFrameMs) return false;
    animation_ = (animation_ + 1) % frameCount_;
    lastTick_ = now;
    return true;
}

void TextWidget::SetFont(LcdFontSize size) {
    font_ = size;
    measured_ = false;
}

void TextWidget::SetWordWrap(bool wrap) {
    wordWrap_ = wrap;
    measured_ = false;
}

bool TextWidget::SetText(std::wstring_view text) {
    key_ = 0;
    text = text.substr(0, kMaxChars);
    if (text == this->text()) return false;
    std::copy(text.begin(), text.end(), text_.begin());
    length_ = static_cast<int>(text.size());
    measured_ = false;
    return true;
}

bool TextWidget::SetTextKey(int key, const LcdTexts& texts) {
    const bool changed = SetText(texts.Text(key));
    key_ = key;
    return changed;
}

bool TextWidget::Relocalise(const LcdTexts& texts) {
    return key_ != 0 && SetTextKey(key_, texts);
}

bool TextWidget::Append(wchar_t c) {
    if (length_ >= kMaxChars) return false;
    text_[length_++] = c;
    measured_ = false;
    return true;
}

bool TextWidget::RemoveLast() {
    if (length_ == 0) return false;
    --length_;
    measured_ = false;
    return true;
}

void TextWidget::ResetMarquee(std::uint32_t now) {
    animation_ = 0;
    marqueeTime_ = now;
}

void TextWidget::Measure(std::uint32_t now) {
    const LcdTextSize size =
        MeasureText(LcdFontOf(font_), text(), rect_.right - rect_.left, wordWrap_);
    width_ = size.width;
    height_ = size.height;
    ResetMarquee(now);
    int counted = 0;
    int position = length_;
    while (position > 0 && counted < kMarqueeTail) {
        --position;
        counted += static_cast<unsigned>(text_[position]) > 254 ? 2 : 1;
    }
    lastStart_ = position;
    measured_ = true;
}

void TextWidget::Draw(LcdCanvas& canvas, std::uint32_t now) {
    if (!visible_) return;
    if (!measured_) Measure(now);
    const LcdFont& font = LcdFontOf(font_);
    os::Rect area = rect_;
    if (wordWrap_) {
        // DrawTextW aligns only single lines vertically: wrapped text moves down itself.
        const int free = (area.bottom - area.top) - height_;
        if (free > 0 && vertical_ == LcdVAlign::kBottom) area.top += free;
        if (free > 0 && vertical_ == LcdVAlign::kCentre) area.top += free / 2;
        DrawText(canvas, font, text(), area, {horizontal_, LcdVAlign::kTop, true});
        return;
    }
    const bool fits = width_ <= area.right - area.left;
    DrawText(canvas, font, text().substr(fits ? 0 : static_cast<std::size_t>(animation_)), area,
             {fits ? horizontal_ : LcdHAlign::kLeft, vertical_, false});
}

bool TextWidget::Tick(std::uint32_t now) {
    if (!active_ || !measured_ || wordWrap_ || width_ <= rect_.right - rect_.left || lastStart_ <= 0)
        return false;
    const std::uint32_t waited = now - marqueeTime_;
    if (animation_ == 0) {
        if (waited < kMarqueeStartMs) return false;
        animation_ = 1;
    } else if (animation_ >= lastStart_) {
        if (waited < kMarqueeEndMs) return false;
        animation_ = 0;
    } else {
        if (waited < kMarqueeStepMs) return false;
        ++animation_;
    }
    marqueeTime_ = now;
    return true;
}

bool LocalTimeWidget::Tick(std::uint32_t now) {
    if (refreshed_ && now - lastTick_ < period_) return TextWidget::Tick(now);
    refreshed_ = true;
    lastTick_ = now;
    std::array<wchar_t, 64> buffer;
    return SetText(Format(clock_, buffer));
}

std::wstring_view ClockWidget::Format(const LocalClock& clock, std::span<wchar_t, 64> buffer) const {
    const LocalTime time = clock.Now();
    std::size_t end = PutNumber(buffer, 0, time.hour, 1);
    buffer[end++] = L':';
    end = PutNumber(buffer, end, time.minute, 2);
    return {buffer.data(), end};
}

std::wstring_view DateWidget::Format(const LocalClock& clock, std::span<wchar_t, 64> buffer) const {
    const int length = clock.ShortDate(clock.Now(), buffer);
    return {buffer.data(), static_cast<std::size_t>(std::clamp(length, 0, 64))};
}

std::wstring_view FormatDuration(int seconds, std::span<wchar_t, 16> buffer) {
    if (seconds < 0) return {};
    std::size_t end = 0;
    if (seconds >= 3600) {
        end = PutNumber(buffer, end, seconds / 3600, 1);
        buffer[end++] = L':';
        end = PutNumber(buffer, end, seconds / 60 % 60, 2);
    } else {
        end = PutNumber(buffer, end, seconds / 60, 1);
    }
    buffer[end++] = L':';
    end = PutNumber(buffer, end, seconds % 60, 2);
    return {buffer.data(), end};
}

void TimerWidget::Start(std::uint32_t now) {
    start_ = now != 0 ? now : 1;
    lastTick_ = now;
    SetText(L"0:00");
}

void TimerWidget::Stop(int seconds) {
    start_ = 0;
    std::array<wchar_t, 16> buffer;
    if (seconds >= 0) SetText(FormatDuration(seconds, buffer));
}

bool TimerWidget::Tick(std::uint32_t now) {
    if (start_ == 0 || now - lastTick_ < kRefreshMs) return TextWidget::Tick(now);
    lastTick_ = now;
    std::array<wchar_t, 16> buffer;
    return SetText(FormatDuration(static_cast<int>((now - start_) / 1000), buffer));
}

bool BarWidget::SetLevel(int level) {
    level = std::clamp(level, 0, kColumns);
    if (level == level_) return false;
    level_ = level;
    return true;
}

void BarWidget::Draw(LcdCanvas& canvas, std::uint32_t) {
    if (!visible_) return;
    const int pitch = (rect_.right - rect_.left) / kColumns;
    const int width = 2 * pitch / 3;
    for (int i = 0; i < kColumns; ++i) {
        const int x = rect_.left + i * pitch;
        const os::Rect column{x, rect_.bottom - 7 - i * (rect_.bottom - rect_.top - 10) / 15,
                              x + width, rect_.bottom - 3};
        if (i < level_) {
            FillWhite(canvas, column);
        } else {
            Outline(canvas, column);
        }
    }
}

bool BarWidget::Tick(std::uint32_t now) {
    if (!source_ || (read_ && now - lastTick_ < kReadMs)) return false;
    read_ = true;
    lastTick_ = now;
    return SetLevel(source_());
}

}  // namespace talvio

#include "handset_ui/screen/screen_page.h"

#include <algorithm>

#include "handset_ui/screen/handset_screen.h"

namespace talvio {
namespace {

constexpr int kRowHeight = 16;
constexpr int kScrollBarLeft = 124;
constexpr int kScrollBarRight = 128;
constexpr int kScrollBarTop = 2;

os::Rect RowRect(int row, int left, int right) { return {left, row * kRowHeight, right, (row + 1) * kRowHeight}; }

}  // namespace

void ScreenPage::SetWidgets(std::initializer_list<Widget*> widgets) {
    count_ = 0;
    for (Widget* widget : widgets) AddWidget(*widget);
}

void ScreenPage::AddWidget(Widget& widget) {
    if (count_ < kMaxWidgets) widgets_[count_++] = &widget;
}

void ScreenPage::Draw(LcdCanvas& canvas, std::uint32_t now) {
    for (int i = 0; i < count_; ++i) widgets_[i]->Draw(canvas, now);
}

bool ScreenPage::Tick(HandsetScreen&, std::uint32_t now) {
    bool redraw = false;
    for (int i = 0; i < count_; ++i) redraw |= widgets_[i]->Tick(now);
    return redraw;
}

std::array<Widget*, 2 * RowList::kRows> RowList::Widgets() {
    std::array<Widget*, 2 * kRows> widgets{};
    for (int row = 0; row < kRows; ++row) {
        widgets[2 * row] = &icons_[row];
        widgets[2 * row + 1] = &texts_[row];
    }
    return widgets;
}

RowList::RowList()
    : icons_{IconWidget(RowRect(0, 0, 16)), IconWidget(RowRect(1, 0, 16)), IconWidget(RowRect(2, 0, 16))},
      texts_{TextWidget(RowRect(0, kTextLeft, kTextRight)), TextWidget(RowRect(1, kTextLeft, kTextRight)),
             TextWidget(RowRect(2, kTextLeft, kTextRight))} {}

void RowList::Reset(int count, int selected) {
    count_ = std::max(count, 0);
    selected = std::clamp(selected, 0, std::max(count_ - 1, 0));
    // The selected entry on the top row, or lower when the list ends sooner.
    topIndex_ = std::max(0, std::min(selected, count_ - kRows));
    selectedRow_ = selected - topIndex_;
}

void RowList::Resize(int count) {
    const int last = std::max(count, 0) - 1;
    if (selected() <= last) {
        count_ = count;
        return;
    }
    Reset(count, last);
}

bool RowList::MoveUp() {
    if (selectedRow_ > 0) {
        --selectedRow_;
    } else if (topIndex_ > 0) {
        --topIndex_;
    } else {
        return false;
    }
    return true;
}

bool RowList::MoveDown() {
    if (selected() + 1 >= count_) return false;
    if (selectedRow_ < kRows - 1) {
        ++selectedRow_;
    } else {
        ++topIndex_;
    }
    return true;
}

bool RowList::Step(int pageKey) { return pageKey == kPageKeyUp ? MoveUp() : MoveDown(); }

void RowList::ShowNoEntry(int row, const LcdTexts& texts) {
    if (row == 0 && count_ == 0) {
        ShowRowKey(row, nullptr, kLcdEmpty, texts);
    } else {
        ShowRow(row, nullptr, {});
    }
}

void RowList::ShowRow(int row, const LcdIcon* icon, std::wstring_view text) {
    icons_[row].SetImage(icon);
    texts_[row].SetText(text);
}

void RowList::ShowRowKey(int row, const LcdIcon* icon, int key, const LcdTexts& texts) {
    icons_[row].SetImage(icon);
    texts_[row].SetTextKey(key, texts);
}

void RowList::FollowSelection(std::uint32_t now) {
    for (int row = 0; row < kRows; ++row) {
        const bool selected = row == selectedRow_;
        if (!selected || !texts_[row].active()) texts_[row].ResetMarquee(now);
        texts_[row].SetActive(selected);
    }
}

void RowList::DrawOverlay(LcdCanvas& canvas) const {
    if (selected() < count_) InvertRect(canvas, RowRect(selectedRow_, kTextLeft, kTextRight));
    if (count_ <= kRows) return;
    const int bottom = kRows * kRowHeight;
    Outline(canvas, {kScrollBarLeft, kScrollBarTop, kScrollBarRight, bottom});
    const int thumb = std::max(2, (bottom - kScrollBarTop) * kRows / count_);
    const int top = kScrollBarTop + topIndex_ * (bottom - thumb - kScrollBarTop) / (count_ - 1);
    FillWhite(canvas, {kScrollBarLeft, top, kScrollBarRight, top + thumb});
}

void ListPage::InitRows(HandsetScreen& screen, std::initializer_list<Widget*> extra) {
    SetWidgets({});
    for (Widget* widget : rows_.Widgets()) AddWidget(*widget);
    for (Widget* widget : extra) AddWidget(*widget);
    AddWidget(screen.leftSoftkey());
    AddWidget(screen.rightSoftkey());
}

void ListPage::Draw(LcdCanvas& canvas, std::uint32_t now) {
    ScreenPage::Draw(canvas, now);
    rows_.DrawOverlay(canvas);
}

}  // namespace talvio

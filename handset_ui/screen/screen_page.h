// One page of the handset screen: a list of widgets drawn and ticked in
// order, and the page's own key handling. Pages belong to
// the screen, which lays them out once per Start; the widgets a page lists
// are its own or the screen's shared ones (logo, softkeys, bottom bar).
// A page never keeps a directory record: it copies what it shows and looks
// records up again by id. Main thread only.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "handset_ui/lcd_widgets.h"

namespace talvio {

class HandsetScreen;

enum PageId : int {
    kIdlePage = 1,
    kVolumePage = 2,
    kDetailPage = 3,
    kContactPage = 4,
    kHistoryMenuPage = 5,
    kMainMenuPage = 6,
    kProgramListPage = 7,
    kHistoryListPage = 8,
    kCallPage = 9,
    kDialPage = 10,
};

class ScreenPage {
public:
    static constexpr int kMaxWidgets = 20;

    explicit ScreenPage(int id) : id_(id) {}
    ScreenPage(const ScreenPage&) = delete;
    ScreenPage& operator=(const ScreenPage&) = delete;
    virtual ~ScreenPage() = default;

    int id() const { return id_; }

    // Lays out the widgets (each Start).
    virtual void Init(HandsetScreen& screen) = 0;
    // The page becomes current (pushed, or uncovered by Back): softkeys and
    // what it shows.
    virtual void Enter(HandsetScreen& screen) = 0;
    virtual void Leave(HandsetScreen&) {}
    virtual void Draw(LcdCanvas& canvas, std::uint32_t now);
    // Every 200 ms while current; true when the page must be redrawn.
    virtual bool Tick(HandsetScreen& screen, std::uint32_t now);
    // A page key; the answer tells call control what is left to do.
    virtual int OnPageKey(HandsetScreen&, int) { return 0; }

    std::uint32_t enteredAt = 0;  // tick when last entered or touched

protected:
    // The page's widget list, in drawing order (at most 20).
    void SetWidgets(std::initializer_list<Widget*> widgets);
    void AddWidget(Widget& widget);

private:
    int id_;
    std::array<Widget*, kMaxWidgets> widgets_{};
    int count_ = 0;
};

// Rows of an icon and a text from the top of the screen, one of them
// selected (drawn inverted, the only one whose text scrolls), and a scroll
// bar at the right edge while there are more entries than rows.
class RowList {
public:
    static constexpr int kRows = 3;
    static constexpr int kTextLeft = 17;
    static constexpr int kTextRight = 122;

    RowList();
    // The row widgets, for the page's widget list.
    std::array<Widget*, 2 * kRows> Widgets();

    int count() const { return count_; }
    int topIndex() const { return topIndex_; }
    int selectedRow() const { return selectedRow_; }
    int selected() const { return topIndex_ + selectedRow_; }

    // A new list of `count` entries with entry `selected` selected.
    void Reset(int count, int selected = 0);
    // The list now holds `count` entries; the selection stays within it.
    void Resize(int count);
    // Up or down one entry, scrolling by one at the ends; false at the end.
    bool MoveUp();
    bool MoveDown();
    // Up for page key 5, else down.
    bool Step(int pageKey);

    void ShowRow(int row, const LcdIcon* icon, std::wstring_view text);
    void ShowRowKey(int row, const LcdIcon* icon, int key, const LcdTexts& texts);
    // A row without an entry: "<Empty>" on the first row of an empty list.
    void ShowNoEntry(int row, const LcdTexts& texts);
    // Only the selected row scrolls; the others go back to their start.
    void FollowSelection(std::uint32_t now);
    // After the widgets: the selection and the scroll bar.
    void DrawOverlay(LcdCanvas& canvas) const;

private:
    std::array<IconWidget, kRows> icons_;
    std::array<TextWidget, kRows> texts_;
    int count_ = 0;
    int topIndex_ = 0;
    int selectedRow_ = 0;
};

// A page of rows: the menus and the history list.
class ListPage : public ScreenPage {
public:
    using ScreenPage::ScreenPage;
    // The widgets, then the selection and the scroll bar.
    void Draw(LcdCanvas& canvas, std::uint32_t now) override;

protected:
    // The rows, `extra`, then the two softkeys.
    void InitRows(HandsetScreen& screen, std::initializer_list<Widget*> extra = {});

    RowList rows_;
};

}  // namespace talvio

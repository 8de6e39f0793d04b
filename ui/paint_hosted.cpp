#include <map>

#include "ui/paint.h"
#include "ui/paint_recorder.h"

namespace talvio::paint {
namespace {

struct HostedBitmap {
    int width;
    int height;
};

struct Recording {
    int liveBitmaps = 0;
    int openScopes = 0;
    std::map<Dc, Bitmap> selected;
    std::vector<os::Rect> whiteFills;
    std::vector<recorder::Copy> copies;
};

Recording& recording() {
    static Recording state;
    return state;
}

// Distinct addresses stand in for device contexts.
char memoryDcStorage;
char windowDcStorage;

}  // namespace

void BitmapTraits::Close(Bitmap bitmap) noexcept {
    delete reinterpret_cast<HostedBitmap*>(bitmap);
    --recording().liveBitmaps;
}

struct PaintScope::State {
    os::Rect rect;
};

PaintScope::PaintScope(os::Hwnd window)
    : state_(std::make_unique<State>(State{os::GetClientRect(window)})) {
    ++recording().openScopes;
}

PaintScope::~PaintScope() { --recording().openScopes; }

Dc PaintScope::dc() const { return reinterpret_cast<Dc>(&windowDcStorage); }

os::Rect PaintScope::rect() const { return state_->rect; }

UniqueBitmap CreateCompatibleBitmap(os::Hwnd, int width, int height) {
    ++recording().liveBitmaps;
    return UniqueBitmap(reinterpret_cast<Bitmap>(new HostedBitmap{width, height}));
}

Dc SharedMemoryDc() { return reinterpret_cast<Dc>(&memoryDcStorage); }

Bitmap SelectBitmap(Dc dc, Bitmap bitmap) {
    Bitmap& slot = recording().selected[dc];
    Bitmap previous = slot;
    slot = bitmap;
    return previous;
}

void FillWhite(Dc, const os::Rect& rect) { recording().whiteFills.push_back(rect); }

void CopyArea(Dc target, Dc source, int width, int height) {
    recording().copies.push_back({target, source, recorder::SelectedBitmap(source), width, height});
}

namespace recorder {

int LiveBitmaps() { return recording().liveBitmaps; }

os::Rect BitmapSize(Bitmap bitmap) {
    const auto* hosted = reinterpret_cast<const HostedBitmap*>(bitmap);
    return {0, 0, hosted->width, hosted->height};
}

Bitmap SelectedBitmap(Dc dc) {
    auto found = recording().selected.find(dc);
    return found == recording().selected.end() ? nullptr : found->second;
}

const std::vector<os::Rect>& WhiteFills() { return recording().whiteFills; }
const std::vector<Copy>& Copies() { return recording().copies; }
int OpenPaintScopes() { return recording().openScopes; }

void Clear() {
    recording().whiteFills.clear();
    recording().copies.clear();
}

}  // namespace recorder
}  // namespace talvio::paint

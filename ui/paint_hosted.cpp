#include <map>

#include "platform/hosted/desktop.h"
#include "ui/paint.h"
#include "ui/paint_recorder.h"

namespace talvio::paint {
namespace {

// A compatible bitmap has no pixels of its own here; a DIB section has.
struct HostedBitmap {
    int width;
    int height;
    int bitsPerPixel = 32;
    int stride = 0;
    std::vector<std::uint8_t> pixels;
};

struct Recording {
    int liveBitmaps = 0;
    int openScopes = 0;
    std::map<Dc, Bitmap> selected;
    std::vector<os::Rect> whiteFills;
    std::vector<recorder::Copy> copies;
    std::vector<recorder::Blit> blits;
    std::vector<recorder::LayeredUpdate> layeredUpdates;
};

Recording& recording() {
    static Recording state;
    return state;
}

// Distinct addresses stand in for device contexts.
char memoryDcStorage;
char bitmapDcStorage;
char windowDcStorage;

HostedBitmap* Hosted(Bitmap bitmap) { return reinterpret_cast<HostedBitmap*>(bitmap); }

UniqueBitmap Adopt(HostedBitmap* bitmap) {
    ++recording().liveBitmaps;
    return UniqueBitmap(reinterpret_cast<Bitmap>(bitmap));
}

}  // namespace

void BitmapTraits::Close(Bitmap bitmap) noexcept {
    delete Hosted(bitmap);
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
    return Adopt(new HostedBitmap{width, height, 32, 0, {}});
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

BitmapInfo GetBitmapInfo(Bitmap bitmap) {
    const HostedBitmap* hosted = Hosted(bitmap);
    if (!hosted) return {};
    auto* bits = hosted->pixels.empty() ? nullptr : const_cast<std::uint8_t*>(hosted->pixels.data());
    return {hosted->width, hosted->height, hosted->bitsPerPixel, hosted->stride, false, bits};
}

UniqueBitmap CreateDibSection(int width, int height, int bitsPerPixel) {
    if (width <= 0 || height <= 0 || (bitsPerPixel != 24 && bitsPerPixel != 32)) return {};
    const int stride = (width * bitsPerPixel + 31) / 32 * 4;
    return Adopt(new HostedBitmap{width, height, bitsPerPixel, stride,
                                  std::vector<std::uint8_t>(std::size_t(stride) * height)});
}

UniqueBitmap LoadBitmapResource(void*, int resourceId) {
    os::hosted::BitmapResource resource;
    if (!os::hosted::FindBitmapResource(resourceId, &resource)) return {};
    const int stride = (resource.width * resource.bitsPerPixel + 31) / 32 * 4;
    if (resource.bits.size() != std::size_t(stride) * resource.height) return {};
    return Adopt(new HostedBitmap{resource.width, resource.height, resource.bitsPerPixel, stride,
                                  std::move(resource.bits)});
}

Dc BitmapDc() { return reinterpret_cast<Dc>(&bitmapDcStorage); }

bool BitBlt(Dc target, int x, int y, int width, int height, Dc source, int sourceX, int sourceY,
            std::uint32_t rop) {
    return StretchBlt(target, x, y, width, height, source, sourceX, sourceY, width, height, rop);
}

bool StretchBlt(Dc target, int x, int y, int width, int height, Dc source, int sourceX,
                int sourceY, int sourceWidth, int sourceHeight, std::uint32_t rop) {
    recording().blits.push_back({target, source, recorder::SelectedBitmap(source),
                                 {x, y, x + width, y + height},
                                 {sourceX, sourceY, sourceX + sourceWidth, sourceY + sourceHeight},
                                 rop});
    return true;
}

bool UpdateLayeredWindow(os::Hwnd window, const os::Rect& area, Dc source, std::uint8_t alpha) {
    if (!os::IsWindow(window) || !(os::GetWindowExStyle(window) & os::WS_EX_LAYERED)) return false;
    recording().layeredUpdates.push_back({window, area, recorder::SelectedBitmap(source), alpha});
    return true;
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
const std::vector<Blit>& Blits() { return recording().blits; }
const std::vector<LayeredUpdate>& LayeredUpdates() { return recording().layeredUpdates; }
int OpenPaintScopes() { return recording().openScopes; }

void Clear() {
    recording().whiteFills.clear();
    recording().copies.clear();
    recording().blits.clear();
    recording().layeredUpdates.clear();
}

}  // namespace recorder
}  // namespace talvio::paint

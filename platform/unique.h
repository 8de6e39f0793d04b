// Move-only owner of one OS handle. Traits supply the handle type, the
// "no handle" value and the close call:
//   struct Traits { using Type = ...; static Type Invalid(); static void Close(Type); };
// Closing preserves the thread's last-error value, so a handle can be
// released on a failure path before the caller reads GetLastError().
#pragma once

#include <utility>

#include "platform/platform.h"

namespace os {

template <typename Traits>
class Unique {
public:
    using Type = typename Traits::Type;

    Unique() noexcept : value_(Traits::Invalid()) {}
    explicit Unique(Type value) noexcept : value_(value) {}
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    Unique(Unique&& other) noexcept : value_(other.release()) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~Unique() { reset(); }

    Type get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::Invalid(); }

    Type release() noexcept { return std::exchange(value_, Traits::Invalid()); }

    void reset(Type value = Traits::Invalid()) noexcept {
        Type old = std::exchange(value_, value);
        if (old != Traits::Invalid()) {
            const std::uint32_t error = GetLastError();
            Traits::Close(old);
            SetLastError(error);
        }
    }

private:
    Type value_;
};

struct KernelHandleTraits {
    using Type = KernelHandle;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type handle) noexcept { CloseHandle(handle); }
};
using Handle = Unique<KernelHandleTraits>;

struct MenuTraits {
    using Type = Hmenu;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type menu) noexcept { DestroyMenu(menu); }
};
using Menu = Unique<MenuTraits>;

struct ImageListTraits {
    using Type = HimageList;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type list) noexcept { ImageList_Destroy(list); }
};
using ImageList = Unique<ImageListTraits>;

}  // namespace os

// Ownership of Win32 handles: one move-only owner template, and guards that give back what they borrow.
#pragma once

#include <windows.h>

#include <utility>

namespace platform {

// Owns one handle; the deleter is the only place where that kind of handle is released.
template <typename H, auto Deleter> class Handle {
  public:
    Handle() = default;
    explicit Handle(H h) : h_(h) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle(Handle&& o) noexcept : h_(std::exchange(o.h_, H{})) {}
    Handle& operator=(Handle&& o) noexcept {
        if (this != &o) reset(std::exchange(o.h_, H{}));
        return *this;
    }
    ~Handle() { reset(); }

    H get() const { return h_; }
    explicit operator bool() const { return h_ != H{}; }
    H release() { return std::exchange(h_, H{}); }
    void reset(H h = H{}) {
        if (h_ != H{}) Deleter(h_);
        h_ = h;
    }

  private:
    H h_{};
};

inline void deleteGdiObject(HGDIOBJ h) {
    ::DeleteObject(h);
}
inline void destroyWindow(HWND h) {
    ::DestroyWindow(h);
}
inline void destroyMenu(HMENU h) {
    ::DestroyMenu(h);
}
inline void deleteDc(HDC h) {
    ::DeleteDC(h);
}

using WindowHandle = Handle<HWND, destroyWindow>;
using MenuHandle = Handle<HMENU, destroyMenu>;
using FontHandle = Handle<HFONT, deleteGdiObject>;
using BrushHandle = Handle<HBRUSH, deleteGdiObject>;
using PenHandle = Handle<HPEN, deleteGdiObject>;
using BitmapHandle = Handle<HBITMAP, deleteGdiObject>;
using RegionHandle = Handle<HRGN, deleteGdiObject>;
using MemoryDcHandle = Handle<HDC, deleteDc>;

// A DC borrowed with GetDC, given back with ReleaseDC.
class WindowDc {
  public:
    explicit WindowDc(HWND w) : w_(w), dc_(::GetDC(w)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) ::ReleaseDC(w_, dc_);
    }
    HDC get() const { return dc_; }

  private:
    HWND w_;
    HDC dc_;
};

// BeginPaint ... EndPaint.
class PaintGuard {
  public:
    explicit PaintGuard(HWND w) : w_(w) { dc_ = ::BeginPaint(w, &ps_); }
    PaintGuard(const PaintGuard&) = delete;
    PaintGuard& operator=(const PaintGuard&) = delete;
    ~PaintGuard() { ::EndPaint(w_, &ps_); }
    HDC dc() const { return dc_; }
    const RECT& area() const { return ps_.rcPaint; }

  private:
    HWND w_;
    PAINTSTRUCT ps_{};
    HDC dc_{};
};

// SelectObject that puts the previous object back.
class SelectGuard {
  public:
    SelectGuard(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? ::SelectObject(dc, obj) : nullptr) {}
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
    ~SelectGuard() {
        if (old_) ::SelectObject(dc_, old_);
    }

  private:
    HDC dc_;
    HGDIOBJ old_;
};

} // namespace platform

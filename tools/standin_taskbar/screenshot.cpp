#include "platform/handle.h"
#include "tools/standin_taskbar/standin_taskbar.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace standin {

bool saveWindowPng(HWND window, const std::wstring& path) {
    RECT r{};
    if (!::GetWindowRect(window, &r)) return false;
    return saveScreenPng(r, path);
}

bool saveScreenPng(const RECT& r, const std::wstring& path) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return false;

    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    platform::WindowDc screen(nullptr);
    const platform::BitmapHandle bitmap(
        ::CreateDIBSection(screen.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    const platform::MemoryDcHandle dc(::CreateCompatibleDC(screen.get()));
    if (!bitmap || !dc || !bits) return false;
    {
        platform::SelectGuard select(dc.get(), bitmap.get());
        ::BitBlt(dc.get(), 0, 0, w, h, screen.get(), r.left, r.top, SRCCOPY);
    }
    ::GdiFlush();
    return writePng(path, w, h, static_cast<const std::uint8_t*>(bits));
}

bool writePng(const std::wstring& path, int w, int h, const std::uint8_t* bgrx) {
    std::vector<std::uint8_t> bgra(bgrx, bgrx + std::size_t(w) * h * 4);
    for (std::size_t i = 3; i < bgra.size(); i += 4)
        bgra[i] = 255;

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(w);
    image.height = static_cast<png_uint_32>(h);
    image.format = PNG_FORMAT_BGRA;
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) return false;
    const int ok = png_image_write_to_stdio(&image, f, 0, bgra.data(), 0, nullptr);
    std::fclose(f);
    png_image_free(&image);
    return ok != 0;
}

} // namespace standin

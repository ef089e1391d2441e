#include "wine_test_support.h"

#include "platform/handle.h"

#include <png.h>

#include <vector>

namespace wintest {

void pumpFor(int ms) {
    pumpUntil([] { return false; }, ms);
}

bool pumpUntil(const std::function<bool()>& done, int ms) {
    const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(ms);
    for (;;) {
        MSG msg{};
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (done()) return true;
        const ULONGLONG now = ::GetTickCount64();
        if (now >= end) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(end - now, 10)),
                                    QS_ALLINPUT);
    }
}

COLORREF pixelAt(HWND w, int x, int y) {
    const platform::WindowDc dc(w);
    return ::GetPixel(dc.get(), x, y);
}

std::vector<std::uint8_t> makePng(int w, int h, const std::function<std::uint32_t(int x, int y)>& argb) {
    std::vector<std::uint8_t> rgba(std::size_t(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = argb(x, y);
            std::uint8_t* p = &rgba[(std::size_t(y) * w + x) * 4];
            p[0] = std::uint8_t(c >> 16);
            p[1] = std::uint8_t(c >> 8);
            p[2] = std::uint8_t(c);
            p[3] = std::uint8_t(c >> 24);
        }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(w);
    image.height = static_cast<png_uint_32>(h);
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr);
    std::vector<std::uint8_t> out(size);
    png_image_write_to_memory(&image, out.data(), &size, 0, rgba.data(), 0, nullptr);
    out.resize(size);
    return out;
}

void mouseMoveTo(POINT p) {
    sendMouseMove(p);
    pumpFor(30);
}

void sendMouseMove(POINT p) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    const int sw = ::GetSystemMetrics(SM_CXSCREEN) - 1, sh = ::GetSystemMetrics(SM_CYSCREEN) - 1;
    in.mi.dx = (p.x * 65535 + sw / 2) / sw;
    in.mi.dy = (p.y * 65535 + sh / 2) / sh;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &in, sizeof in);
}

void mouseButton(bool right, bool down) {
    sendMouseButton(right, down);
    pumpFor(30);
}

void sendMouseButton(bool right, bool down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = right ? (down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP)
                          : (down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
    ::SendInput(1, &in, sizeof in);
}

void clickAt(POINT p, bool right) {
    mouseMoveTo(p);
    mouseButton(right, true);
    mouseButton(right, false);
}

POINT screenPoint(HWND w, int x, int y) {
    POINT p{x, y};
    ::ClientToScreen(w, &p);
    return p;
}

std::wstring windowsPath(const char* unixPath) {
    std::wstring out = L"Z:";
    for (const char* p = unixPath; *p; ++p)
        out += (*p == '/') ? L'\\' : static_cast<wchar_t>(*p);
    return out;
}

Process::Process(const std::wstring& exe, const std::wstring& args) {
    std::wstring cmd = L"\"" + exe + L"\" " + args;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    if (!::CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &info_))
        info_ = {};
}

Process::~Process() {
    kill();
    if (info_.hProcess) ::CloseHandle(info_.hProcess);
    if (info_.hThread) ::CloseHandle(info_.hThread);
}

std::optional<DWORD> Process::waitExit(int ms) {
    if (!info_.hProcess || ::WaitForSingleObject(info_.hProcess, static_cast<DWORD>(ms)) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    ::GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

bool Process::waitIdle(int ms) {
    return info_.hProcess && ::WaitForInputIdle(info_.hProcess, static_cast<DWORD>(ms)) == 0;
}

void Process::kill() {
    if (info_.hProcess && ::WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(info_.hProcess, 1);
        ::WaitForSingleObject(info_.hProcess, 5000);
    }
}

HWND findProcessWindow(DWORD pid, const wchar_t* cls) {
    for (HWND w = ::FindWindowExW(nullptr, nullptr, cls, nullptr); w;
         w = ::FindWindowExW(nullptr, w, cls, nullptr)) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(w, &owner);
        if (owner == pid) return w;
    }
    return nullptr;
}

RECT windowRect(HWND w) {
    RECT r{};
    ::GetWindowRect(w, &r);
    return r;
}

RECT rectInParent(HWND w) {
    RECT r = windowRect(w);
    ::MapWindowPoints(HWND_DESKTOP, ::GetAncestor(w, GA_PARENT), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

} // namespace wintest

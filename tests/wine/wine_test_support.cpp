#include "wine_test_support.h"

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
    const HDC dc = ::GetDC(w);
    const COLORREF c = ::GetPixel(dc, x, y);
    ::ReleaseDC(w, dc);
    return c;
}

std::wstring windowsPath(const char* unixPath) {
    std::wstring out = L"Z:";
    for (const char* p = unixPath; *p; ++p) out += (*p == '/') ? L'\\' : static_cast<wchar_t>(*p);
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
    for (HWND w = ::FindWindowExW(nullptr, nullptr, cls, nullptr); w; w = ::FindWindowExW(nullptr, w, cls, nullptr)) {
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

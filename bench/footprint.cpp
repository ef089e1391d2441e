// What the gadget costs under Wine, each figure next to a reference taken in the same run: one meter tick
// against reading the counters alone; the real exe's CPU share at rest against an idle process with two
// timers; the time to its first reading against the time to its window; handles and memory after a soak
// against before it; and the exe's size against its sections alone.
#include "bench/machine_info.h"
#include "bench/object_counts.h"
#include "app/cpu_system_calls_win32.h"
#include "app/gadget.h"
#include "app/program.h"
#include "skins/tools_menu.h"
#include "ui/design/gadget_design.h"
#include "ui/dock_layout.h"
#include "ui/gadget_window.h"

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using design::ControlId;

constexpr wchar_t kGadgetClass[] = L"BarMeterGadget";
constexpr wchar_t kFrameClass[] = L"BarMeterShape";
constexpr wchar_t kBarClass[] = L"BarMeterPicture";
constexpr wchar_t kTaskbarClass[] = L"Shell_TrayWnd";
constexpr wchar_t kRebarClass[] = L"ReBarWindow32";
constexpr wchar_t kMenuClass[] = L"#32768";

constexpr double kTickRatioGoal = 3.0;
constexpr double kRestPointsGoal = 0.1;
// Rest in the message loop before each timed tick. The gadget ticks every 700 ms; back to back, Wine's
// painting falls behind and every tick grows slower until the thread waits again.
constexpr int kRestMs = 10;
constexpr int kSoakRestMs = 2;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}
double usBetween(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::micro>(b - a).count();
}

struct Stats {
    double median = 0, mean = 0;
    std::size_t n = 0;
};

Stats statsOf(std::vector<double> v) {
    Stats s;
    s.n = v.size();
    if (v.empty()) return s;
    std::sort(v.begin(), v.end());
    s.median = v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    s.mean = std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size());
    return s;
}

// ---- machine ----

// procfs reports a size of 0: read until the end instead.
std::optional<std::string> readWholeFile(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return std::nullopt;
    std::string text;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        text.append(buffer, got);
    std::fclose(file);
    return text;
}

// The text after "key:" on the first line that starts with key, trimmed.
std::optional<std::string> fieldOf(const std::string& text, const char* key) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        if (text.compare(at, std::strlen(key), key) == 0) {
            const std::size_t colon = text.find(':', at);
            if (colon == std::string::npos || colon > end) return std::nullopt;
            std::string value = text.substr(colon + 1, end - colon - 1);
            value.erase(0, value.find_first_not_of(" \t"));
            return value;
        }
        at = end + 1;
    }
    return std::nullopt;
}

std::string cpuModel() {
    const auto text = readWholeFile("Z:\\proc\\cpuinfo");
    const auto model = text ? fieldOf(*text, "model name") : std::nullopt;
    return model.value_or("unknown CPU");
}

std::string loadAverage() {
    const auto text = readWholeFile("Z:\\proc\\loadavg");
    if (!text) return "unknown";
    std::size_t end = 0;
    for (int field = 0; field < 3 && end != std::string::npos; ++field)
        end = text->find(' ', end + 1);
    return text->substr(0, end);
}

using bench::wineVersion;

// ---- messages ----

void drainMessages() {
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void pumpFor(int ms) {
    const auto start = Clock::now();
    for (;;) {
        drainMessages();
        const double left = ms - msSince(start);
        if (left <= 0) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min(left, 10.0)) + 1,
                                  QS_ALLINPUT);
    }
}

// ---- other processes ----

double fileTimeSeconds(FILETIME t) {
    return static_cast<double>((std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime) / 1e7;
}

double ownProcessTimes() {
    FILETIME created{}, exited{}, kernel{}, user{};
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    return fileTimeSeconds(kernel) + fileTimeSeconds(user);
}

class Child {
  public:
    Child(const std::wstring& exe, const std::wstring& args) {
        std::wstring command = L"\"" + exe + L"\"";
        if (!args.empty()) command += L" " + args;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &info_))
            info_ = {};
    }
    ~Child() {
        end();
        if (info_.hProcess) CloseHandle(info_.hProcess);
        if (info_.hThread) CloseHandle(info_.hThread);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool started() const { return info_.hProcess != nullptr; }
    DWORD id() const { return info_.dwProcessId; }
    bool running() const { return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
    bool waitIdle(int ms) const {
        return info_.hProcess && WaitForInputIdle(info_.hProcess, static_cast<DWORD>(ms)) == 0;
    }
    // Kernel and user time of all its threads so far, as GetProcessTimes gives them.
    double processTimes() const {
        FILETIME created{}, exited{}, kernel{}, user{};
        if (!info_.hProcess || !GetProcessTimes(info_.hProcess, &created, &exited, &kernel, &user)) return -1;
        return fileTimeSeconds(kernel) + fileTimeSeconds(user);
    }
    void end() {
        if (running()) {
            TerminateProcess(info_.hProcess, 1);
            WaitForSingleObject(info_.hProcess, 5000);
        }
    }

  private:
    PROCESS_INFORMATION info_{};
};

// Kernel and user time of a process from the system's process list. Wine 8 answers GetProcessTimes with
// the caller's own times whatever the handle; this list reads each process's times from Linux.
class ProcessList {
  public:
    ProcessList() {
        const HMODULE ntdll = GetModuleHandleA("ntdll");
        query_ = ntdll ? reinterpret_cast<Query>(
                             reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQuerySystemInformation")))
                       : nullptr;
        std::vector<std::uint8_t> buffer(256 * 1024);
        for (int tries = 0; query_ && tries < 8; ++tries) {
            ULONG length = 0;
            const LONG status =
                query_(kProcessInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &length);
            if (status == kLengthMismatch) {
                buffer.resize(std::max<std::size_t>(buffer.size() * 2, length));
                continue;
            }
            if (status == 0) buffer_ = std::move(buffer);
            break;
        }
    }
    // Nothing when the process is not in the list.
    std::optional<double> cpuSeconds(DWORD pid) const {
        for (std::size_t at = 0; at + kEntryMinimum <= buffer_.size();) {
            std::uint32_t next = 0;
            std::uint64_t id = 0;
            std::int64_t user = 0, kernel = 0;
            std::memcpy(&next, &buffer_[at], sizeof next);
            std::memcpy(&user, &buffer_[at + kUserTimeOffset], sizeof user);
            std::memcpy(&kernel, &buffer_[at + kKernelTimeOffset], sizeof kernel);
            std::memcpy(&id, &buffer_[at + kProcessIdOffset], sizeof id);
            if (id == pid) return static_cast<double>(user + kernel) / 1e7;
            if (next == 0) break;
            at += next;
        }
        return std::nullopt;
    }

  private:
    using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    static constexpr ULONG kProcessInformation = 5;
    static constexpr LONG kLengthMismatch = static_cast<LONG>(0xC0000004);
    // SYSTEM_PROCESS_INFORMATION on x64.
    static constexpr std::size_t kUserTimeOffset = 40, kKernelTimeOffset = 48, kProcessIdOffset = 80,
                                 kEntryMinimum = 88;
    static_assert(sizeof(void*) == 8);
    Query query_ = nullptr;
    std::vector<std::uint8_t> buffer_;
};

DWORD ownerOf(HWND w) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    return pid;
}

std::vector<HWND> topLevelWindows(const wchar_t* cls) {
    std::vector<HWND> out;
    for (HWND w = FindWindowExW(nullptr, nullptr, cls, nullptr); w;
         w = FindWindowExW(nullptr, w, cls, nullptr))
        out.push_back(w);
    return out;
}

HWND topLevelOf(DWORD pid, const wchar_t* cls) {
    for (HWND w : topLevelWindows(cls))
        if (ownerOf(w) == pid) return w;
    return nullptr;
}

// Taskbars with a rebar, where a gadget could dock (Wine's own tray window has none).
int taskbarsWithRebar() {
    int n = 0;
    for (HWND w : topLevelWindows(kTaskbarClass))
        n += FindWindowExW(w, nullptr, kRebarClass, nullptr) != nullptr;
    return n;
}

HWND dockedGadget(DWORD shellPid) {
    if (const HWND taskbar = topLevelOf(shellPid, kTaskbarClass))
        if (const HWND rebar = FindWindowExW(taskbar, nullptr, kRebarClass, nullptr))
            return FindWindowExW(rebar, nullptr, kGadgetClass, nullptr);
    return nullptr;
}

// The gadget window in the rebar of the stand-in of `shellPid`, else a top-level one of `gadgetPid`.
HWND findGadget(DWORD shellPid, DWORD gadgetPid) {
    if (const HWND gadget = dockedGadget(shellPid)) return gadget;
    return topLevelOf(gadgetPid, kGadgetClass);
}

// The bottom bar's width once the gadget has shown it, else -1. Bars are made hidden at their design
// width; the creation handler sets them to 0 and then shows them, so a shown bar wider than 0 has had a
// meter tick.
int shownBottomBarWidth(HWND gadget) {
    HWND lower = nullptr;
    LONG lowerTop = LONG_MIN;
    for (HWND f = FindWindowExW(gadget, nullptr, kFrameClass, nullptr); f;
         f = FindWindowExW(gadget, f, kFrameClass, nullptr)) {
        RECT r{};
        GetWindowRect(f, &r);
        if (r.top > lowerTop) {
            lowerTop = r.top;
            lower = f;
        }
    }
    const HWND bar = lower ? FindWindowExW(lower, nullptr, kBarClass, nullptr) : nullptr;
    if (!bar || !(GetWindowLongW(bar, GWL_STYLE) & WS_VISIBLE)) return -1;
    RECT r{};
    GetWindowRect(bar, &r);
    return r.right - r.left;
}

// ---- 3. start-up ----

struct StartUp {
    std::unique_ptr<Child> process;
    double windowMs = -1;  // CreateProcess to the gadget window in place
    double readingMs = -1; // CreateProcess to the bottom bar shown wider than 0
    bool docked = false;   // in the stand-in's rebar at its first reading
};

// Starts the process and polls every millisecond. shellPid 0: the process is its own stand-in.
StartUp startToFirstReading(const std::wstring& exe, const std::wstring& args, DWORD shellPid) {
    StartUp s;
    const auto start = Clock::now();
    s.process = std::make_unique<Child>(exe, args);
    if (!s.process->started()) return s;
    const DWORD self = s.process->id();
    while (msSince(start) < 20000 && s.process->running()) {
        if (const HWND gadget = findGadget(shellPid ? shellPid : self, self)) {
            const double at = msSince(start);
            if (s.windowMs < 0) s.windowMs = at;
            if (shownBottomBarWidth(gadget) > 0) {
                s.readingMs = at;
                s.docked = gadget == dockedGadget(shellPid ? shellPid : self);
                break;
            }
        }
        Sleep(1);
    }
    return s;
}

// A stand-in taskbar, ready for a gadget to dock.
std::unique_ptr<Child> startShell(const std::wstring& exe) {
    auto shell = std::make_unique<Child>(exe, L"");
    if (!shell->started() || !shell->waitIdle(15000)) return nullptr;
    for (int i = 0; i < 500; ++i) {
        if (const HWND taskbar = topLevelOf(shell->id(), kTaskbarClass))
            if (FindWindowExW(taskbar, nullptr, kRebarClass, nullptr)) return shell;
        Sleep(10);
    }
    return nullptr;
}

struct StartUpRuns {
    std::vector<double> window, reading;
    int failed = 0;
    int undocked = 0;

    void add(const StartUp& s) {
        if (s.readingMs < 0) {
            ++failed;
            return;
        }
        window.push_back(s.windowMs);
        reading.push_back(s.readingMs);
        undocked += !s.docked;
    }
};

StartUpRuns startUpIntoRunningShell(const std::wstring& gadgetExe, const std::wstring& shellExe, int runs) {
    StartUpRuns out;
    for (int i = 0; i < runs; ++i) {
        auto shell = startShell(shellExe);
        if (!shell) {
            ++out.failed;
            continue;
        }
        Sleep(500); // the shell at rest
        const StartUp s = startToFirstReading(gadgetExe, L"", shell->id());
        out.add(s);
    }
    return out;
}

StartUpRuns startUpWithGadget(const std::wstring& shellExe, int runs) {
    StartUpRuns out;
    for (int i = 0; i < runs; ++i) {
        const StartUp s = startToFirstReading(shellExe, L"--with-gadget", 0);
        out.add(s);
    }
    return out;
}

// ---- 2. at rest ----

struct Rest {
    bool ok = false;
    std::string problem;
    double seconds = 0;
    double gadgetPercent = 0, referencePercent = 0, shellPercent = 0;
    double gadgetStartCpu = 0;            // CPU seconds from its creation to the window's start
    bool processTimesAreOwnTimes = false; // GetProcessTimes on a child gave this process's times
};

Rest measureRest(const std::wstring& gadgetExe, const std::wstring& shellExe, const std::wstring& selfExe,
                 double seconds) {
    Rest r;
    const auto shell = startShell(shellExe);
    if (!shell) {
        r.problem = "the stand-in taskbar did not start";
        return r;
    }
    const StartUp gadget = startToFirstReading(gadgetExe, L"", shell->id());
    if (gadget.readingMs < 0 || !gadget.docked) {
        r.problem = "barmeter.exe showed no reading docked in the stand-in";
        return r;
    }
    Child reference(selfExe, L"--idle-reference");
    if (!reference.started()) {
        r.problem = "the idle reference did not start";
        return r;
    }
    Sleep(3000); // both past their start-up

    const DWORD gadgetPid = gadget.process->id(), referencePid = reference.id(), shellPid = shell->id();
    ProcessList before;
    const auto start = Clock::now();
    while (msSince(start) < seconds * 1000) {
        Sleep(static_cast<DWORD>(std::clamp(seconds * 1000 - msSince(start), 1.0, 1000.0)));
        if (!gadget.process->running() || !reference.running() || !shell->running()) break;
    }
    ProcessList after;
    r.seconds = msSince(start) / 1000;

    if (!gadget.process->running() || !reference.running() || !shell->running()) {
        r.problem = "a process ended during the window";
        return r;
    }
    if (shownBottomBarWidth(dockedGadget(shellPid)) <= 0) {
        r.problem = "the gadget was no longer docked and showing at the end";
        return r;
    }
    const auto share = [&](DWORD pid) {
        const auto a = before.cpuSeconds(pid), b = after.cpuSeconds(pid);
        return a && b ? 100 * (*b - *a) / r.seconds : -1.0;
    };
    r.gadgetPercent = share(gadgetPid);
    r.referencePercent = share(referencePid);
    r.shellPercent = share(shellPid);
    r.gadgetStartCpu = before.cpuSeconds(gadgetPid).value_or(-1);
    const double own = ownProcessTimes();
    r.processTimesAreOwnTimes = std::abs(gadget.process->processTimes() - own) < 0.05 &&
                                std::abs(reference.processTimes() - own) < 0.05;
    if (r.gadgetPercent < 0 || r.referencePercent < 0) {
        r.problem = "no times in the system's process list";
        return r;
    }
    r.ok = true;
    return r;
}

LRESULT CALLBACK idleReferenceProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_TIMER) return DefWindowProcW(w, msg, wp, lp);
    if (wp == 3) PostQuitMessage(0);
    return 0;
}

// The reference for the CPU share: a Wine process that only pumps two timers, as the gadget's are.
int runIdleReference(double seconds) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &idleReferenceProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"BarMeterIdleReference";
    RegisterClassW(&wc);
    const HWND w = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   wc.hInstance, nullptr);
    if (!w) return 1;
    SetTimer(w, 1, 700, nullptr);
    SetTimer(w, 2, 1000, nullptr);
    if (seconds > 0) SetTimer(w, 3, static_cast<UINT>(seconds * 1000), nullptr);
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}

// ---- 1. one meter tick ----

struct Tick {
    Stats tick;                             // updateMeters and the paints it leaves queued
    Stats update;                           // updateMeters alone
    Stats counters;                         // the three system queries and GlobalMemoryStatusEx
    Stats readings;                         // GlobalMemoryStatusEx and a sampler call, as the tick reads them
    Stats backToBack;                       // ticks with no rest between them
    Stats barWidth, numberText, numberLeft; // one write of each, with its paints
    double cpuUsPerIteration = -1;          // this process's CPU over the timed loop, per iteration
    int failedQueries = 0;
};

// What the tick reads, without the sampler's arithmetic, the layout or any window.
bool readCountersAlone(app::CpuSystemCalls& os, app::CpuSystemCalls::SystemInformationQuery query) {
    alignas(8) std::uint8_t basic[sizeof(app::SystemBasicInformation)];
    alignas(8) std::uint8_t timeOfDay[app::timeOfDayInformationLength];
    alignas(8) std::uint8_t performance[app::performanceInformationLength];
    bool ok = os.querySystemInformation(query, 0, basic, sizeof basic) == 0;
    ok = os.querySystemInformation(query, 3, timeOfDay, sizeof timeOfDay) == 0 && ok;
    ok = os.querySystemInformation(query, 2, performance, sizeof performance) == 0 && ok;
    MEMORYSTATUSEX memory{};
    memory.dwLength = sizeof memory;
    return GlobalMemoryStatusEx(&memory) && ok;
}

// Each call after a short rest in the message loop, as the gadget's writes come between waits.
template <class F> Stats timeEach(int iterations, F&& f) {
    std::vector<double> us;
    us.reserve(static_cast<std::size_t>(iterations));
    for (int i = 0; i < iterations; ++i) {
        pumpFor(kRestMs);
        const auto t0 = Clock::now();
        f();
        drainMessages();
        us.push_back(usBetween(t0, Clock::now()));
    }
    return statsOf(std::move(us));
}

Tick measureTick(app::Gadget& gadget, int iterations) {
    app::CpuSystemCalls& os = app::windowsCpuSystemCalls();
    const auto query = os.findSystemInformationQuery();
    app::CpuUsageSampler sampler; // its own, so that the gadget's keeps its intervals
    Tick t;
    // The sampler's first call waits 800 ms for its second sample; then every path warms up.
    gadget.updateMeters();
    sampler.sampleCpuUsage(os);
    drainMessages();
    for (int i = 0; i < 100; ++i) {
        readCountersAlone(os, query);
        sampler.sampleCpuUsage(os);
        gadget.updateMeters();
        drainMessages();
    }
    std::vector<double> tick, update, counters, readings;
    for (auto* v : {&tick, &update, &counters, &readings})
        v->reserve(static_cast<std::size_t>(iterations));
    const auto cpuBefore = ProcessList().cpuSeconds(GetCurrentProcessId());
    for (int i = 0; i < iterations; ++i) {
        pumpFor(kRestMs);
        const auto t0 = Clock::now();
        t.failedQueries += !readCountersAlone(os, query);
        const auto t1 = Clock::now();
        gadget.updateMeters();
        const auto t2 = Clock::now();
        drainMessages();
        const auto t3 = Clock::now();
        MEMORYSTATUSEX memory{};
        memory.dwLength = sizeof memory;
        GlobalMemoryStatusEx(&memory);
        sampler.sampleCpuUsage(os);
        const auto t4 = Clock::now();
        counters.push_back(usBetween(t0, t1));
        update.push_back(usBetween(t1, t2));
        tick.push_back(usBetween(t1, t3));
        readings.push_back(usBetween(t3, t4));
    }
    const auto cpuAfter = ProcessList().cpuSeconds(GetCurrentProcessId());
    if (cpuBefore && cpuAfter) t.cpuUsPerIteration = (*cpuAfter - *cpuBefore) * 1e6 / iterations;

    std::vector<double> backToBack;
    for (int i = 0; i < std::max(iterations / 4, 1); ++i) {
        const auto t0 = Clock::now();
        gadget.updateMeters();
        drainMessages();
        backToBack.push_back(usBetween(t0, Clock::now()));
    }
    t.backToBack = statsOf(std::move(backToBack));
    pumpFor(1000);
    t.tick = statsOf(std::move(tick));
    t.update = statsOf(std::move(update));
    t.counters = statsOf(std::move(counters));
    t.readings = statsOf(std::move(readings));

    // The writes of one row as the tick makes them at rest: the same values again.
    ui::GadgetWindow& w = gadget.window();
    auto& bar = w.picture(ControlId::Bar1);
    auto& number = w.label(ControlId::Label2);
    const int n = std::max(iterations / 4, 1);
    t.barWidth = timeEach(n, [&] { bar.setWidth(bar.width()); });
    t.numberText = timeEach(n, [&] { number.setText(std::wstring(number.text())); });
    t.numberLeft = timeEach(n, [&] { number.setLeft(number.left()); });
    return t;
}

// ---- 4. soak ----

using bench::gdiObjectsLeft;
using bench::userObjectsLeft;

std::uint64_t committedPrivateBytes() {
    std::uint64_t total = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (auto* at = static_cast<std::uint8_t*>(nullptr);
         VirtualQuery(at, &region, sizeof region) == sizeof region;
         at = static_cast<std::uint8_t*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
        if (region.RegionSize == 0) break;
    }
    return total;
}

// Linux's anonymous resident memory of this Wine process, which includes Wine's own Unix-side heap.
long rssAnonKb() {
    const auto text = readWholeFile("Z:\\proc\\self\\status");
    const auto value = text ? fieldOf(*text, "RssAnon") : std::nullopt;
    return value ? std::strtol(value->c_str(), nullptr, 10) : -1;
}

struct Snapshot {
    std::uint64_t privateUsage = 0;
    std::uint64_t committedPrivate = 0;
    long rssAnon = -1;
    int gdiLeft = 0;
    int userLeft = 0;
};

Snapshot snapshot() {
    Snapshot s;
    PROCESS_MEMORY_COUNTERS_EX counters{};
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof counters))
        s.privateUsage = counters.PrivateUsage;
    s.committedPrivate = committedPrivateBytes();
    s.rssAnon = rssAnonKb();
    // Memory first: counting allocates a little of its own.
    s.gdiLeft = gdiObjectsLeft();
    s.userLeft = userObjectsLeft();
    return s;
}

// Cancels each tools menu from inside its own modal loop once the popup shows.
class MenuDismisser {
  public:
    MenuDismisser() {
        self_ = this;
        timer_ = SetTimer(nullptr, 0, 10, &MenuDismisser::tick);
    }
    ~MenuDismisser() {
        KillTimer(nullptr, timer_);
        self_ = nullptr;
    }
    MenuDismisser(const MenuDismisser&) = delete;
    MenuDismisser& operator=(const MenuDismisser&) = delete;

    void arm() {
        armed_ = true;
        waited_ = 0;
    }
    int seen = 0;   // dismissed once shown
    int forced = 0; // ended without a popup in sight

  private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        if (self_) self_->step();
    }
    void step() {
        if (!armed_) return;
        if (popupShown()) {
            ++seen;
        } else if (++waited_ < 300) {
            return;
        } else {
            ++forced;
        }
        armed_ = false;
        EndMenu();
    }
    static bool popupShown() {
        for (HWND w : topLevelWindows(kMenuClass))
            if (IsWindowVisible(w) && GetWindowThreadProcessId(w, nullptr) == GetCurrentThreadId())
                return true;
        return false;
    }
    static inline MenuDismisser* self_ = nullptr;
    UINT_PTR timer_ = 0;
    bool armed_ = false;
    int waited_ = 0;
};

struct Phase {
    const char* name;
    int count;
    double seconds = 0;
    Snapshot after;
};

struct Soak {
    Snapshot before;
    std::vector<Phase> phases;
    int menusSeen = 0, menusForced = 0;
    double seconds = 0; // soak work and counting together
};

std::vector<design::MenuItemId> itemsWithHandler(const ui::GadgetWindow& w, design::Handler handler) {
    std::vector<design::MenuItemId> out;
    for (const auto& b : w.design().wiring)
        if (b.handler == handler && b.source.kind == design::SourceKind::MenuItem)
            out.push_back(b.source.menuItem);
    return out;
}

// As a chosen menu item arrives once the menu has closed.
void selectItem(ui::GadgetWindow& w, design::MenuItemId item) {
    SendMessageW(w.hwnd(), WM_COMMAND, MAKEWPARAM(ui::kMenuCommandBase + static_cast<UINT>(item), 0), 0);
}

Soak soak(app::Gadget& gadget, int ticks, int skinChanges, int colourChanges, int menuOpens) {
    ui::GadgetWindow& w = gadget.window();
    const auto skinItems = itemsWithHandler(w, design::Handler::ChooseSkin);
    const auto colourItems = itemsWithHandler(w, design::Handler::ChooseNumberColour);
    const auto start = Clock::now();
    Soak s;

    const auto runTicks = [&](int n) {
        for (int i = 0; i < n; ++i) {
            gadget.updateMeters();
            pumpFor(kSoakRestMs);
        }
    };
    const auto runSkins = [&](int n) {
        for (int i = 0; i < n; ++i) {
            selectItem(w, skinItems[static_cast<std::size_t>(i + 1) % skinItems.size()]);
            drainMessages();
        }
    };
    const auto runColours = [&](int n) {
        for (int i = 0; i < n; ++i) {
            selectItem(w, colourItems[static_cast<std::size_t>(i + 1) % colourItems.size()]);
            drainMessages();
        }
    };
    MenuDismisser dismisser;
    const auto runMenus = [&](int n) {
        for (int i = 0; i < n; ++i) {
            dismisser.arm();
            skins::openToolsMenu(w);
            drainMessages();
        }
    };

    // Everything made once and counted once before the first count that matters.
    runTicks(100);
    runSkins(22);
    runColours(10);
    runMenus(5);
    snapshot();
    const int warmSeen = dismisser.seen, warmForced = dismisser.forced;
    s.before = snapshot();

    s.phases = {{"meter ticks", ticks, 0, {}},
                {"skin changes", skinChanges, 0, {}},
                {"colour changes", colourChanges, 0, {}},
                {"menu opens", menuOpens, 0, {}}};
    const std::function<void(int)> work[] = {runTicks, runSkins, runColours, runMenus};
    for (std::size_t i = 0; i < s.phases.size(); ++i) {
        Phase& p = s.phases[i];
        const auto t0 = Clock::now();
        work[i](p.count);
        p.seconds = msSince(t0) / 1000;
        p.after = snapshot();
        std::fprintf(stderr, "footprint: soak %s: %d in %.1f s\n", p.name, p.count, p.seconds);
    }
    s.menusSeen = dismisser.seen - warmSeen;
    s.menusForced = dismisser.forced - warmForced;
    s.seconds = msSince(start) / 1000;
    return s;
}

// ---- 5. size ----

struct ExeSize {
    std::uint64_t bytes = 0;
    std::uint64_t sectionBytes = 0; // headers and the loadable sections: what strip keeps
    bool symbols = false;
};

std::optional<ExeSize> exeSize(const std::wstring& path) {
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    ExeSize s;
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    s.bytes = static_cast<std::uint64_t>(size.QuadPart);
    std::vector<std::uint8_t> head(4096);
    DWORD got = 0;
    ReadFile(file, head.data(), static_cast<DWORD>(head.size()), &got, nullptr);
    CloseHandle(file);
    head.resize(got);
    IMAGE_DOS_HEADER dos{};
    if (head.size() < sizeof dos) return s;
    std::memcpy(&dos, head.data(), sizeof dos);
    const auto pe = static_cast<std::size_t>(dos.e_lfanew);
    IMAGE_FILE_HEADER coff{};
    if (pe + 4 + sizeof coff > head.size() || std::memcmp(&head[pe], "PE\0\0", 4) != 0) return s;
    std::memcpy(&coff, &head[pe + 4], sizeof coff);
    s.symbols = coff.PointerToSymbolTable != 0 && coff.NumberOfSymbols != 0;
    const std::size_t sections = pe + 4 + sizeof coff + coff.SizeOfOptionalHeader;
    for (std::size_t i = 0; i < coff.NumberOfSections; ++i) {
        IMAGE_SECTION_HEADER section{};
        const std::size_t at = sections + i * sizeof section;
        if (at + sizeof section > head.size()) break;
        std::memcpy(&section, &head[at], sizeof section);
        if (section.Name[0] == '/') continue; // a long name: debugging information
        s.sectionBytes =
            std::max<std::uint64_t>(s.sectionBytes, section.PointerToRawData + section.SizeOfRawData);
    }
    return s;
}

// ---- the table ----

std::string withCommas(std::int64_t v) {
    const std::string digits = std::to_string(v < 0 ? -v : v);
    std::string out = v < 0 ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

std::string format(const char* f, double a, double b = 0, double c = 0) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, f, a, b, c);
    return buffer;
}

std::string signedCount(std::int64_t v) {
    std::string out = v > 0 ? "+" : "";
    out += withCommas(v);
    return out;
}

void row(const std::string& what, const std::string& figure, const std::string& reference,
         const std::string& comparison, const std::string& goal = "", const std::string& result = "") {
    std::printf("%-43s %-21s %-23s %-22s %-12s %s\n", what.c_str(), figure.c_str(), reference.c_str(),
                comparison.c_str(), goal.c_str(), result.c_str());
}

const char* verdict(bool pass) {
    return pass ? "PASS" : "MISS";
}

std::wstring widen(const char* s) {
    const int n = MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(std::max(n, 1)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, s, -1, out.data(), n);
    out.resize(out.size() - 1);
    return out;
}

std::wstring selfPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// The build tree's root, two levels above bench\footprint.exe.
std::wstring buildRoot() {
    std::wstring path = selfPath();
    for (int i = 0; i < 2; ++i)
        path.erase(std::min(path.find_last_of(L"\\/"), path.size()));
    return path;
}

bool fileExists(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

struct Options {
    double restSeconds = 60;
    int tickIterations = 2000;
    int soakDivisor = 1;
    int startUpRuns = 3;
    std::wstring gadgetExe, shellExe;
};

void usage() {
    std::printf(
        "usage: footprint [--seconds N] [--ticks N] [--soak-divisor N] [--startup-runs N]\n"
        "                 [--exe BARMETER_EXE] [--taskbar STANDIN_TASKBAR_EXE]\n"
        "  --seconds N        window of the at-rest CPU share, default 60\n"
        "  --ticks N          timed meter ticks, default 2000\n"
        "  --soak-divisor N   soak counts divided by N, default 1 (20,000 / 2,000 / 2,000 / 1,000)\n"
        "  --startup-runs N   starts timed per way of starting, default 3\n"
        "  --exe, --taskbar   default: app\\barmeter.exe and tools\\standin_taskbar\\standin_taskbar.exe\n"
        "                     of the build tree holding this program\n"
        "       footprint --idle-reference [--seconds N]\n"
        "  the reference process of the at-rest figure: two timers, 700 and 1000 ms, until ended\n");
}

int positive(const char* name, const char* text) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (*end != '\0' || v <= 0 || v > INT_MAX) {
        std::fprintf(stderr, "footprint: bad %s value: %s\n", name, text);
        std::exit(2);
    }
    return static_cast<int>(v);
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    bool idleReference = false;
    bool secondsGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool value = i + 1 < argc;
        if (a == "--idle-reference") {
            idleReference = true;
        } else if (a == "--seconds" && value) {
            o.restSeconds = positive("--seconds", argv[++i]);
            secondsGiven = true;
        } else if (a == "--ticks" && value) {
            o.tickIterations = positive("--ticks", argv[++i]);
        } else if (a == "--soak-divisor" && value) {
            o.soakDivisor = positive("--soak-divisor", argv[++i]);
        } else if (a == "--startup-runs" && value) {
            o.startUpRuns = positive("--startup-runs", argv[++i]);
        } else if (a == "--exe" && value) {
            o.gadgetExe = widen(argv[++i]);
        } else if (a == "--taskbar" && value) {
            o.shellExe = widen(argv[++i]);
        } else {
            usage();
            return a == "--help" ? 0 : 2;
        }
    }
    if (idleReference) return runIdleReference(secondsGiven ? o.restSeconds : 0);

    const auto runStart = Clock::now();
    const std::string loadAtStart = loadAverage();
    const std::wstring root = buildRoot();
    if (o.gadgetExe.empty()) o.gadgetExe = root + L"\\app\\barmeter.exe";
    if (o.shellExe.empty()) o.shellExe = root + L"\\tools\\standin_taskbar\\standin_taskbar.exe";
    for (const auto* exe : {&o.gadgetExe, &o.shellExe})
        if (!fileExists(*exe)) {
            std::fprintf(stderr, "footprint: not found: %ls\n", exe->c_str());
            return 1;
        }
    const int soakTicks = 20000 / o.soakDivisor, soakSkins = 2000 / o.soakDivisor,
              soakColours = 2000 / o.soakDivisor, soakMenus = 1000 / o.soakDivisor;
    std::vector<std::string> notes;
    if (const int n = taskbarsWithRebar()) {
        notes.push_back("another taskbar was on this Wine desktop (" + std::to_string(n) +
                        "): a gadget may have docked into it");
    }

    // Other processes first, while this one has no window of its own.
    std::fprintf(stderr, "footprint: start-up, %d runs each way\n", o.startUpRuns);
    const StartUpRuns intoShell = startUpIntoRunningShell(o.gadgetExe, o.shellExe, o.startUpRuns);
    const StartUpRuns withGadget = startUpWithGadget(o.shellExe, o.startUpRuns);
    std::fprintf(stderr, "footprint: at rest for %g s\n", o.restSeconds);
    const Rest rest = measureRest(o.gadgetExe, o.shellExe, selfPath(), o.restSeconds);

    // Then the gadget in this process, as start-up makes it, with both timers stopped and both rows showing.
    std::fprintf(stderr, "footprint: meter tick, %d iterations\n", o.tickIterations);
    app::startUp();
    app::Gadget* gadget = app::gadget();
    if (!gadget || !gadget->window().hwnd()) {
        std::fprintf(stderr, "footprint: the gadget window could not be made\n");
        return 1;
    }
    ui::GadgetWindow& w = gadget->window();
    w.timer(ControlId::Timer1).setPeriod(0);
    w.timer(ControlId::Timer2).setPeriod(0);
    if (GetAncestor(w.hwnd(), GA_PARENT) != GetDesktopWindow()) {
        SetParent(w.hwnd(), nullptr); // docked in a taskbar of another process, where Wine would not draw it
        notes.push_back("the in-process gadget found a taskbar and was taken back to the desktop");
    }
    w.setHeight(ui::kGadgetDockedHeight);
    SetForegroundWindow(w.hwnd());
    pumpFor(200);
    const Tick tick = measureTick(*gadget, o.tickIterations);

    std::fprintf(stderr, "footprint: soak\n");
    const Soak s = soak(*gadget, soakTicks, soakSkins, soakColours, soakMenus);
    DestroyWindow(w.hwnd());
    drainMessages();

    const auto size = exeSize(o.gadgetExe);

    // ---- print ----
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    const char* wine = wineVersion();
    std::printf("BarMeter footprint\n");
    std::printf("machine: %s, %lu cores, %s%s\n", cpuModel().c_str(),
                static_cast<unsigned long>(system.dwNumberOfProcessors), wine ? "Wine " : "not Wine",
                wine ? wine : "");
    std::printf("load average (1, 5, 15 min): %s at the start, %s at the end\n", loadAtStart.c_str(),
                loadAverage().c_str());
    std::printf("exe: %ls\n\n", o.gadgetExe.c_str());
    row("measure", "figure", "reference", "comparison", "goal", "result");

    // 1
    const double ratioMedian = tick.tick.median / tick.counters.median;
    const double ratioMean = tick.tick.mean / tick.counters.mean;
    const auto us = [](const Stats& st) { return format("%.1f / %.1f", st.median, st.mean); };
    const auto times = [&](const Stats& st) {
        return format("x%.2f / x%.2f", st.median / tick.counters.median, st.mean / tick.counters.mean);
    };
    row("1 meter tick, us median / mean (n=" + withCommas(static_cast<std::int64_t>(tick.tick.n)) + ")",
        us(tick.tick), us(tick.counters), format("x%.2f / x%.2f", ratioMedian, ratioMean),
        format("<= x%.0f", kTickRatioGoal),
        verdict(ratioMedian <= kTickRatioGoal && ratioMean <= kTickRatioGoal));
    row("  figure: updateMeters + queued paints", "", "counters alone",
        "each after " + std::to_string(kRestMs) + " ms rest");
    row("  updateMeters alone", us(tick.update), "", times(tick.update));
    row("  its readings: memory + sampler call", us(tick.readings), "", times(tick.readings));
    row("  one bar width write (2 a tick)", us(tick.barWidth), "", times(tick.barWidth));
    row("  one number text write (2 a tick)", us(tick.numberText), "", times(tick.numberText));
    row("  one number place write (2 a tick)", us(tick.numberLeft), "", times(tick.numberLeft));
    row("  ticks back to back, no rest", us(tick.backToBack), "", times(tick.backToBack),
        "n=" + withCommas(static_cast<std::int64_t>(tick.backToBack.n)));
    row("  CPU of this process per iteration", format("%.1f", tick.cpuUsPerIteration),
        format("%.1f wall", tick.tick.mean + tick.counters.mean + tick.readings.mean),
        "tick+counters+readings");
    if (tick.failedQueries) row("  counter reads that failed", std::to_string(tick.failedQueries), "", "");

    // 2
    if (rest.ok) {
        const double above = rest.gadgetPercent - rest.referencePercent;
        row(format("2 CPU at rest, %% of one core (%.0f s)", rest.seconds),
            format("%.3f %%", rest.gadgetPercent), format("%.3f %%", rest.referencePercent),
            format("%+.3f points", above) +
                (rest.referencePercent > 0 ? format(", x%.1f", rest.gadgetPercent / rest.referencePercent)
                                           : ""),
            format("<= +%.1f", kRestPointsGoal), verdict(above <= kRestPointsGoal));
        row("  figure: barmeter.exe docked in a stand-in", "", "idle, 2 timers", "same window");
        row("  the stand-in taskbar hosting it", format("%.3f %%", rest.shellPercent), "", "");
        row("  barmeter.exe start-up CPU, ms", format("%.0f", rest.gadgetStartCpu * 1000), "",
            "before the window");
        if (rest.processTimesAreOwnTimes)
            notes.push_back("GetProcessTimes on a child's handle gave this process's own times (Wine 8): CPU "
                            "times came from the system's process list, which Wine reads from Linux");
    } else {
        row("2 CPU at rest", "not measured", "", rest.problem);
    }

    // 3
    const auto startRow = [&](const char* what, const StartUpRuns& r) {
        if (r.reading.empty()) {
            row(what, "not measured", "", std::to_string(r.failed) + " runs failed");
            return;
        }
        const Stats reading = statsOf(r.reading), window = statsOf(r.window);
        const auto [lo, hi] = std::minmax_element(r.reading.begin(), r.reading.end());
        row(what, format("%.0f (%.0f-%.0f)", reading.median, *lo, *hi), format("%.0f", window.median),
            format("%+.0f ms", reading.median - window.median), "about 1,500",
            (r.failed ? std::to_string(r.failed) + " failed " : std::string()) +
                (r.undocked ? std::to_string(r.undocked) + " undocked" : std::string()));
    };
    row("3 start-up, ms from CreateProcess, median", "first reading (range)", "gadget window",
        "reading after window");
    startRow("  barmeter.exe into a running stand-in", intoShell);
    startRow("  standin_taskbar.exe --with-gadget", withGadget);

    // 4
    row("4 soak, in process", "after", "before", "growth", "", format("%.0f s", s.seconds));
    const Snapshot& after = s.phases.back().after;
    const auto growthRow = [&](const char* what, std::int64_t afterValue, std::int64_t beforeValue,
                               bool judged, bool fewerIsGrowth) {
        const std::int64_t growth = fewerIsGrowth ? beforeValue - afterValue : afterValue - beforeValue;
        row(what, withCommas(afterValue), withCommas(beforeValue), signedCount(growth), judged ? "0" : "",
            judged ? verdict(growth <= 0) : "");
    };
    growthRow("  GDI objects left (CreatePen)", after.gdiLeft, s.before.gdiLeft, true, true);
    growthRow("  USER objects left (CreateMenu)", after.userLeft, s.before.userLeft, true, true);
    // Wine 8 leaves PrivateUsage at 0; the committed private regions are then what is judged.
    const bool privateUsageFilled = after.privateUsage != 0 || s.before.privateUsage != 0;
    growthRow(privateUsageFilled ? "  private bytes (PrivateUsage)"
                                 : "  private bytes (PrivateUsage, 0 in Wine)",
              static_cast<std::int64_t>(after.privateUsage), static_cast<std::int64_t>(s.before.privateUsage),
              privateUsageFilled, false);
    growthRow("  committed private bytes (VirtualQuery)", static_cast<std::int64_t>(after.committedPrivate),
              static_cast<std::int64_t>(s.before.committedPrivate), !privateUsageFilled, false);
    growthRow("  Linux RssAnon, KiB", after.rssAnon, s.before.rssAnon, false, false);
    const Snapshot* previous = &s.before;
    for (const auto& p : s.phases) {
        const std::string what = "  " + withCommas(p.count) + " " + p.name + format(" (%.0f s)", p.seconds);
        row(what,
            "GDI " + signedCount(previous->gdiLeft - p.after.gdiLeft) + ", USER " +
                signedCount(previous->userLeft - p.after.userLeft),
            "commit " +
                signedCount(static_cast<std::int64_t>(p.after.committedPrivate - previous->committedPrivate)),
            "RssAnon " + signedCount(p.after.rssAnon - previous->rssAnon) + " KiB");
        previous = &p.after;
    }
    row("  menus shown and dismissed", withCommas(s.menusSeen), withCommas(soakMenus),
        s.menusForced ? withCommas(s.menusForced) + " never shown" : "");

    // 5
    if (size)
        row("5 barmeter.exe, bytes", withCommas(static_cast<std::int64_t>(size->bytes)),
            withCommas(static_cast<std::int64_t>(size->sectionBytes)),
            size->symbols ? "symbol table kept" : "no symbol table");
    else
        row("5 barmeter.exe, bytes", "not readable", "", "");
    row("  reference: headers and sections alone", "", "about what strip leaves", "");

    for (const auto& n : notes)
        std::printf("note: %s\n", n.c_str());
    std::printf("\nrun took %.0f s\n", msSince(runStart) / 1000);
    return 0;
}

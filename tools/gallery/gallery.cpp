// skin_gallery OUT.png: each skin in the gadget's top row at 25, 50, 75 and 100 %, labelled with its menu
// text.
#include "app/control_row.h"
#include "app/meter_update.h"
#include "platform/handle.h"
#include "platform/platform.h"
#include "skins/skin_catalogue.h"
#include "skins/tools_menu.h"
#include "tools/standin_taskbar/standin_taskbar.h"
#include "ui/gadget_window.h"

#include <shellapi.h>
#include <windows.h>

#include <array>
#include <cstdio>
#include <string>

namespace {

using design::ControlId;

class NoHandlers final : public ui::EventSink {
  public:
    void handle(const design::EventBinding&, const ui::EventArgs&) override {}
};

// Readings of one gallery cell: the same percentage in both rows.
class FixedReadings final : public app::MeterReadings {
  public:
    explicit FixedReadings(std::int32_t percent) : percent_(percent) {}
    void refreshMemoryStatus() override {}
    std::int32_t memoryLoad() override { return percent_; }
    std::int32_t cpuUsage() override { return percent_; }

  private:
    std::int32_t percent_;
};

void pump() {
    MSG msg{};
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageW(&msg);
}

constexpr int kRowW = 202, kRowH = 18;
constexpr int kLabelW = 70, kGap = 8, kHeaderH = 24;
constexpr std::array kPercents{25, 50, 75, 100};

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    const std::wstring out = argc > 1 ? argv[1] : L"skin-gallery.png";
    ::LocalFree(argv);

    platform::initialise();
    NoHandlers sink;
    ui::GadgetWindow w(design::gadgetDesign(), sink);
    if (!w.build()) return 1;
    // The rows as the creation handler leaves them, then shown.
    w.setWidth(kRowW);
    w.setHeight(2 * kRowH);
    for (auto id : {ControlId::Label1, ControlId::Label2, ControlId::Bar1, ControlId::Bar2})
        w.control(id).setLeft(1);
    w.picture(ControlId::Bar1).setVisible(true);
    w.picture(ControlId::Bar2).setVisible(true);
    w.show();
    pump();

    const int cols = static_cast<int>(kPercents.size());
    const int width = kLabelW + cols * (kRowW + kGap) + kGap;
    const int height = kHeaderH + skins::kSkinCount * (kRowH + kGap) + kGap;
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    platform::WindowDc screen(nullptr);
    const platform::BitmapHandle sheet(
        ::CreateDIBSection(screen.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    const platform::MemoryDcHandle dc(::CreateCompatibleDC(screen.get()));
    if (!sheet || !dc) return 1;
    platform::SelectGuard selectSheet(dc.get(), sheet.get());
    const platform::BrushHandle paper(::CreateSolidBrush(RGB(40, 44, 52)));
    const RECT all{0, 0, width, height};
    ::FillRect(dc.get(), &all, paper.get());

    const platform::FontHandle font(::CreateFontW(-14, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                                                  PROOF_QUALITY, DEFAULT_PITCH, L"微软雅黑"));
    platform::SelectGuard selectFont(dc.get(), font.get());
    ::SetBkMode(dc.get(), TRANSPARENT);
    ::SetTextColor(dc.get(), RGB(230, 230, 230));
    for (int c = 0; c < cols; ++c) {
        const std::wstring head = std::to_wstring(kPercents[c]) + L" %";
        RECT r{kLabelW + c * (kRowW + kGap), 0, kLabelW + c * (kRowW + kGap) + kRowW, kHeaderH};
        ::DrawTextW(dc.get(), head.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }

    for (int s = 0; s < skins::kSkinCount; ++s) {
        const int y = kHeaderH + s * (kRowH + kGap);
        RECT label{kGap, y, kLabelW - kGap, y + kRowH};
        ::DrawTextW(dc.get(), skins::skinMenuText(s), -1, &label, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        skins::showSkin(s, w.picture(ControlId::Bar2));
        for (int c = 0; c < cols; ++c) {
            FixedReadings readings(kPercents[c]);
            app::ControlRow bottom(w.picture(ControlId::Bar1), w.label(ControlId::Label2));
            app::ControlRow top(w.picture(ControlId::Bar2), w.label(ControlId::Label1));
            app::runMeterUpdate(readings, bottom, top);
            ::UpdateWindow(w.hwnd());
            pump();
            platform::WindowDc row(w.hwnd());
            ::BitBlt(dc.get(), kLabelW + c * (kRowW + kGap), y, kRowW, kRowH, row.get(), 0, 0, SRCCOPY);
        }
    }
    ::GdiFlush();
    const bool ok = standin::writePng(out, width, height, static_cast<const std::uint8_t*>(bits));
    std::printf("%s %ls\n", ok ? "wrote" : "could not write", out.c_str());
    return ok ? 0 : 1;
}

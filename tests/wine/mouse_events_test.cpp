// Which control raises which mouse event, under real input: a window of the gadget's controls whose
// wiring binds every mouse event, and a sink that records them.
#include "platform/platform.h"
#include "ui/gadget_window.h"
#include "wine_test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

using design::ControlId;
using design::Event;

struct Raised {
    ControlId control;
    Event event;
    std::int32_t keys;
    bool operator==(const Raised& o) const { return control == o.control && event == o.event; }
};

void PrintTo(const Raised& r, std::ostream* os) {
    *os << "{control " << static_cast<int>(r.control) << ", event " << static_cast<int>(r.event) << "}";
}

class Recorder final : public ui::EventSink {
  public:
    void handle(const design::EventBinding& b, const ui::EventArgs& a) override {
        if (b.event != Event::MouseMoved) raised.push_back({b.source.control, b.event, a.keys});
    }
    std::vector<Raised> raised;
};

constexpr std::array kRowControls{ControlId::Label1, ControlId::Label2, ControlId::Frame2,
                                  ControlId::Bar2,   ControlId::Frame1, ControlId::Bar1};
constexpr std::array kMouseEvents{Event::LeftPressed,  Event::LeftReleased,  Event::DoubleClick,
                                  Event::RightPressed, Event::RightReleased, Event::MouseMoved};

std::vector<design::EventBinding> everyMouseEvent() {
    std::vector<design::EventBinding> out;
    for (auto c : kRowControls)
        for (auto e : kMouseEvents)
            out.push_back({.source = {.kind = design::SourceKind::Control, .control = c},
                           .event = e,
                           .handler = design::Handler::OpenToolsMenu});
    return out;
}

class MouseEvents : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::initialise();
        d = design::gadgetDesign();
        d.wiring = wiring;
        window = std::make_unique<ui::GadgetWindow>(d, recorder);
        ASSERT_TRUE(window->build());
        // Rows as the creation handler leaves them, with a bar 100 pixels wide under the number.
        window->setWidth(202);
        window->setHeight(36);
        for (auto bar : {ControlId::Bar2, ControlId::Bar1}) {
            window->picture(bar).setLeft(1);
            window->picture(bar).setWidth(100);
            window->picture(bar).setVisible(true);
        }
        window->label(ControlId::Label1).setLeft(1);
        window->label(ControlId::Label2).setLeft(1);
        window->show();
        ::SetForegroundWindow(window->hwnd());
        wintest::pumpFor(100);
        recorder.raised.clear();
    }
    POINT at(int x, int y) { return wintest::screenPoint(window->hwnd(), x, y); }
    void doubleClick(POINT p) {
        wintest::mouseMoveTo(p);
        for (int i = 0; i < 2; ++i) {
            wintest::mouseButton(false, true);
            wintest::mouseButton(false, false);
        }
    }
    std::vector<design::EventBinding> wiring = everyMouseEvent();
    design::WindowDesign d{};
    Recorder recorder;
    std::unique_ptr<ui::GadgetWindow> window;
};

struct Target {
    const char* what;
    int x, y;
    ControlId control;
};

TEST_F(MouseEvents, TheTopmostControlUnderTheCursorTakesTheClick) {
    const Target targets[] = {
        {"number over the bar", 12, 8, ControlId::Label1},
        {"bar", 60, 8, ControlId::Bar2},
        {"frame", 150, 8, ControlId::Frame2},
        {"frame edge", 60, 0, ControlId::Frame2},
        {"bottom number", 12, 26, ControlId::Label2},
        {"bottom bar", 60, 27, ControlId::Bar1},
        {"bottom frame", 180, 27, ControlId::Frame1},
    };
    for (const auto& t : targets) {
        recorder.raised.clear();
        wintest::clickAt(at(t.x, t.y), /*right=*/true);
        const std::vector<Raised> want{{t.control, Event::RightPressed, 0},
                                       {t.control, Event::RightReleased, 0}};
        EXPECT_EQ(recorder.raised, want) << t.what;
    }
}

TEST_F(MouseEvents, AQuickDoubleClickRaisesPressReleaseDoubleClickRelease) {
    const Target targets[] = {{"shape box", 150, 8, ControlId::Frame2},
                              {"label", 12, 8, ControlId::Label1},
                              {"picture box", 60, 8, ControlId::Bar2}};
    for (const auto& t : targets) {
        recorder.raised.clear();
        doubleClick(at(t.x, t.y));
        const std::vector<Raised> want{{t.control, Event::LeftPressed, 0},
                                       {t.control, Event::LeftReleased, 0},
                                       {t.control, Event::DoubleClick, 0},
                                       {t.control, Event::LeftReleased, 0}};
        EXPECT_EQ(recorder.raised, want) << t.what;
        wintest::pumpFor(600); // past the double-click time
    }
}

TEST_F(MouseEvents, NoControlCapturesTheMouse) {
    wintest::mouseMoveTo(at(150, 8));
    wintest::mouseButton(false, true);
    wintest::mouseMoveTo(at(60, 8));
    wintest::mouseButton(false, false);
    const std::vector<Raised> want{{ControlId::Frame2, Event::LeftPressed, 0},
                                   {ControlId::Bar2, Event::LeftReleased, 0}};
    EXPECT_EQ(recorder.raised, want);
}

// Injected keys do not reach the X server, and Wine resets the modifiers from X on the next mouse
// event: so the mouse messages themselves carry the keys here.
TEST_F(MouseEvents, EventsCarryTheCtrlShiftMask) {
    const HWND bar = window->control(ControlId::Bar2).hwnd();
    struct {
        WPARAM wp;
        std::int32_t keys;
    } const cases[] = {{0, 0}, {MK_CONTROL, 1}, {MK_SHIFT, 2}, {MK_CONTROL | MK_SHIFT, 3}};
    for (const auto& c : cases) {
        recorder.raised.clear();
        ::SendMessageW(bar, WM_LBUTTONDOWN, c.wp | MK_LBUTTON, MAKELPARAM(5, 6));
        ASSERT_EQ(recorder.raised.size(), 1u);
        EXPECT_EQ(recorder.raised[0].event, Event::LeftPressed);
        EXPECT_EQ(recorder.raised[0].keys, c.keys) << c.wp;
    }
}

} // namespace

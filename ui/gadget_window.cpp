#include "ui/gadget_window.h"

#include "platform/platform.h"
#include "platform/window_object.h"

#include <algorithm>

namespace ui {
namespace {

constexpr wchar_t kWindowClass[] = L"BarMeterGadget";
constexpr wchar_t kOwnerClass[] = L"BarMeterOwner";

RECT screenRect(HWND w) {
    RECT r{};
    ::GetWindowRect(w, &r);
    return r;
}

RECT toClient(HWND w, RECT r) {
    ::MapWindowPoints(HWND_DESKTOP, w, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

} // namespace

void registerWindowClasses(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &GadgetWindow::proc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kWindowClass;
    ::RegisterClassExW(&wc);

    // Never shown: owning the gadget window keeps it off the taskbar's list of applications.
    WNDCLASSEXW owner{};
    owner.cbSize = sizeof owner;
    owner.lpfnWndProc = ::DefWindowProcW;
    owner.hInstance = instance;
    owner.lpszClassName = kOwnerClass;
    ::RegisterClassExW(&owner);

    registerControlClasses(instance);
}

GadgetWindow::GadgetWindow(const design::WindowDesign& d, EventSink& sink) : design_(d), sink_(sink) {
    for (const auto& item : d.menu)
        menu_[static_cast<std::size_t>(item.id)] = {
            .hidden = item.hidden, .disabled = item.disabled, .checked = item.checked};
}

GadgetWindow::~GadgetWindow() {
    if (hwnd_) ::DestroyWindow(hwnd_);
}

bool GadgetWindow::build() {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    // 1. The window, centred, at its design size, hidden; owned so that it gets no taskbar button.
    owner_.reset(
        ::CreateWindowExW(0, kOwnerClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr));
    const auto at = design::centredPlace(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
                                         design_.width, design_.height);
    const std::wstring title(design_.title);
    ::CreateWindowExW(0, kWindowClass, title.c_str(), WS_POPUP | WS_CLIPCHILDREN, at.x, at.y, design_.width,
                      design_.height, owner_.get(), nullptr, instance, this);
    if (!hwnd_) {
        owner_.reset();
        return false;
    }
    platform::windowOpened();

    // 2. Every control, hidden; a timer with a period starts now.
    for (const auto& c : design_.controls) {
        const auto i = static_cast<std::size_t>(c.id);
        switch (c.kind) {
        case design::ControlKind::TransparentLabel:
            controls_[i] = std::make_unique<TransparentLabel>(*this, c);
            break;
        case design::ControlKind::ShapeBox:
            controls_[i] = std::make_unique<ShapeBox>(*this, c);
            break;
        case design::ControlKind::PictureBox:
            controls_[i] = std::make_unique<PictureBox>(*this, c);
            break;
        case design::ControlKind::Timer:
            timers_[i] = std::make_unique<TimerControl>(*this, c, kTimerIdBase + i);
            timers_[i]->start();
            break;
        }
        if (controls_[i]) controls_[i]->create(hwnd_);
    }
    // 3. Each control into its designed parent.
    for (const auto& c : design_.controls)
        if (c.parent != design::ControlId::None && controls_[static_cast<std::size_t>(c.id)])
            ::SetParent(control(c.id).hwnd(), control(c.parent).hwnd());
    // 4. The window's direct children stacked in design order, the first on top.
    for (const auto& c : design_.controls)
        if (c.parent == design::ControlId::None && controls_[static_cast<std::size_t>(c.id)])
            ::SetWindowPos(control(c.id).hwnd(), HWND_BOTTOM, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // 5. Visible controls shown, nothing activated.
    for (const auto& c : design_.controls)
        if (c.visible && controls_[static_cast<std::size_t>(c.id)]) control(c.id).setVisible(true);
    return true;
}

void GadgetWindow::raiseCreated() {
    raise({.kind = design::SourceKind::Window}, design::Event::Created);
}

void GadgetWindow::show() {
    if (hwnd_ && design_.visible) ::ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
}

std::int32_t GadgetWindow::left() const {
    return placeInParent(hwnd_).x;
}
std::int32_t GadgetWindow::top() const {
    return placeInParent(hwnd_).y;
}
std::int32_t GadgetWindow::width() const {
    return outerSize(hwnd_).cx;
}
std::int32_t GadgetWindow::height() const {
    return outerSize(hwnd_).cy;
}

void GadgetWindow::setWidth(std::int32_t v) {
    resizeWindowTo(hwnd_, clampSize(v), height());
}
void GadgetWindow::setHeight(std::int32_t v) {
    resizeWindowTo(hwnd_, width(), clampSize(v));
}
void GadgetWindow::setLeft(std::int32_t v) {
    moveWindowTo(hwnd_, clampPlace(v), top());
}
void GadgetWindow::setTop(std::int32_t v) {
    moveWindowTo(hwnd_, left(), clampPlace(v));
}

void GadgetWindow::move(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
    ::MoveWindow(hwnd_, x, y, w, h, TRUE);
}

Control& GadgetWindow::control(design::ControlId id) {
    return *controls_[static_cast<std::size_t>(id)];
}
TransparentLabel& GadgetWindow::label(design::ControlId id) {
    return static_cast<TransparentLabel&>(control(id));
}
ShapeBox& GadgetWindow::shape(design::ControlId id) {
    return static_cast<ShapeBox&>(control(id));
}
PictureBox& GadgetWindow::picture(design::ControlId id) {
    return static_cast<PictureBox&>(control(id));
}
TimerControl& GadgetWindow::timer(design::ControlId id) {
    return *timers_[static_cast<std::size_t>(id)];
}

std::vector<Control*> GadgetWindow::backToFront() {
    std::vector<Control*> out;
    auto byHwnd = [this](HWND w) -> Control* {
        for (auto& c : controls_)
            if (c && c->hwnd() == w) return c.get();
        return nullptr;
    };
    auto walk = [&](auto&& self, HWND parent) -> void {
        std::vector<HWND> topFirst;
        for (HWND w = ::GetWindow(parent, GW_CHILD); w; w = ::GetWindow(w, GW_HWNDNEXT))
            topFirst.push_back(w);
        for (auto it = topFirst.rbegin(); it != topFirst.rend(); ++it) {
            if (Control* c = byHwnd(*it)) out.push_back(c);
            self(self, *it);
        }
    };
    if (hwnd_) walk(walk, hwnd_);
    return out;
}

void GadgetWindow::raise(const design::EventSource& source, design::Event event, const EventArgs& args) {
    if (const auto* binding = design::findBinding(design_.wiring, source, event))
        sink_.handle(*binding, args);
}

// A transparent label has no background: what lies beneath is redrawn first, then the label over it.
void GadgetWindow::repaintLabel(TransparentLabel& label, const RECT* alsoScreen) {
    if (!hwnd_ || !label.hwnd()) return;
    RECT area = screenRect(label.hwnd());
    if (alsoScreen) ::UnionRect(&area, &area, alsoScreen);
    repainting_ = true;
    const RECT inWindow = toClient(hwnd_, area);
    ::RedrawWindow(hwnd_, &inWindow, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_NOCHILDREN);
    for (Control* c : backToFront()) {
        if (c == &label || !::IsWindowVisible(c->hwnd())) continue;
        RECT overlap{};
        const RECT r = screenRect(c->hwnd());
        if (!::IntersectRect(&overlap, &r, &area)) continue;
        const RECT local = toClient(c->hwnd(), overlap);
        ::RedrawWindow(c->hwnd(), &local, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_NOCHILDREN);
    }
    repainting_ = false;
    ::InvalidateRect(label.hwnd(), nullptr, FALSE);
    ::UpdateWindow(label.hwnd());
}

// Whatever a frame or bar paints may cover a label's text: the label draws again afterwards.
void GadgetWindow::controlPainted(Control& c, const RECT& area) {
    if (repainting_ || c.design().kind == design::ControlKind::TransparentLabel) return;
    RECT painted = area;
    ::MapWindowPoints(c.hwnd(), HWND_DESKTOP, reinterpret_cast<POINT*>(&painted), 2);
    for (auto& other : controls_) {
        if (!other || other->design().kind != design::ControlKind::TransparentLabel) continue;
        if (!::IsWindowVisible(other->hwnd())) continue;
        RECT overlap{};
        const RECT r = screenRect(other->hwnd());
        if (!::IntersectRect(&overlap, &r, &painted)) continue;
        const RECT local = toClient(other->hwnd(), overlap);
        ::InvalidateRect(other->hwnd(), &local, FALSE);
    }
}

void GadgetWindow::escapePressed() {
    if (design_.escCloses && hwnd_) ::SendMessageW(hwnd_, WM_CLOSE, 0, 0);
}

LRESULT CALLBACK GadgetWindow::proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = platform::windowObject(w, msg, lp, &GadgetWindow::hwnd_);
    if (!self) return ::DefWindowProcW(w, msg, wp, lp);
    return self->handle(msg, wp, lp);
}

LRESULT GadgetWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
    const HWND w = hwnd_;
    switch (msg) {
    case WM_ERASEBKGND: {
        RECT r{};
        ::GetClientRect(w, &r);
        const HDC dc = reinterpret_cast<HDC>(wp);
        const COLORREF old = ::SetBkColor(dc, resolveColour(design_.background));
        ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
        ::SetBkColor(dc, old);
        return 1;
    }
    case WM_TIMER:
        for (auto& t : timers_)
            if (t && t->timerId() == wp && t->running()) {
                raise({.kind = design::SourceKind::Control, .control = t->id()}, design::Event::Periodic);
                return 0;
            }
        break;
    case WM_COMMAND:
        if (HIWORD(wp) == 0 && lp == 0) {
            const UINT id = LOWORD(wp);
            if (id >= kMenuCommandBase && id < kMenuCommandBase + design::kMenuItemCount) {
                raise({.kind = design::SourceKind::MenuItem,
                       .menuItem = static_cast<design::MenuItemId>(id - kMenuCommandBase)},
                      design::Event::Selected);
                return 0;
            }
        }
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (wp == VK_ESCAPE) {
            escapePressed();
            return 0;
        }
        break;
    case WM_DESTROY:
        for (auto& t : timers_)
            if (t) t->windowDestroyed();
        break;
    case WM_NCDESTROY: {
        ::SetWindowLongPtrW(w, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        const LRESULT r = ::DefWindowProcW(w, msg, wp, lp);
        owner_.reset();
        platform::windowClosed();
        return r;
    }
    default:
        break;
    }
    return ::DefWindowProcW(w, msg, wp, lp);
}

} // namespace ui

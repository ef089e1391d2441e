#include "ui/controls.h"

#include "ui/gadget_window.h"

#include "platform/window_object.h"

#include <windowsx.h>

#include <algorithm>
#include <cwchar>

namespace ui {
namespace {

constexpr wchar_t kLabelClass[] = L"BarMeterLabel";
constexpr wchar_t kShapeClass[] = L"BarMeterShape";
constexpr wchar_t kPictureClass[] = L"BarMeterPicture";

// The mouse messages a control turns into events.
struct MouseMessage {
    UINT message;
    design::Event event;
};
constexpr MouseMessage kMouseEvents[] = {
    {WM_LBUTTONDOWN, design::Event::LeftPressed},   {WM_LBUTTONUP, design::Event::LeftReleased},
    {WM_LBUTTONDBLCLK, design::Event::DoubleClick}, {WM_RBUTTONDOWN, design::Event::RightPressed},
    {WM_RBUTTONUP, design::Event::RightReleased},   {WM_MOUSEMOVE, design::Event::MouseMoved},
};

RECT clientRect(HWND w) {
    RECT r{};
    ::GetClientRect(w, &r);
    return r;
}

// Paints into a bitmap first and copies the result in one blit, so nothing half-drawn is ever shown.
class BufferedPaint {
  public:
    BufferedPaint(HDC target, const RECT& area)
        : target_(target), area_(area), dc_(::CreateCompatibleDC(target)),
          bitmap_(::CreateCompatibleBitmap(target, std::max<LONG>(area.right - area.left, 1),
                                           std::max<LONG>(area.bottom - area.top, 1))),
          select_(dc_.get(), bitmap_.get()) {
        ::SetViewportOrgEx(dc_.get(), -area.left, -area.top, nullptr);
    }
    ~BufferedPaint() {
        if (dc_ && bitmap_) {
            ::BitBlt(target_, area_.left, area_.top, area_.right - area_.left, area_.bottom - area_.top,
                     dc_.get(), area_.left, area_.top, SRCCOPY);
        }
    }
    BufferedPaint(const BufferedPaint&) = delete;
    BufferedPaint& operator=(const BufferedPaint&) = delete;
    HDC dc() const { return dc_ ? dc_.get() : target_; }

  private:
    HDC target_;
    RECT area_;
    platform::MemoryDcHandle dc_;
    platform::BitmapHandle bitmap_;
    platform::SelectGuard select_;
};

void fillRect(HDC dc, const RECT& r, COLORREF c) {
    // ETO_OPAQUE fills with the background colour without making a brush.
    const COLORREF old = ::SetBkColor(dc, c);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    ::SetBkColor(dc, old);
}

} // namespace

POINT placeInParent(HWND w) {
    RECT r{};
    ::GetWindowRect(w, &r);
    POINT p{r.left, r.top};
    ::MapWindowPoints(HWND_DESKTOP, ::GetAncestor(w, GA_PARENT), &p, 1);
    return p;
}

SIZE outerSize(HWND w) {
    RECT r{};
    ::GetWindowRect(w, &r);
    return {r.right - r.left, r.bottom - r.top};
}

void moveWindowTo(HWND w, std::int32_t x, std::int32_t y) {
    ::SetWindowPos(w, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void resizeWindowTo(HWND w, std::int32_t width, std::int32_t height) {
    ::SetWindowPos(w, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::int32_t clampPlace(std::int32_t v) {
    return std::clamp(v, -kPlaceLimit, kPlaceLimit);
}
std::int32_t clampSize(std::int32_t v) {
    return std::clamp(v, 0, kPlaceLimit);
}

COLORREF resolveColour(design::Colour c) {
    return c == design::kDefaultColour ? ::GetSysColor(COLOR_BTNFACE)
                                       : static_cast<COLORREF>(c & 0x00FFFFFFu);
}

void registerControlClasses(HINSTANCE instance) {
    for (const wchar_t* name : {kLabelClass, kShapeClass, kPictureClass}) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS; // labels, shape boxes and picture boxes accept double clicks
        wc.lpfnWndProc = &Control::proc;
        wc.hInstance = instance;
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = name;
        ::RegisterClassExW(&wc);
    }
}

// ---- Control ----

Control::Control(GadgetWindow& owner, const design::ControlDesign& d) : owner_(owner), design_(d) {}

bool Control::create(HWND parent) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    ::CreateWindowExW(0, className(), L"", style(), clampPlace(design_.left), clampPlace(design_.top),
                      clampSize(design_.width), clampSize(design_.height), parent, nullptr, instance, this);
    return hwnd_ != nullptr;
}

LRESULT CALLBACK Control::proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = platform::windowObject(w, msg, lp, &Control::hwnd_);
    if (!self) return ::DefWindowProcW(w, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        self->hwnd_ = nullptr;
        ::SetWindowLongPtrW(w, GWLP_USERDATA, 0);
        return ::DefWindowProcW(w, msg, wp, lp);
    }
    return self->handle(msg, wp, lp);
}

LRESULT Control::handle(UINT msg, WPARAM wp, LPARAM lp) {
    for (const auto& m : kMouseEvents)
        if (m.message == msg) {
            raiseMouse(m.event, wp, lp);
            return 0;
        }
    switch (msg) {
    case WM_ERASEBKGND:
        return 1; // every kind paints its whole area in WM_PAINT, or nothing at all
    case WM_PAINT: {
        platform::PaintGuard pg(hwnd_);
        paint(pg.dc(), pg.area());
        owner_.controlPainted(*this, pg.area());
        return 0;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (wp == VK_ESCAPE) {
            owner_.escapePressed();
            return 0;
        }
        break;
    default:
        break;
    }
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

void Control::raiseMouse(design::Event e, WPARAM wp, LPARAM lp) {
    const bool alt = ::GetKeyState(VK_MENU) < 0;
    owner_.raise({.kind = design::SourceKind::Control, .control = design_.id}, e,
                 {.x = GET_X_LPARAM(lp),
                  .y = GET_Y_LPARAM(lp),
                  .keys = design::keyMask((wp & MK_CONTROL) != 0, (wp & MK_SHIFT) != 0, alt)});
}

std::int32_t Control::left() const {
    return placeInParent(hwnd_).x;
}
std::int32_t Control::top() const {
    return placeInParent(hwnd_).y;
}
std::int32_t Control::width() const {
    return outerSize(hwnd_).cx;
}
std::int32_t Control::height() const {
    return outerSize(hwnd_).cy;
}
bool Control::visible() const {
    return hwnd_ && (::GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Control::setVisible(bool v) {
    ::ShowWindow(hwnd_, v ? SW_SHOWNA : SW_HIDE);
}

void Control::moveTo(std::int32_t x, std::int32_t y) {
    moveWindowTo(hwnd_, x, y);
}

void Control::resizeTo(std::int32_t w, std::int32_t h) {
    resizeWindowTo(hwnd_, w, h);
}

// ---- Transparent label ----

TransparentLabel::TransparentLabel(GadgetWindow& owner, const design::ControlDesign& d)
    : Control(owner, d), text_(d.label.text), colour_(d.label.textColour), font_(d.label.font) {}

const wchar_t* TransparentLabel::className() const {
    return kLabelClass;
}

void TransparentLabel::setText(std::wstring_view text) {
    text_.assign(text);
    owner().repaintLabel(*this, nullptr);
}

void TransparentLabel::setTextColour(design::Colour c) {
    colour_ = c;
    owner().repaintLabel(*this, nullptr);
}

// A moved label leaves its old text on the controls beneath: wipe both places.
void TransparentLabel::moveTo(std::int32_t x, std::int32_t y) {
    // Nothing left and nothing reached: the meter rewrites an unchanged place on every tick.
    if (x == left() && y == top()) return;
    RECT before{};
    ::GetWindowRect(hwnd(), &before);
    ::SetWindowPos(hwnd(), nullptr, x, y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS | SWP_NOREDRAW);
    owner().repaintLabel(*this, &before);
}

void TransparentLabel::resizeTo(std::int32_t w, std::int32_t h) {
    RECT before{};
    ::GetWindowRect(hwnd(), &before);
    ::SetWindowPos(hwnd(), nullptr, 0, 0, w, h,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS | SWP_NOREDRAW);
    owner().repaintLabel(*this, &before);
}

UINT TransparentLabel::drawFlags() const {
    const auto& s = design().label;
    UINT flags = DT_NOCLIP;
    if (s.hAlign == design::HAlign::Centre) flags |= DT_CENTER;
    if (s.hAlign == design::HAlign::Right) flags |= DT_RIGHT;
    if (s.wordWrap) {
        flags |= DT_WORDBREAK | DT_VCENTER;
    } else {
        flags |= DT_SINGLELINE;
        if (s.vAlign == design::VAlign::Centre) flags |= DT_VCENTER;
        if (s.vAlign == design::VAlign::Bottom) flags |= DT_BOTTOM;
    }
    return flags;
}

platform::FontHandle TransparentLabel::makeFont() const {
    LOGFONTW lf{};
    // A face that does not fit the record is not a complete font record.
    if (font_.face.size() >= LF_FACESIZE) return {};
    lf.lfHeight = font_.height;
    lf.lfWidth = font_.width;
    lf.lfWeight = font_.weight;
    lf.lfItalic = font_.italic;
    lf.lfUnderline = font_.underline;
    lf.lfStrikeOut = font_.strikeOut;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = PROOF_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH;
    std::wmemcpy(lf.lfFaceName, font_.face.data(), font_.face.size());
    return platform::FontHandle(::CreateFontIndirectW(&lf));
}

void TransparentLabel::paint(HDC dc, const RECT&) {
    if (text_.empty()) return;
    const platform::FontHandle made = makeFont();
    const HGDIOBJ font = made ? static_cast<HGDIOBJ>(made.get()) : ::GetStockObject(DEFAULT_GUI_FONT);
    platform::SelectGuard selected(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, resolveColour(colour_));
    RECT r = clientRect(hwnd());
    ::DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &r, drawFlags());
}

// ---- Shape box ----

const wchar_t* ShapeBox::className() const {
    return kShapeClass;
}

void ShapeBox::paint(HDC target, const RECT& area) {
    const auto& s = design().shape;
    BufferedPaint buffer(target, area);
    const HDC dc = buffer.dc();
    fillRect(dc, area, resolveColour(s.background));
    const platform::PenHandle pen(
        ::CreatePen(PS_INSIDEFRAME, std::max(s.outlineWidth, 1), resolveColour(s.outlineColour)));
    platform::BrushHandle brush;
    if (s.fill != design::kDefaultColour) brush.reset(::CreateSolidBrush(resolveColour(s.fill)));
    platform::SelectGuard selectPen(dc, pen.get());
    platform::SelectGuard selectBrush(dc, brush ? static_cast<HGDIOBJ>(brush.get())
                                                : ::GetStockObject(NULL_BRUSH));
    const RECT r = clientRect(hwnd());
    ::Rectangle(dc, r.left, r.top, r.right, r.bottom);
}

// ---- Picture box ----

PictureBox::PictureBox(GadgetWindow& owner, const design::ControlDesign& d)
    : Control(owner, d), background_(resolveColour(d.picture.background)) {
    if (d.picture.picture) {
        const auto bytes = d.picture.picture();
        bytes_.assign(bytes.begin(), bytes.end());
        image_ = decodePicture(bytes_, background_);
    }
}

const wchar_t* PictureBox::className() const {
    return kPictureClass;
}

void PictureBox::setPicture(std::span<const std::uint8_t> bytes) {
    bytes_.assign(bytes.begin(), bytes.end());
    image_.reset();
    image_ = decodePicture(bytes_, background_);
    if (hwnd()) {
        ::InvalidateRect(hwnd(), nullptr, FALSE);
        ::UpdateWindow(hwnd());
    }
}

void PictureBox::paint(HDC target, const RECT& area) {
    BufferedPaint buffer(target, area);
    const HDC dc = buffer.dc();
    fillRect(dc, area, background_);
    if (!image_ || image_->width <= 0 || image_->height <= 0) return;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = image_->width;
    bi.bmiHeader.biHeight = -image_->height; // top-down rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    // Natural size from the top-left corner; the client area cuts it.
    ::SetDIBitsToDevice(dc, 0, 0, image_->width, image_->height, 0, 0, 0, image_->height, image_->bgra.data(),
                        &bi, DIB_RGB_COLORS);
}

// ---- Timer ----

TimerControl::TimerControl(GadgetWindow& owner, const design::ControlDesign& d, UINT_PTR timerId)
    : owner_(owner), design_(d), timerId_(timerId), period_(std::max(d.timer.period, 0)) {}

void TimerControl::start() {
    if (period_ > 0 && owner_.hwnd()) running_ = ::SetTimer(owner_.hwnd(), timerId_, period_, nullptr) != 0;
}

void TimerControl::setPeriod(std::int32_t ms) {
    ms = std::max(ms, 0);
    if (ms == period_) return;
    if (running_ && owner_.hwnd()) ::KillTimer(owner_.hwnd(), timerId_);
    running_ = false;
    period_ = ms;
    start();
}

} // namespace ui

// The four control kinds of the gadget window: transparent label, shape box, picture box, timer.
#pragma once

#include "platform/handle.h"
#include "ui/design/gadget_design.h"
#include "ui/png_image.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace ui {

class GadgetWindow;

inline constexpr std::int32_t kPlaceLimit = 32627;
std::int32_t clampPlace(std::int32_t v);
std::int32_t clampSize(std::int32_t v);

// The system's colour for a design colour: the default marker is the button face.
COLORREF resolveColour(design::Colour c);

void registerControlClasses(HINSTANCE instance);

// A window's top-left in its parent's client coordinates (screen for a top-level window), and its outer size.
POINT placeInParent(HWND w);
SIZE outerSize(HWND w);
// A property write's move or resize: at once, keeping the rest, without activating or restacking.
void moveWindowTo(HWND w, std::int32_t x, std::int32_t y);
void resizeWindowTo(HWND w, std::int32_t width, std::int32_t height);

// A control that is a child window of its own. The window owns the control objects.
class Control {
  public:
    Control(GadgetWindow& owner, const design::ControlDesign& d);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    design::ControlId id() const { return design_.id; }
    const design::ControlDesign& design() const { return design_; }
    HWND hwnd() const { return hwnd_; }

    bool create(HWND parent);

    std::int32_t left() const;
    std::int32_t top() const;
    std::int32_t width() const;
    std::int32_t height() const;
    bool visible() const;
    void setLeft(std::int32_t v) { moveTo(clampPlace(v), top()); }
    void setTop(std::int32_t v) { moveTo(left(), clampPlace(v)); }
    void setWidth(std::int32_t v) { resizeTo(clampSize(v), height()); }
    void setHeight(std::int32_t v) { resizeTo(width(), clampSize(v)); }
    void setVisible(bool v);

  protected:
    virtual const wchar_t* className() const = 0;
    virtual DWORD style() const { return WS_CHILD; }
    virtual void paint(HDC dc, const RECT& area) = 0;
    virtual void moveTo(std::int32_t x, std::int32_t y);
    virtual void resizeTo(std::int32_t w, std::int32_t h);
    GadgetWindow& owner() { return owner_; }

  private:
    friend void registerControlClasses(HINSTANCE instance);
    static LRESULT CALLBACK proc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
    void raiseMouse(design::Event e, WPARAM wp, LPARAM lp);

    GadgetWindow& owner_;
    const design::ControlDesign& design_;
    HWND hwnd_ = nullptr;
};

class TransparentLabel final : public Control {
  public:
    TransparentLabel(GadgetWindow& owner, const design::ControlDesign& d);
    const std::wstring& text() const { return text_; }
    design::Colour textColour() const { return colour_; }
    void setText(std::wstring_view text);
    void setTextColour(design::Colour c);
    // Flags for DrawTextW from the label's alignment and wrapping.
    UINT drawFlags() const;

  protected:
    const wchar_t* className() const override;
    void paint(HDC dc, const RECT& area) override;
    void moveTo(std::int32_t x, std::int32_t y) override;
    void resizeTo(std::int32_t w, std::int32_t h) override;

  private:
    platform::FontHandle makeFont() const;
    std::wstring text_;
    design::Colour colour_;
    design::FontRecord font_;
};

class ShapeBox final : public Control {
  public:
    using Control::Control;

  protected:
    const wchar_t* className() const override;
    DWORD style() const override { return WS_CHILD | WS_CLIPCHILDREN; }
    void paint(HDC dc, const RECT& area) override;
};

class PictureBox final : public Control {
  public:
    PictureBox(GadgetWindow& owner, const design::ControlDesign& d);
    // Keeps a copy of the bytes and decodes them; undecodable bytes leave the box without an image.
    void setPicture(std::span<const std::uint8_t> bytes);
    std::span<const std::uint8_t> picture() const { return bytes_; }
    bool hasImage() const { return image_.has_value(); }
    COLORREF background() const { return background_; }

  protected:
    const wchar_t* className() const override;
    void paint(HDC dc, const RECT& area) override;

  private:
    std::vector<std::uint8_t> bytes_;
    std::optional<DecodedImage> image_;
    COLORREF background_ = 0;
};

// A timer has no window of its own: it ticks through the gadget window's timer messages.
class TimerControl {
  public:
    TimerControl(GadgetWindow& owner, const design::ControlDesign& d, UINT_PTR timerId);
    design::ControlId id() const { return design_.id; }
    UINT_PTR timerId() const { return timerId_; }
    std::int32_t period() const { return period_; }
    bool running() const { return running_; }
    void setPeriod(std::int32_t ms);
    void start(); // at creation, when the design gives a period
    void windowDestroyed() { running_ = false; }

  private:
    GadgetWindow& owner_;
    const design::ControlDesign& design_;
    UINT_PTR timerId_;
    std::int32_t period_ = 0;
    bool running_ = false;
};

} // namespace ui

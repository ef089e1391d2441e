// The gadget window: built from its design, owner of its controls, menu states and timers.
#pragma once

#include "platform/handle.h"
#include "ui/controls.h"
#include "ui/design/gadget_design.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace ui {

struct EventArgs {
    std::int32_t x = 0, y = 0, keys = 0;
};

// Receives the events that the design binds to a handler.
class EventSink {
  public:
    virtual void handle(const design::EventBinding& binding, const EventArgs& args) = 0;

  protected:
    ~EventSink() = default;
};

struct MenuItemState {
    bool hidden = false;
    bool disabled = false;
    bool checked = false;
};

inline constexpr UINT kMenuCommandBase = 1000;
inline constexpr UINT_PTR kTimerIdBase = 100;

void registerWindowClasses(HINSTANCE instance);

class GadgetWindow {
  public:
    GadgetWindow(const design::WindowDesign& d, EventSink& sink);
    ~GadgetWindow();
    GadgetWindow(const GadgetWindow&) = delete;
    GadgetWindow& operator=(const GadgetWindow&) = delete;

    // Building steps 1-5: the window and its controls, not yet shown; false if the window cannot be made.
    bool build();
    // Step 6: the created event.
    void raiseCreated();
    // Step 7.
    void show();

    HWND hwnd() const { return hwnd_; }
    HWND ownerHwnd() const { return owner_.get(); }
    const design::WindowDesign& design() const { return design_; }

    // The window's own properties.
    std::int32_t left() const;
    std::int32_t top() const;
    std::int32_t width() const;
    std::int32_t height() const;
    void setWidth(std::int32_t v);
    void setHeight(std::int32_t v);
    void setLeft(std::int32_t v);
    void setTop(std::int32_t v);
    // Place and size in one step, with repaint.
    void move(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h);

    Control& control(design::ControlId id);
    TransparentLabel& label(design::ControlId id);
    ShapeBox& shape(design::ControlId id);
    PictureBox& picture(design::ControlId id);
    TimerControl& timer(design::ControlId id);
    // Window controls from the back of the stacking order to the front, at every depth.
    std::vector<Control*> backToFront();

    const MenuItemState& menuItem(design::MenuItemId id) const { return menu_[static_cast<std::size_t>(id)]; }
    void setMenuChecked(design::MenuItemId id, bool checked) {
        menu_[static_cast<std::size_t>(id)].checked = checked;
    }

    // Called by the controls.
    void raise(const design::EventSource& source, design::Event event, const EventArgs& args = {});
    void repaintLabel(TransparentLabel& label, const RECT* alsoScreen);
    void controlPainted(Control& c, const RECT& area);
    void escapePressed();

  private:
    friend void registerWindowClasses(HINSTANCE instance);
    static LRESULT CALLBACK proc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);

    const design::WindowDesign& design_;
    EventSink& sink_;
    HWND hwnd_ = nullptr; // destroyed with the window itself, or by the destructor
    platform::WindowHandle owner_;
    std::array<std::unique_ptr<Control>, design::kControlCount> controls_{};
    std::array<std::unique_ptr<TimerControl>, design::kControlCount> timers_{};
    std::array<MenuItemState, design::kMenuItemCount> menu_{};
    bool repainting_ = false;
};

} // namespace ui

// The gadget window's design: fixed data of the system, read by the window builder and the handlers.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace design {

using Colour = std::uint32_t;                         // 0x00BBGGRR
inline constexpr Colour kDefaultColour = 0xFF000000u; // marker: the system's button-face colour

enum class ControlKind : std::uint8_t { TransparentLabel, ShapeBox, PictureBox, Timer };

// Design order, which is also the stacking order of the window's direct children (first on top).
enum class ControlId : std::uint8_t { Label1, Label2, Frame2, Bar2, Timer2, Timer1, Frame1, Bar1, None };
inline constexpr int kControlCount = 8;

enum class HAlign : std::uint8_t { Left, Centre, Right };
enum class VAlign : std::uint8_t { Top, Centre, Bottom };

struct FontRecord {
    std::wstring_view face;
    std::int32_t height = 0;
    std::int32_t width = 0;
    std::int32_t weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

struct LabelSettings {
    std::wstring_view text;
    Colour textColour = 0;
    FontRecord font;
    HAlign hAlign = HAlign::Left;
    VAlign vAlign = VAlign::Top;
    bool wordWrap = false;
};

struct ShapeSettings {
    Colour background = kDefaultColour;
    Colour outlineColour = 0;
    std::int32_t outlineWidth = 1;
    Colour fill = kDefaultColour; // the marker means no fill
};

struct PictureSettings {
    std::span<const std::uint8_t> (*picture)() = nullptr; // PNG bytes, kept by the skin catalogue
    Colour background = kDefaultColour;
};

struct TimerSettings {
    std::int32_t period = 0; // ms; 0 = stopped
};

struct ControlDesign {
    ControlId id;
    std::wstring_view name;
    ControlKind kind;
    ControlId parent = ControlId::None; // None: the window itself
    std::int32_t left = 0, top = 0, width = 0, height = 0;
    bool visible = true;
    LabelSettings label{};
    ShapeSettings shape{};
    PictureSettings picture{};
    TimerSettings timer{};
};

// The menu tree in design order; an item belongs to the nearest item above it with a lower level.
enum class MenuItemId : std::uint8_t {
    Tools,
    Skins,
    SkinDefault,
    SkinColourful,
    SkinFresh,
    SkinMidnight,
    SkinStarry,
    SkinTech,
    SkinSunrise,
    SkinSunset,
    SkinBarbie,
    SkinHeadlights,
    SkinTit,
    Colours,
    ColourWhite,
    ColourPurple,
    ColourGreen,
    ColourRed,
    ColourBlack,
    Exit,
};
inline constexpr int kMenuItemCount = 20;

struct MenuItemDesign {
    MenuItemId id;
    std::wstring_view text;
    std::int32_t level;
    bool hidden = false;
    bool disabled = false;
    bool checked = false;
};

enum class Event : std::uint8_t {
    Created,
    Periodic,
    LeftPressed,
    LeftReleased,
    DoubleClick,
    RightPressed,
    RightReleased,
    MouseMoved,
    Selected,
};

enum class Handler : std::uint8_t {
    CreateWindow,
    UpdateMeters,
    DockingTick,
    OpenToolsMenu,
    TopRowSkinStep,
    BottomRowSkinStep,
    ChooseSkin,
    ChooseNumberColour,
    ExitProgram,
};

enum class SourceKind : std::uint8_t { Window, Control, MenuItem };

struct EventSource {
    SourceKind kind = SourceKind::Window;
    ControlId control = ControlId::None;
    MenuItemId menuItem = MenuItemId::Tools;

    friend constexpr bool operator==(const EventSource&, const EventSource&) = default;
};

struct EventBinding {
    EventSource source;
    Event event;
    Handler handler;
    std::int32_t argument = 0; // SkinIndex for ChooseSkin, colour value for ChooseNumberColour
};

struct WindowDesign {
    std::wstring_view title;
    std::int32_t width, height;
    Colour background;
    bool border;
    bool visible;
    bool taskbarButton;
    bool menuBar;
    bool escCloses;
    std::span<const ControlDesign> controls;
    std::span<const MenuItemDesign> menu;
    std::span<const EventBinding> wiring;
};

const WindowDesign& gadgetDesign();

// Where a designed window starts: centred on the primary screen, rounding toward zero.
struct Point {
    std::int32_t x, y;
};
Point centredPlace(std::int32_t screenWidth, std::int32_t screenHeight, std::int32_t width,
                   std::int32_t height);

// The binding of one event, or nullptr when the event has no handler.
const EventBinding* findBinding(std::span<const EventBinding> wiring, const EventSource& source, Event event);

const ControlDesign& controlDesign(const WindowDesign& window, ControlId id);

// Ctrl, Shift and Alt as the 1/2/4 mask that mouse events carry.
constexpr std::int32_t keyMask(bool ctrl, bool shift, bool alt) {
    return (ctrl ? 1 : 0) | (shift ? 2 : 0) | (alt ? 4 : 0);
}

// The menu items directly under `parent`, in design order.
template <typename F> void forEachChild(std::span<const MenuItemDesign> menu, MenuItemId parent, F&& f) {
    std::size_t i = static_cast<std::size_t>(parent);
    const std::int32_t level = menu[i].level;
    for (++i; i < menu.size() && menu[i].level > level; ++i)
        if (menu[i].level == level + 1) f(menu[i]);
}

} // namespace design

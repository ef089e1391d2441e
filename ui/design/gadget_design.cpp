#include "ui/design/gadget_design.h"

#include "skins/skin_catalogue.h"

#include <array>

namespace design {
namespace {

using enum ControlId;

constexpr FontRecord kNumberFont{.face = L"微软雅黑", .height = -14, .width = 0, .weight = 400};

constexpr LabelSettings kNumber{
    .text = L"100",
    .textColour = 0xFFFFFF,
    .font = kNumberFont,
    .hAlign = HAlign::Centre,
    .vAlign = VAlign::Centre,
    .wordWrap = false,
};

constexpr ShapeSettings kFrame{
    .background = kDefaultColour, .outlineColour = 0, .outlineWidth = 1, .fill = 0};

constexpr PictureSettings kBar{.picture = [] { return skins::skinPicture(0); }, .background = kDefaultColour};

// The tables read as tables.
// clang-format off
constexpr std::array<ControlDesign, kControlCount> kControls{{
    {.id = Label1, .name = L"透明标签1", .kind = ControlKind::TransparentLabel,
     .left = 16, .top = 0, .width = 24, .height = 16, .visible = true, .label = kNumber},
    {.id = Label2, .name = L"透明标签2", .kind = ControlKind::TransparentLabel,
     .left = 16, .top = 18, .width = 24, .height = 16, .visible = true, .label = kNumber},
    {.id = Frame2, .name = L"外形框2", .kind = ControlKind::ShapeBox,
     .left = 0, .top = 0, .width = 202, .height = 18, .visible = true, .shape = kFrame},
    {.id = Bar2, .name = L"图片框2", .kind = ControlKind::PictureBox, .parent = Frame2,
     .left = 9, .top = 1, .width = 79, .height = 16, .visible = false, .picture = kBar},
    {.id = Timer2, .name = L"时钟2", .kind = ControlKind::Timer,
     .left = 128, .top = 48, .width = 26, .height = 26, .visible = false, .timer = {.period = 1000}},
    {.id = Timer1, .name = L"时钟1", .kind = ControlKind::Timer,
     .left = 96, .top = 48, .width = 26, .height = 26, .visible = false, .timer = {.period = 0}},
    {.id = Frame1, .name = L"外形框1", .kind = ControlKind::ShapeBox,
     .left = 0, .top = 18, .width = 202, .height = 18, .visible = true, .shape = kFrame},
    {.id = Bar1, .name = L"图片框1", .kind = ControlKind::PictureBox, .parent = Frame1,
     .left = 9, .top = 1, .width = 71, .height = 16, .visible = false, .picture = kBar},
}};

using M = MenuItemId;

constexpr std::array<MenuItemDesign, kMenuItemCount> kMenu{{
    {.id = M::Tools, .text = L"工具", .level = 0, .hidden = true},
    {.id = M::Skins, .text = L"皮肤", .level = 1},
    {.id = M::SkinDefault, .text = L"默认", .level = 2, .checked = true},
    {.id = M::SkinColourful, .text = L"多彩", .level = 2},
    {.id = M::SkinFresh, .text = L"清新", .level = 2},
    {.id = M::SkinMidnight, .text = L"深夜", .level = 2},
    {.id = M::SkinStarry, .text = L"星空", .level = 2},
    {.id = M::SkinTech, .text = L"科技", .level = 2},
    {.id = M::SkinSunrise, .text = L"日出", .level = 2},
    {.id = M::SkinSunset, .text = L"日落", .level = 2},
    {.id = M::SkinBarbie, .text = L"芭比", .level = 2},
    {.id = M::SkinHeadlights, .text = L"车灯", .level = 2},
    {.id = M::SkinTit, .text = L"山雀", .level = 2},
    {.id = M::Colours, .text = L"字体", .level = 1},
    {.id = M::ColourWhite, .text = L"白", .level = 2, .checked = true},
    {.id = M::ColourPurple, .text = L"紫", .level = 2},
    {.id = M::ColourGreen, .text = L"绿", .level = 2},
    {.id = M::ColourRed, .text = L"红", .level = 2},
    {.id = M::ColourBlack, .text = L"黑", .level = 2},
    {.id = M::Exit, .text = L"退出", .level = 1},
}};

constexpr EventSource window() { return {.kind = SourceKind::Window}; }
constexpr EventSource control(ControlId id) { return {.kind = SourceKind::Control, .control = id}; }
constexpr EventSource item(MenuItemId id) { return {.kind = SourceKind::MenuItem, .menuItem = id}; }

constexpr EventBinding skin(MenuItemId id, std::int32_t index) {
    return {.source = item(id), .event = Event::Selected, .handler = Handler::ChooseSkin, .argument = index};
}
constexpr EventBinding colour(MenuItemId id, Colour value) {
    return {.source = item(id), .event = Event::Selected, .handler = Handler::ChooseNumberColour,
            .argument = static_cast<std::int32_t>(value)};
}
constexpr EventBinding menuOn(ControlId id) {
    return {.source = control(id), .event = Event::RightReleased, .handler = Handler::OpenToolsMenu};
}

constexpr std::array kWiring{
    EventBinding{.source = window(), .event = Event::Created, .handler = Handler::CreateWindow},
    EventBinding{.source = control(Timer1), .event = Event::Periodic, .handler = Handler::UpdateMeters},
    EventBinding{.source = control(Timer2), .event = Event::Periodic, .handler = Handler::DockingTick},
    menuOn(Frame2), menuOn(Bar2), menuOn(Label1), menuOn(Frame1), menuOn(Bar1), menuOn(Label2),
    EventBinding{.source = control(Frame2), .event = Event::LeftPressed, .handler = Handler::TopRowSkinStep},
    EventBinding{.source = control(Label1), .event = Event::LeftPressed, .handler = Handler::TopRowSkinStep},
    EventBinding{.source = control(Bar2), .event = Event::LeftReleased, .handler = Handler::TopRowSkinStep},
    EventBinding{.source = control(Frame1), .event = Event::LeftPressed, .handler = Handler::BottomRowSkinStep},
    EventBinding{.source = control(Label2), .event = Event::LeftPressed, .handler = Handler::BottomRowSkinStep},
    EventBinding{.source = control(Bar1), .event = Event::LeftReleased, .handler = Handler::BottomRowSkinStep},
    skin(M::SkinDefault, 0), skin(M::SkinColourful, 1), skin(M::SkinFresh, 2), skin(M::SkinMidnight, 3),
    skin(M::SkinStarry, 4), skin(M::SkinTech, 5), skin(M::SkinSunrise, 6), skin(M::SkinSunset, 7),
    skin(M::SkinBarbie, 8), skin(M::SkinHeadlights, 9), skin(M::SkinTit, 10),
    colour(M::ColourWhite, 0xFFFFFF), colour(M::ColourPurple, 0xFF8080), colour(M::ColourGreen, 0x80E000),
    colour(M::ColourRed, 0x0000FF), colour(M::ColourBlack, 0x141414),
    EventBinding{.source = item(M::Exit), .event = Event::Selected, .handler = Handler::ExitProgram},
};

// clang-format on

constexpr WindowDesign kGadget{
    .title = L"",
    .width = 220,
    .height = 106,
    .background = kDefaultColour,
    .border = false,
    .visible = true,
    .taskbarButton = false,
    .menuBar = false,
    .escCloses = true,
    .controls = kControls,
    .menu = kMenu,
    .wiring = kWiring,
};

// The enums index the tables; keep them in step.
constexpr bool tablesInDesignOrder() {
    for (std::size_t i = 0; i < kControls.size(); ++i)
        if (static_cast<std::size_t>(kControls[i].id) != i) return false;
    for (std::size_t i = 0; i < kMenu.size(); ++i)
        if (static_cast<std::size_t>(kMenu[i].id) != i) return false;
    return true;
}
static_assert(tablesInDesignOrder());

} // namespace

const WindowDesign& gadgetDesign() {
    return kGadget;
}

Point centredPlace(std::int32_t screenWidth, std::int32_t screenHeight, std::int32_t width,
                   std::int32_t height) {
    return {(screenWidth - width) / 2, (screenHeight - height) / 2};
}

const EventBinding* findBinding(std::span<const EventBinding> wiring, const EventSource& source,
                                Event event) {
    for (const auto& b : wiring)
        if (b.source == source && b.event == event) return &b;
    return nullptr;
}

const ControlDesign& controlDesign(const WindowDesign& window, ControlId id) {
    return window.controls[static_cast<std::size_t>(id)];
}

} // namespace design
